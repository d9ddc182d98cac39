// libFuzzer target: see fuzzentry.h for the input layout. Anything but a
// normal end or a RunError (a crash, a sanitizer report, another exception)
// is a finding.
#include "fuzzentry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzEntry::run(data, size);
    return 0;
}
