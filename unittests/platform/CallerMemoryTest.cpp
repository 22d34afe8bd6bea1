#include <cstdint>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/CallerMemory.h"

using namespace platform;

TEST(CallerMemoryTest, ResolvesInsideBoundsOnly)
{
    CallerBuffer buf(64);
    ASSERT_NE(buf.address(), 0u);
    auto& mem = CallerMemory::instance();
    EXPECT_EQ(mem.resolve(buf.address(), 64), buf.data());
    EXPECT_EQ(mem.resolve(buf.address() + 60, 4), buf.data() + 60);
    EXPECT_EQ(mem.resolve(buf.address() + 60, 5), nullptr);
    EXPECT_EQ(mem.resolve(buf.address(), 65), nullptr);
    EXPECT_EQ(mem.resolve(buf.address() - 1, 1), nullptr);
    EXPECT_EQ(mem.resolve(0, 0), nullptr);
    // A length so large that offset + length wraps around.
    EXPECT_EQ(mem.resolve(buf.address() + 1, SIZE_MAX), nullptr);
    EXPECT_EQ(mem.resolve(buf.address() + 8, SIZE_MAX - 7), nullptr);
}

TEST(CallerMemoryTest, ReleasedAddressNoLongerResolves)
{
    uint32_t addr;
    {
        CallerTable<uint32_t> table(10);
        table[9] = 7;
        addr = table.address();
        EXPECT_NE(CallerMemory::instance().resolve(addr, 40), nullptr);
    }
    EXPECT_EQ(CallerMemory::instance().resolve(addr, 4), nullptr);
    // A new buffer does not get the old address back at once.
    CallerBuffer next(40);
    EXPECT_NE(next.address(), addr);
}

TEST(CallerMemoryTest, MovedBufferKeepsItsAddress)
{
    CallerBuffer a(8);
    const uint32_t addr = a.address();
    CallerBuffer b = std::move(a);
    EXPECT_EQ(a.address(), 0u);
    EXPECT_EQ(b.address(), addr);
    EXPECT_EQ(CallerMemory::instance().resolve(addr, 8), b.data());
}

TEST(CallerMemoryTest, RecordIsZeroInitialised)
{
    struct Rec {
        uint32_t a, b;
    };
    CallerRecord<Rec> r;
    EXPECT_EQ(r->a, 0u);
    EXPECT_EQ(reinterpret_cast<Rec*>(CallerMemory::instance().resolve(r.address(), sizeof(Rec))), r.get());
}

TEST(CallerMemoryTest, ConcurrentMapAndUnmapStayConsistent)
{
    const size_t before = CallerMemory::instance().mappedCount();
    std::atomic<int> bad{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&bad, t] {
            for (int i = 0; i < 2000; ++i) {
                CallerBuffer b(size_t(16 + (i % 7) * 8 + t));
                b.data()[0] = uint8_t(i);
                const uint8_t* p = CallerMemory::instance().resolve(b.address(), b.size());
                if (p != b.data() || p[0] != uint8_t(i))
                    ++bad;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(CallerMemory::instance().mappedCount(), before);
}
