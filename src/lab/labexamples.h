#pragma once

#include "analysis/labrun.h"

#include <QString>
#include <vector>

// The lab's ready scenarios, each showing one effect within one run.
class LabExamples {
public:
    struct Example {
        QString name;
        Scenario params;
    };
    static const std::vector<Example>& all();
};
