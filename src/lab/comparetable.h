#pragma once

#include "analysis/stephalving.h"

#include <QTableWidget>

// The table of "Сравнить шаги": method, step, drift of V and its observed
// order, a row per method and halving, and each method's observed order of
// x and y at the end in one cell across its three rows. A cell shows six
// digits, its tooltip all fifteen, or the reason a figure is missing.
class CompareTable : public QTableWidget {
    Q_OBJECT
public:
    explicit CompareTable(QWidget* parent);
    void setRows(const std::vector<StepHalving::Row>& rows);
};
