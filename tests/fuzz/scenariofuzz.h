#pragma once

#include "model/scenariofile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

// One fuzz input is a whole scenario file.
namespace ScenarioFuzz {

// True when the bytes were read (and came back the same through a write).
inline bool run(const std::uint8_t* data, std::size_t size) {
    QString why;
    const auto read = ScenarioFile::read(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &why);
    if (!read) {
        if (why.isEmpty())
            std::abort(); // refused without a reason
        return false;
    }
    (void)read->scenario.strike();
    const auto again = ScenarioFile::read(ScenarioFile::write(*read), &why);
    if (!again || !(*again == *read))
        std::abort();
    return true;
}
} // namespace ScenarioFuzz
