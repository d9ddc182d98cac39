#pragma once

#include "export/exportoptions.h"
#include "export/sweptinput.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// A sweep's points, each run as morvane-export runs one set of options
// (ExportRun), on several threads. Every point is computed alone from its
// own options, so its row does not depend on which thread made it or when;
// the extinction of every point starts from the same seed, as the single
// --extinction with that seed does. A point that cannot be read or run keeps
// its row with the reason; the others go on.
class SweepRunner {
public:
    struct Results;
    struct Setup {
        ExportOptions options; // the fixed texts; the swept ones are replaced
        std::vector<SweptInput> swept;
        bool compareSteps = false;
        bool extinction = false;
        int threads = 0; // 0: every core
        // When set, each point's line of text is made as soon as the point
        // is, by the thread that made it, into Results::rows: the writing
        // is shared out as the runs are.
        std::function<QByteArray(const Results&, long long point)> row;
    };

    struct Results {
        QStringList figures; // the columns after the swept values
        long long points = 0;
        // points × figures, row by row; `defined` says which cells hold a
        // number.
        std::vector<double> cells;
        std::vector<char> defined;
        // Why a point has no figures; empty for a point that ran.
        std::vector<QString> failures;
        // Setup::row of every point, when it was given.
        std::vector<QByteArray> rows;
        // Stopped before every point was made.
        bool stopped = false;
        // A fault outside any point (memory for the bookkeeping).
        QString fault;

        bool has(long long point, int figure) const {
            return defined[std::size_t(point * figures.size() + figure)] != 0;
        }
        double at(long long point, int figure) const {
            return cells[std::size_t(point * figures.size() + figure)];
        }
        long long failed() const;
    };

    // The names of the columns, as --summary and --extinction name them.
    static QStringList figureNames(bool compareSteps, bool extinction);
    // The options of one point: the fixed ones with the point's values.
    static ExportOptions optionsAt(const Setup& setup, long long point);
    // The same into options that already hold the fixed ones.
    static void place(const Setup& setup, long long point, ExportOptions& options);

    // Blocks until every point is made. `watch` is called on this thread
    // about ten times a second with the points done so far; when it
    // returns false the workers stop after their current point.
    static Results run(const Setup& setup, const std::function<bool(long long done)>& watch);
};
