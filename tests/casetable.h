#pragma once

#include "common/runerror.h"

#include <QTest>
#include <iterator>
#include <tuple>

// Data-driven tests whose rows are tuples named by their first element: the
// QtTest table carries only the row number, so that each case stays one line
// and the test function unpacks it with a structured binding.
template <class Rows> void addRows(const Rows& rows) {
    QTest::addColumn<int>("row");
    int i = 0;
    for (const auto& r : rows)
        QTest::newRow(std::get<0>(r)) << i++;
}

template <class Rows> const auto& currentRow(const Rows& rows) {
    QFETCH(int, row);
    return *(std::begin(rows) + row);
}

// The RunError code a call ends with, 0 when it returns normally.
template <class F> int errorOf(F&& f) {
    try {
        f();
        return 0;
    } catch (const RunError& e) {
        return e.code();
    }
}
