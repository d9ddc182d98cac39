#pragma once

#include "model/modelstate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The texts of the debug log, one list line per entry.
class LogEntries {
public:
    static QString separator();
    // LOG START: markers, the date and the parameters as read.
    static QStringList startBlock(const ModelState& state, const QDateTime& now);
    // separator, "<name>=<seconds>", separator
    static QStringList elapsedGroup(const QString& name, float seconds);
    // "x1=0,1009           y1=0,0991"
    static QString point(int i, double x, double y);
    static QStringList endBlock();
};
