#include "ui/notice.h"

#include <QAccessible>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {
const char* const Name = "Notice";

QLabel* labelOf(const QWidget* near) {
    const QWidget* top = near->window();
    for (QLabel* l : top->findChildren<QLabel*>(QLatin1String(Name)))
        if (l->property("near").value<QWidget*>() == near)
            return l;
    return nullptr;
}
} // namespace

void Notice::show(QWidget* near, const QString& text, int milliseconds) {
    QWidget* top = near->window();
    QLabel* label = labelOf(near);
    if (!label) {
        label = new QLabel(top);
        label->setObjectName(QLatin1String(Name));
        label->setProperty("near", QVariant::fromValue(near));
        label->setAccessibleName(QStringLiteral("Сообщение"));
        label->setAutoFillBackground(true);
        label->setFrameShape(QFrame::Box);
        label->setMargin(3);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
        p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
        label->setPalette(p);
        auto* timer = new QTimer(label);
        timer->setObjectName(QStringLiteral("NoticeTimer"));
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, label, &QLabel::hide);
    }
    label->setText(text);
    label->adjustSize();
    // Centred on the lower edge of `near`, inside it, within the window.
    const QRect area(near->mapTo(top, QPoint(0, 0)), near->size());
    QPoint at(area.center().x() - label->width() / 2, area.bottom() - label->height() - 6);
    at.setX(std::clamp(at.x(), 0, std::max(0, top->width() - label->width())));
    at.setY(std::clamp(at.y(), 0, std::max(0, top->height() - label->height())));
    label->move(at);
    label->show();
    label->raise();
    label->findChild<QTimer*>(QStringLiteral("NoticeTimer"))->start(milliseconds);
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QString Notice::current(const QWidget* near) {
    const QLabel* label = labelOf(near);
    return label && !label->isHidden() ? label->text() : QString();
}

QString Notice::saved(const QString& path) {
    return QStringLiteral("Сохранено: %1").arg(QFileInfo(path).fileName());
}
