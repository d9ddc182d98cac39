#pragma once

#include "analysis/labrun.h"
#include "export/labfiles.h"

#include <QStringList>

// The lab's figures in words, one line each, every line opening with the
// same words whatever the run, so that a reader (or a screen reader) finds
// a figure by its start; a figure that does not exist says why instead.
class LabReadout {
public:
    // On screen six significant digits; in a tooltip, a copy or a file all
    // fifteen, so that nothing is lost by reading it off the screen.
    static constexpr int ShownDigits = 6;
    static constexpr int AllDigits = 15;
    static QStringList lines(const LabRun& run, int digits = AllDigits);
    // A figure's number in the program's format, with its note in
    // brackets when it has one, or "нет (why)".
    static QString figure(const Figure<double>& f, int digits = AllDigits);
    // The same figures for a file: a name, a number, words when needed.
    static QList<LabFiles::Row> rows(const LabRun& run);
    // What V is, for the lines that give it.
    static QString vMeaning();
};
