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
    int a = 0, b = 0;
    std::thread t1([&] { a = worker(); });
    std::thread t2([&] { b = worker(); });
    auto kbd = platform::openDevice("KBD1:");
    for (int i = 0; i < 50; ++i) {
        const int32_t layout = 1 + i % 5;
        EXPECT_TRUE(kbd.ioControl(protocol::IOCTL_KBD_SET_LAYOUT, &layout, 4, nullptr, 0));
    }
    t1.join();
    t2.join();
    EXPECT_EQ(a, kMoves);
    EXPECT_EQ(b, kMoves);
    EXPECT_EQ(devices.state->integer(sim::stateKey::PlatenMoves), 2 * kMoves);
    EXPECT_EQ(devices.state->integer(sim::stateKey::KeyboardLayout), 5);
}

} // namespace
} // namespace simtest
