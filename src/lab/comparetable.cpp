#include "lab/comparetable.h"

#include "common/numbertext.h"
#include "export/labpicture.h"

#include <QHeaderView>
#include <QScrollBar>

namespace {
QString brief(double v) {
    return NumberText::fromDouble(QString::number(v, 'g', 6).toDouble());
}
} // namespace

CompareTable::CompareTable(QWidget* parent) : QTableWidget(9, 5, parent) {
    setObjectName(QStringLiteral("CompareTable"));
    setHorizontalHeaderLabels({QStringLiteral("Метод"), QStringLiteral("Шаг"),
                               QStringLiteral("Дрейф V"), QStringLiteral("Порядок по V"),
                               QStringLiteral("Порядок по x, y")});
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setMinimumHeight(horizontalHeader()->sizeHint().height() +
                     9 * verticalHeader()->defaultSectionSize() + 4);
    verticalScrollBar()->setAccessibleName(QStringLiteral("Прокрутка таблицы по строкам"));
    horizontalScrollBar()->setAccessibleName(QStringLiteral("Прокрутка таблицы по столбцам"));
}

void CompareTable::setRows(const std::vector<StepHalving::Row>& rows) {
    clearSpans();
    setRowCount(int(rows.size()));
    const QStringList steps{QStringLiteral("Δt"), QStringLiteral("Δt/2"), QStringLiteral("Δt/4")};
    auto cell = [this](int r, int c, const QString& text, const QString& tip = {}) {
        auto* item = new QTableWidgetItem(text);
        item->setToolTip(tip);
        setItem(r, c, item);
    };
    for (int r = 0; r < int(rows.size()); ++r) {
        const StepHalving::Row& row = rows[std::size_t(r)];
        cell(r, 0, LabPicture::methodName(row.method));
        cell(r, 1, steps[r % StepHalving::Halvings]);
        cell(r, 2, row.drift.has() ? brief(*row.drift) : QStringLiteral("нет"),
             row.drift.has() ? NumberText::fromDouble(*row.drift) : row.drift.reason);
        cell(r, 3, row.order.has() ? brief(*row.order) : QStringLiteral("—"),
             row.order.has() ? NumberText::fromDouble(*row.order) : row.order.reason);
        // One order from a method's three runs, in one cell across them.
        if (r % StepHalving::Halvings == 0) {
            const Figure<double>& order = row.stateOrder;
            cell(r, 4, order.has() ? brief(*order) : QStringLiteral("нет"),
                 order.has() ? NumberText::fromDouble(*order) : order.reason);
            setSpan(r, 4, StepHalving::Halvings, 1);
        }
    }
}
