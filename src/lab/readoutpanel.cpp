#include "lab/readoutpanel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>

ReadoutPanel::ReadoutPanel(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("ReadoutPanel"));
    auto* lines = new QWidget(this);
    m_grid = new QGridLayout(lines);
    m_grid->setContentsMargins(0, 0, 0, 0);
    setFrameShape(QFrame::NoFrame);
    for (int i = 0; i < Lines; ++i) {
        auto* line = new QLabel(lines);
        line->setObjectName(QStringLiteral("Readout%1").arg(i + 1));
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        line->setTextFormat(Qt::PlainText);
        // A long reason wraps instead of widening the window.
        line->setWordWrap(true);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        // A copy takes every digit, not the six shown.
        line->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto* copyLine = new QAction(QStringLiteral("Копировать строку"), line);
        connect(copyLine, &QAction::triggered, this, [this, i] {
            if (i < m_full.size())
                QApplication::clipboard()->setText(m_full[i]);
        });
        auto* copyAll = new QAction(QStringLiteral("Копировать все строки"), line);
        connect(copyAll, &QAction::triggered, this,
                [this] { QApplication::clipboard()->setText(m_full.join(QLatin1Char('\n'))); });
        line->addActions({copyLine, copyAll});
        m_grid->addWidget(line, i < FirstColumn ? i : i - FirstColumn, i < FirstColumn ? 0 : 1);
        m_lines << line;
    }
    m_grid->setColumnStretch(0, 1);
    m_grid->setColumnStretch(1, 1);
    m_grid->setAlignment(Qt::AlignTop);
    // The lines take the panel's width and as much height as they wrap to.
    setWidget(lines);
    setWidgetResizable(true);
    // One height whatever the lines say, so that the plane above keeps its
    // size (and a start dragged on it stays under the pointer) when a
    // disaster's block or a fall's line comes or goes: room for a full
    // column and five wrapped lines; more scroll.
    setFixedHeight(
        int((FirstColumn + 5) * (fontMetrics().lineSpacing() + m_grid->verticalSpacing())));
}

void ReadoutPanel::setLines(const QStringList& lines, const QStringList& full,
                            const QList<QPair<QString, QString>>& tips) {
    m_full = full;
    if (const bool two = lines.size() > FirstColumn; two != m_twoColumns) {
        m_twoColumns = two;
        for (int i = 0; i < FirstColumn; ++i) {
            m_grid->removeWidget(m_lines[i]);
            m_grid->addWidget(m_lines[i], i, 0, 1, two ? 1 : 2);
        }
    }
    for (int i = 0; i < m_lines.size(); ++i) {
        m_lines[i]->setText(i < lines.size() ? lines[i] : QString());
        QString tip = i < full.size() ? full[i] : QString();
        for (const auto& [start, words] : tips)
            if (tip.startsWith(start))
                tip += QLatin1Char('\n') + words;
        m_lines[i]->setToolTip(tip);
        m_lines[i]->setVisible(i < lines.size());
    }
}
