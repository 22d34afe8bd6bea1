// Any bytes as a ramp profile: the parser and the table built from it must
// never read or write out of bounds, and every entry is a 16-bit value.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vantor/driver/RampProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint32_t> values;
    vantor::driver::parseRampProfile(reinterpret_cast<const char*>(data), size, values);
    size_t lines = 0;
    for (size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    if (values.size() > lines + 1)
        std::abort();
    for (uint32_t v : values)
        if (v > 0xFFFFu)
            std::abort();
    auto table = vantor::driver::makeRampTable(values);
    if (table.count() != values.size())
        std::abort();
    for (size_t i = 0; i < table.count(); ++i)
        if (table[i] != values[i])
            std::abort();
    return 0;
}
