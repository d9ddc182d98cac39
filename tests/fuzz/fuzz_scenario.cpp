// libFuzzer target over the scenario file reader: any bytes are read or
// refused with a reason, and whatever is read is written and read back as
// the same scenario. Anything else (a crash, a sanitizer report, another
// exception, a changed value) is a finding.
#include "scenariofuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScenarioFuzz::run(data, size);
    return 0;
}
