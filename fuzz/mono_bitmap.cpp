// Any bytes as a bitmap file: the packer reads only what it is handed (the
// sanitizers catch an over-read of the exact-size copy) and gives either no
// bytes or (W × |H| + 7) / 8 of them, within the bound.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "vantor/screens/print/MonoBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so that reading one byte past the end is caught.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), data, size);
    const auto packed = vantor::print::PackMonoBitmap(copy.get(), size);
    if (packed.empty())
        return 0;
    if (packed.size() > vantor::print::kMaxPackedImageBytes || size < 54)
        std::abort();
    auto i32 = [&](size_t at) {
        return int32_t(uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
                       uint32_t(data[at + 3]) << 24);
    };
    const int64_t w = i32(18);
    int64_t h = i32(22);
    h = h < 0 ? -h : h;
    if (w <= 0 || h <= 0 || packed.size() != size_t((w * h + 7) / 8))
        std::abort();
    return 0;
}
