// Handlers that throw: the exception becomes a message box, the program and
// the dialog go on, and a worker waiting in send() is released.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "ui/Dialog.h"
#include "ui/HandlerGuard.h"
#include "ui/Resources.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "ui/testing/TestApp.h"

using namespace ui;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

constexpr int IDD_GUARD = 210, IDC_RUN = 1022, IDC_EDIT = 1013;
constexpr int WM_THROW = WM_USER + 150, WM_COUNT = WM_USER + 151;

class HandlerGuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::testing::testApp();
        auto r = parseResourceScript(QStringLiteral("210 DIALOGEX 0,0,200,100\nCAPTION \"G\"\nBEGIN\n"
                                                    "  PUSHBUTTON \"RUN\",1022,5,5,50,14\n"
                                                    "  EDITTEXT 1013,5,25,50,14\nEND\n"),
                                     QStringLiteral("guard.rc"));
        ASSERT_TRUE(r.ok());
        Resources::setBuiltin(std::move(*r.script));
    }
    ui::testing::ScopedPromptRecorder prompts;
};

// What a handler may throw, and what the operator reads.
struct Thrower {
    const char* name;
    std::function<void()> fn;
    const char* shown;
};

const Thrower kThrowers[] = {
    {"runtime_error", [] { throw std::runtime_error("ramp table too long"); }, "ramp table too long"},
    {"bad_alloc", [] { throw std::bad_alloc(); }, "out of memory"},
    {"not an exception class", [] { throw 42; }, "unknown error"},
};

TEST_F(HandlerGuardTest, ACommandOrNotificationThatThrowsBecomesAMessageAndTheDialogGoesOn)
{
    for (const Thrower& t : kThrowers) {
        SCOPED_TRACE(t.name);
        prompts.clear();
        Dialog dlg(IDD_GUARD);
        int runs = 0;
        bool throwing = true;
        dlg.onCommand(IDC_RUN, [&] {
            ++runs;
            if (throwing)
                t.fn();
        });
        dlg.onNotify(IDC_EDIT, Notify::EditChanged, t.fn);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());

        ASSERT_TRUE(h.click(IDC_RUN));
        ASSERT_EQ(prompts.count(), 1u);
        EXPECT_EQ(prompts.texts().front(), handlerFailureText(QString::fromLatin1(t.shown)));
        EXPECT_EQ(prompts.boxes().front().ask.icon, MsgIcon::Error);

        ASSERT_TRUE(h.setText(IDC_EDIT, QStringLiteral("5")));
        EXPECT_EQ(prompts.count(), 2u);

        throwing = false;
        ASSERT_TRUE(h.click(IDC_RUN));
        EXPECT_EQ(runs, 2);
        EXPECT_FALSE(h.ended());
    }
}

TEST_F(HandlerGuardTest, APostedMessageThatThrowsDoesNotStopTheOnesAfterIt)
{
    Dialog dlg(IDD_GUARD);
    int counted = 0;
    dlg.onMessage(WM_THROW, [](Message&) { throw std::runtime_error("bad payload"); });
    dlg.onMessage(WM_COUNT, [&](Message&) { ++counted; });
    DialogHarness h(dlg);
    dlg.post(WM_COUNT);
    dlg.post(WM_THROW);
    dlg.post(WM_COUNT);
    EXPECT_TRUE(processUntil([&] { return counted == 2; }));
    EXPECT_EQ(prompts.texts(), QStringList{handlerFailureText(QStringLiteral("bad payload"))});
}

TEST_F(HandlerGuardTest, AnInitialisationThatThrowsClosesTheScreenWithAMessage)
{
    class Broken : public Dialog {
    public:
        Broken() : Dialog(IDD_GUARD) {}
        bool onInitDialog() override { throw std::runtime_error("no printer record"); }
    };
    Broken dlg;
    EXPECT_EQ(dlg.doModal(), -1);
    EXPECT_TRUE(dlg.hasEnded());
    EXPECT_EQ(prompts.texts(), QStringList{handlerFailureText(QStringLiteral("no printer record"))});
}

TEST_F(HandlerGuardTest, AWorkerSendingToAThrowingHandlerIsReleasedWithFalse)
{
    Dialog dlg(IDD_GUARD);
    int counted = 0;
    dlg.onMessage(WM_THROW, [](Message&) { throw std::runtime_error("handler failed"); });
    dlg.onMessage(WM_COUNT, [&](Message&) { ++counted; });
    DialogHarness h(dlg);
    MessagePort port = dlg.port();
    std::atomic<int> first{-1}, second{-1};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        first.store(port.send(WM_THROW) ? 1 : 0);
        second.store(port.send(WM_COUNT) ? 1 : 0);
        done.store(true);
    });
    EXPECT_TRUE(processUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(first.load(), 0) << "the failed handler's send returns false";
    EXPECT_EQ(second.load(), 1) << "and the next one works";
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(prompts.count(), 1u);

    // On the interface thread the same send returns false at once.
    EXPECT_FALSE(dlg.send(WM_THROW));
    EXPECT_TRUE(dlg.send(WM_COUNT));
}

TEST_F(HandlerGuardTest, ACallRunOnTheInterfaceThreadThatThrowsReleasesItsCaller)
{
    std::atomic<int> result{-1};
    std::thread worker([&] { result.store(callOnUiThread([] { throw std::runtime_error("box failed"); }) ? 1 : 0); });
    EXPECT_TRUE(processUntil([&] { return result.load() >= 0; }));
    worker.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(prompts.texts(), QStringList{handlerFailureText(QStringLiteral("box failed"))});
}

} // namespace
