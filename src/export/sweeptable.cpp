#include "export/sweeptable.h"

namespace {
// A text cell, quoted whenever it holds anything: a reason may hold the
// separator, quotes or a line break.
void appendText(QByteArray& out, const QString& text) {
    if (text.isEmpty())
        return;
    out += '"';
    out += text.toUtf8().replace('"', "\"\"");
    out += '"';
}
} // namespace

QByteArray SweepTable::csv(const std::vector<SweptInput>& swept, const SweepRunner::Results& r,
                           CsvWriter::Style style) {
    const char sep = style == CsvWriter::DecimalComma ? ';' : ',';
    QByteArray out = CsvWriter::start(style);
    QStringList header;
    for (const SweptInput& s : swept)
        header << s.name;
    header << r.figures << QStringLiteral("failure");
    out += header.join(QLatin1Char(sep)).toUtf8();
    out += '\n';
    qsizetype size = out.size();
    for (const QByteArray& line : r.rows)
        size += line.size();
    out.reserve(size);
    for (const QByteArray& line : r.rows)
        out += line;
    return out;
}

QByteArray SweepTable::row(const std::vector<SweptInput>& swept, const SweepRunner::Results& r,
                           long long p, CsvWriter::Style style) {
    const char sep = style == CsvWriter::DecimalComma ? ';' : ',';
    QByteArray out;
    const int width = int(r.figures.size());
    for (int k = 0; k < int(swept.size()); ++k) {
        const SweptInput& s = swept[std::size_t(k)];
        CsvWriter::appendNumber(out, s.value(SweptInput::indexIn(swept, p, k)), style, 0);
        out += sep;
    }
    for (int f = 0; f < width; ++f) {
        if (r.has(p, f))
            CsvWriter::appendNumber(out, r.at(p, f), style, 0);
        out += sep;
    }
    appendText(out, r.failures[std::size_t(p)]);
    out += '\n';
    return out;
}
