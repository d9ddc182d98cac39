#include "export/csvwriter.h"

#include <algorithm>
#include <charconv>

namespace {
char separator(CsvWriter::Style style) {
    return style == CsvWriter::DecimalComma ? ';' : ',';
}

void appendWhole(QByteArray& out, std::size_t value) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    out.append(buf, end - buf);
}
} // namespace

QByteArray CsvWriter::start(Style style) {
    return style == DecimalComma ? QByteArray(Bom) : QByteArray();
}

void CsvWriter::appendNumber(QByteArray& out, double value, Style style, int digits) {
    // %.17g, without the locale that printf would consult.
    char buf[32];
    char* end =
        digits > 0
            ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits).ptr
            : std::to_chars(buf, buf + sizeof buf, value).ptr;
    if (style == DecimalComma)
        std::replace(buf, end, '.', ',');
    out.append(buf, end - buf);
}

QByteArray CsvWriter::series(const double* x, const double* y, std::size_t count, double dt,
                             Style style, const char* header) {
    const char sep = separator(style);
    QByteArray out = start(style);
    // A row is at most three numbers of 24 characters and the step.
    out.reserve(qsizetype(count) * 84 + 64);
    out += QByteArray(header).replace(',', sep);
    out += '\n';
    for (std::size_t i = 0; i < count; ++i) {
        appendWhole(out, i);
        out += sep;
        appendNumber(out, double(i) * dt, style, 12);
        out += sep;
        appendNumber(out, x[i], style);
        out += sep;
        appendNumber(out, y[i], style);
        out += '\n';
    }
    return out;
}

QByteArray CsvWriter::corrections(const std::vector<float>& elapsed,
                                  const std::vector<float>& factor, std::size_t count,
                                  Style style) {
    const char sep = separator(style);
    count = std::min({count, elapsed.size(), factor.size()});
    QByteArray out = start(style) + QByteArray("correction,elapsed,factor\n").replace(',', sep);
    for (std::size_t i = 0; i < count; ++i) {
        appendWhole(out, i + 1);
        out += sep;
        appendNumber(out, double(elapsed[i]), style);
        out += sep;
        appendNumber(out, double(factor[i]), style);
        out += '\n';
    }
    return out;
}
