#include "model/lastrun.h"

void LastRun::set(RunRecord record) {
    m_record = std::move(record);
    emit changed();
}

void LastRun::clear() {
    m_record = RunRecord();
    emit changed();
}
