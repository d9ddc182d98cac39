#pragma once

#include "analysis/labrun.h"

#include <QStringList>

// The lab's figures in words, one line each, every line opening with the
// same words whatever the run, so that a reader (or a screen reader) finds
// a figure by its start; a figure that does not exist says why instead.
class LabReadout {
public:
    static QStringList lines(const LabRun& run);
    // A figure's number in the program's format, with its note in
    // brackets when it has one, or "нет (why)".
    static QString figure(const Figure<double>& f);
};
