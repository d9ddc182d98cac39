#pragma once

#include "extinction/ensemble.h"

#include <QStringList>

// The extinction risk in words a student reads: shares with their 95 %
// intervals beside the run without the disaster, the times of the first
// extinction, the most dangerous moment. A missing figure reads "нет (…)".
class RiskWords {
public:
    static QStringList lines(const Extinction::Result& result, int divisor);
    // One decimal and the locale's comma: "37,2 %".
    static QString percent(double fraction);
};
