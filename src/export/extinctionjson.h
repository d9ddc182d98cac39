#pragma once

#include "export/summaryjson.h"
#include "extinction/ensemble.h"

#include <QByteArray>
#include <QStringList>

// The extinction ensemble as the JSON object of morvane-export's
// --extinction, with fixed keys that scripts rely on. A share of no runs
// and the times of no extinction are null, with the reason in "notes"; the
// threads are not written, since the figures do not depend on them.
class ExtinctionJson {
public:
    static QByteArray document(const SummaryJson::Inputs& inputs,
                               const Extinction::Settings& settings,
                               const Extinction::Result& result, const QStringList& extraNotes);
};
