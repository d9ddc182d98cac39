#pragma once

// The benchmarks' one report: every figure beside its baseline from the same
// run, their ratio and the goal that ratio is held to, as a Markdown table.

#include <QString>
#include <vector>

class BenchTable {
public:
    enum Unit { Seconds, KiB };

    struct Row {
        QString figure;
        QString measured;
        double value = 0;
        QString baselineName;
        double baseline = 0;
        Unit unit = Seconds;
        // Bounds on value / baseline; no goal when goalHigh is 0.
        double goalLow = 0;
        double goalHigh = 0;
    };

    void add(const Row& row) { m_rows.push_back(row); }
    // The table, then any notes below it.
    void addNote(const QString& note) { m_notes.push_back(note); }
    QString toMarkdown() const;

    static QString format(double value, Unit unit);

private:
    std::vector<Row> m_rows;
    std::vector<QString> m_notes;
};
