#pragma once

#include <QByteArray>
#include <cstddef>
#include <vector>

// The numbers of a graph as CSV: UTF-8, LF line ends, a header row, one row
// per step or record. Every computed number has 17 significant digits, so it
// reads back as the very double that was computed; t, which is only step ·
// Δt, has 12, as a person writes it ("0,03", not "0,029999999999999999").
// The spreadsheet variant starts with a UTF-8 byte-order mark, without which
// a spreadsheet takes the file for the system's 8-bit code page and garbles
// every Cyrillic letter.
class CsvWriter {
public:
    enum Style {
        // "," between fields, "." in numbers.
        Plain,
        // ";" between fields, "," in numbers: what a spreadsheet set up for
        // Russian reads.
        DecimalComma,
    };

    static constexpr char Bom[] = "\xEF\xBB\xBF";
    // The mark for the spreadsheet variant, nothing for the plain one.
    static QByteArray start(Style style);

    // step,t,x,y (or `header`, in the file's language) for steps 0 ..
    // count - 1, with t = step * dt; `start(style)` first.
    static QByteArray series(const double* x, const double* y, std::size_t count, double dt,
                             Style style, const char* header = "step,t,x,y");
    // correction,elapsed,factor for records 1 .. count of the timing
    // corrections.
    static QByteArray corrections(const std::vector<float>& elapsed,
                                  const std::vector<float>& factor, std::size_t count, Style style);

    // One number as the files write it, to `digits` significant digits; 0
    // gives the shortest text that reads back as the same double: a
    // parameter as it was typed ("0,9", not "0,90000000000000002").
    static void appendNumber(QByteArray& out, double value, Style style, int digits = 17);
};
