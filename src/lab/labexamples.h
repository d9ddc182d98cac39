#pragma once

#include "model/scenariofile.h"

#include <QString>
#include <vector>

// The lab's ready scenarios, each showing one effect within one run: the
// scenario files shipped with the program (installed under
// share/morvane/examples, or the program's own copies when it runs from
// where it was built), then those of a folder the teacher chose, remembered
// between sessions.
class LabExamples {
public:
    struct Example {
        QString name;
        Scenario params;
        QString path;
    };
    // The shipped ones, read once.
    static const std::vector<Example>& all();
    // The shipped ones and the teacher's folder's, read now.
    static std::vector<Example> withOwn();
    static QString ownFolder();
    static void setOwnFolder(const QString& folder);
};
