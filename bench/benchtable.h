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

    void add(const Row& row);
    // Rows as another table's rowsMarkdown() gave them.
    void addRows(const QString& markdown);
    // Appended to the measured text of the rows added from now on, e.g.
    // ", Xvfb" for figures taken on another display.
    void setWhere(const QString& where) { m_where = where; }
    // The table, then any notes below it.
    void addNote(const QString& note) { m_notes.push_back(note); }
    QString toMarkdown() const;
    // The rows alone, without the header and the notes.
    QString rowsMarkdown() const;

    static QString format(double value, Unit unit);

private:
    QString m_rows;
    QString m_where;
    std::vector<QString> m_notes;
};
