#pragma once

#include <QByteArray>
#include <cstddef>
#include <vector>

// The numbers of a graph as CSV: UTF-8, LF line ends, a header row, one row
// per step or record. Every number has 17 significant digits, so it reads
// back as the very double that was computed.
class CsvWriter {
public:
    enum Style {
        // "," between fields, "." in numbers.
        Plain,
        // ";" between fields, "," in numbers: what a spreadsheet set up for
        // Russian reads.
        DecimalComma,
    };

    // step,t,x,y for steps 0 .. count - 1, with t = step * dt.
    static QByteArray series(const double* x, const double* y, std::size_t count, double dt,
                             Style style);
    // correction,elapsed,factor for records 1 .. count of the timing
    // corrections.
    static QByteArray corrections(const std::vector<float>& elapsed,
                                  const std::vector<float>& factor, std::size_t count, Style style);

    // One number as the files write it.
    static void appendNumber(QByteArray& out, double value, Style style);
};
