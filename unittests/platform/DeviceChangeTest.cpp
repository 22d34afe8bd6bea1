#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "platform/DeviceChange.h"

using namespace platform;

namespace {

uint32_t word(const std::vector<uint8_t>& r, size_t at)
{
    return uint32_t(r[at]) | uint32_t(r[at + 1]) << 8 | uint32_t(r[at + 2]) << 16 | uint32_t(r[at + 3]) << 24;
}

TEST(DeviceChangeRecords, AreLaidOutAsThePlatformDoes)
{
    const std::vector<uint8_t> port = portRecord(u"COM1:");
    ASSERT_EQ(port.size(), 12u + 12u) << "header, five characters and the NUL";
    EXPECT_EQ(word(port, 0), port.size());
    EXPECT_EQ(word(port, 4), DBT_DEVTYP_PORT);
    EXPECT_EQ(word(port, 8), 0u);
    EXPECT_EQ(port[12], 'C');
    EXPECT_EQ(port[13], 0);
    EXPECT_EQ(port[20], ':');
    EXPECT_EQ(port[22], 0);
    EXPECT_EQ(port[23], 0);

    const std::vector<uint8_t> volume = volumeRecord(0x10, 1);
    ASSERT_EQ(volume.size(), 20u);
    EXPECT_EQ(word(volume, 0), 20u);
    EXPECT_EQ(word(volume, 4), DBT_DEVTYP_VOLUME);
    EXPECT_EQ(word(volume, 12), 0x10u);
    EXPECT_EQ(volume[16], 1);

    const std::vector<uint8_t> oem = oemRecord(7, 9);
    ASSERT_EQ(oem.size(), 20u);
    EXPECT_EQ(word(oem, 4), DBT_DEVTYP_OEM);
    EXPECT_EQ(word(oem, 12), 7u);
    EXPECT_EQ(word(oem, 16), 9u);
}

TEST(DeviceChangeHub, EverySubscriberGetsEachNotificationUntilItUnsubscribes)
{
    DeviceChangeHub hub;
    std::vector<uint32_t> a, b;
    DeviceChangeSubscription sa = hub.subscribe([&](const DeviceChange& c) { a.push_back(c.event); });
    DeviceChangeSubscription sb = hub.subscribe([&](const DeviceChange& c) { b.push_back(c.event); });
    EXPECT_EQ(hub.subscriberCount(), 2u);
    hub.publish(DBT_DEVICEARRIVAL, portRecord(u"X"));
    sa.unsubscribe();
    EXPECT_FALSE(sa.active());
    hub.publish(DBT_DEVICEREMOVECOMPLETE, portRecord(u"X"));
    {
        DeviceChangeSubscription moved = std::move(sb);
        hub.publish(DBT_DEVNODES_CHANGED, {});
    } // the moved-to subscription ends here
    hub.publish(DBT_DEVICEARRIVAL, {});
    EXPECT_EQ(a, (std::vector<uint32_t>{DBT_DEVICEARRIVAL}));
    EXPECT_EQ(b, (std::vector<uint32_t>{DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVNODES_CHANGED}));
    EXPECT_EQ(hub.subscriberCount(), 0u);
}

TEST(DeviceChangeHub, ASubscriberMayUnsubscribeItselfOrAnotherDuringDelivery)
{
    DeviceChangeHub hub;
    int selfCalls = 0, otherCalls = 0;
    DeviceChangeSubscription self, other;
    self = hub.subscribe([&](const DeviceChange&) {
        ++selfCalls;
        self.unsubscribe();  // no deadlock on its own call
        other.unsubscribe(); // the next in line is not called for this one either
    });
    other = hub.subscribe([&](const DeviceChange&) { ++otherCalls; });
    hub.publish(DBT_DEVICEARRIVAL, {});
    hub.publish(DBT_DEVICEARRIVAL, {});
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(otherCalls, 0);
    EXPECT_EQ(hub.subscriberCount(), 0u);
}

TEST(DeviceChangeHub, UnsubscribingFromAnotherThreadWaitsForTheCallInProgress)
{
    DeviceChangeHub hub;
    std::promise<void> entered, gate;
    std::shared_future<void> gateOpen = gate.get_future().share();
    std::atomic<bool> handlerDone{false};
    std::atomic<int> calls{0};
    DeviceChangeSubscription sub = hub.subscribe([&](const DeviceChange&) {
        if (calls++ == 0) {
            entered.set_value();
            gateOpen.wait();
        }
        handlerDone = true;
    });
    std::thread publisher([&] { hub.publish(DBT_DEVICEARRIVAL, {}); });
    entered.get_future().wait();

    std::atomic<bool> doneWhenUnsubscribed{false};
    std::atomic<bool> unsubscribeStarted{false};
    std::thread unsubscriber([&] {
        unsubscribeStarted = true;
        sub.unsubscribe();
        doneWhenUnsubscribed = handlerDone.load();
    });
    while (!unsubscribeStarted)
        std::this_thread::yield();
    for (int i = 0; i < 1000; ++i) // give it the chance to return early, were it wrong
        std::this_thread::yield();
    gate.set_value();
    unsubscriber.join();
    publisher.join();
    EXPECT_TRUE(doneWhenUnsubscribed) << "unsubscribe() returned while the handler still ran";
    hub.publish(DBT_DEVICEARRIVAL, {});
    EXPECT_EQ(calls, 1) << "called after unsubscribing";
}

TEST(DeviceChangeHub, PublishersAndSubscribersOnManyThreads)
{
    DeviceChangeHub hub;
    std::atomic<int> kept{0};
    DeviceChangeSubscription keep = hub.subscribe([&](const DeviceChange&) { ++kept; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                hub.publish(DBT_DEVICEARRIVAL, portRecord(u"P"));
        });
    threads.emplace_back([&] {
        for (int i = 0; i < 200; ++i) {
            std::atomic<int> seen{0};
            DeviceChangeSubscription s = hub.subscribe([&seen](const DeviceChange&) { ++seen; });
            s.unsubscribe(); // `seen` dies right after: a later call would touch it
        }
    });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(kept, 600);
    EXPECT_EQ(hub.subscriberCount(), 1u);
}

TEST(DeviceChangeHub, AThrowingSubscriberKeepsTheOthersServed)
{
    DeviceChangeHub hub;
    int served = 0;
    DeviceChangeSubscription bad = hub.subscribe([](const DeviceChange&) { throw std::runtime_error("x"); });
    DeviceChangeSubscription good = hub.subscribe([&](const DeviceChange&) { ++served; });
    hub.publish(DBT_DEVICEARRIVAL, {});
    EXPECT_EQ(served, 1);
}

TEST(DeviceChangeHub, ASubscriptionMayOutliveItsHub)
{
    DeviceChangeSubscription s;
    {
        DeviceChangeHub hub;
        s = hub.subscribe([](const DeviceChange&) {});
    }
    s.unsubscribe();
    EXPECT_FALSE(s.active());
}

} // namespace
