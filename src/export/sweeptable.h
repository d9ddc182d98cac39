#pragma once

#include "export/csvwriter.h"
#include "export/sweeprunner.h"

#include <QByteArray>

// A sweep as CSV for a spreadsheet: a header, then one row per point in the
// sweep's order: the swept values, the figures (an empty cell where one is
// undefined) and, last, why the point did not run. Numbers are the shortest
// text that reads back as the same double, as --summary writes them.
class SweepTable {
public:
    // The header, then the rows the run made with row() (Setup::row).
    static QByteArray csv(const std::vector<SweptInput>& swept, const SweepRunner::Results& results,
                          CsvWriter::Style style);
    // One point's row, with its line break; it reads only that point's cells.
    static QByteArray row(const std::vector<SweptInput>& swept, const SweepRunner::Results& results,
                          long long point, CsvWriter::Style style);
};
