#pragma once

#include "model/runrecord.h"

#include <QObject>

// The last run a window finished, for whatever shows or saves it (the
// graph's menu, the lab) without depending on the window that made it.
// Each edition hands it every run that finished drawing; changed() follows
// every new record and every clear().
class LastRun : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Empty until a run has finished.
    const RunRecord& record() const { return m_record; }
    void set(RunRecord record);
    void clear();

signals:
    void changed();

private:
    RunRecord m_record;
};
