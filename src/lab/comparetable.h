#pragma once

#include "analysis/stephalving.h"

#include <QTableWidget>

// The table of "Сравнить шаги": method, step, drift of V and observed order,
// a row per method and halving. A cell shows six digits, its tooltip all
// fifteen, or the reason a figure is missing.
class CompareTable : public QTableWidget {
    Q_OBJECT
public:
    explicit CompareTable(QWidget* parent);
    void setRows(const std::vector<StepHalving::Row>& rows);
};
