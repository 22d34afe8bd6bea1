// Requests from several threads at once (a dialog's worker and the
// interface thread): the printer serialises them and keeps its counters.
#include <thread>

#include "SimTestSupport.h"
#include "protocol/UserRequests.h"

namespace simtest {
namespace {

class Concurrency : public SimFixture {};

TEST_F(Concurrency, ParallelRequestsAreSerialised)
{
    start();
    constexpr int kMoves = 200;
    auto worker = [] {
        auto h = openPrinter();
        DriverRecord<PlatenMoveParams> rec;
        fillPlaten(rec, 50, true);
        int ok = 0;
        for (int i = 0; i < kMoves; ++i) {
            int32_t out = 0;
            ok += sendCommand(h, IOCTL_PRN_MOTION, rec.block(), &out, 4);
        }
        return ok;
    };
    // The user program prints meanwhile on a handle of its own.
    auto printer = [] {
        namespace ud = protocol;
        auto h = openPrinter();
        bool ok = h.ioControl(ud::IOCTL_PRN_JOB_BEGIN, nullptr, 0, nullptr, 0) &&
                  h.ioControl(ud::IOCTL_PRN_IMAGE_BEGIN, nullptr, 0, nullptr, 0);
        std::vector<uint8_t> row(156, 0x81);
        for (int i = 0; i < 320; ++i)
            ok = h.write(row.data(), uint32_t(row.size())) && ok;
        return h.ioControl(ud::IOCTL_PRN_IMAGE_END, nullptr, 0, nullptr, 0) &&
               h.ioControl(ud::IOCTL_PRN_JOB_END, nullptr, 0, nullptr, 0) && ok;
    };
    int a = 0, b = 0;
    bool printed = false;
    std::thread t1([&] { a = worker(); });
    std::thread t2([&] { b = worker(); });
    std::thread t3([&] { printed = printer(); });
    auto kbd = platform::openDevice("KBD1:");
    for (int i = 0; i < 50; ++i) {
        const int32_t layout = 1 + i % 5;
        EXPECT_TRUE(kbd.ioControl(protocol::IOCTL_KBD_SET_LAYOUT, &layout, 4, nullptr, 0));
    }
    t1.join();
    t2.join();
    t3.join();
    EXPECT_TRUE(printed);
    EXPECT_EQ(devices.state->integer(sim::stateKey::RowsPrinted), 320);
    EXPECT_EQ(a, kMoves);
    EXPECT_EQ(b, kMoves);
    EXPECT_EQ(devices.state->integer(sim::stateKey::PlatenMoves), 2 * kMoves);
    EXPECT_EQ(devices.state->integer(sim::stateKey::KeyboardLayout), 5);
}

} // namespace
} // namespace simtest
