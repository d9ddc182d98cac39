#include "ui/appmessage.h"

#include "common/runerror.h"

#include <QMessageBox>

namespace {
AppMessage::Handler& handler() {
    static AppMessage::Handler h;
    return h;
}
} // namespace

void AppMessage::setHandler(Handler h) {
    handler() = std::move(h);
}

void AppMessage::show(QWidget* parent, Icon icon, const QString& text) {
    if (handler()) {
        handler()(icon, text);
        return;
    }
    QMessageBox box(icon == Critical      ? QMessageBox::Critical
                    : icon == Exclamation ? QMessageBox::Warning
                                          : QMessageBox::Information,
                    title(), text, QMessageBox::Ok, parent);
    box.exec();
}

void AppMessage::report(QWidget* parent, const RunError& error) {
    show(parent, Critical, error.report());
}
