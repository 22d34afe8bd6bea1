// Workers against dialogs and prompts; run under the thread sanitizer too.
#include <memory>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/testing/TestApp.h"
#include "ui/Dialog.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace ui;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

constexpr int IDD_TEST = 200, IDC_RESULT = 1004;
constexpr int WM_ADD_LINE = WM_USER + 102, WM_CYCLE_DONE = WM_USER + 101;

class ThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::testing::testApp();
        auto r = parseResourceScript(QStringLiteral("200 DIALOGEX 0,0,200,100\nCAPTION \"T\"\nBEGIN\n"
                                                    "  LISTBOX 1004,5,5,190,90,LBS_EXTENDEDSEL | WS_VSCROLL\nEND\n"),
                                     QStringLiteral("threads.rc"));
        ASSERT_TRUE(r.ok());
        Resources::setBuiltin(std::move(*r.script));
    }
};

class WorkerDlg : public Dialog {
public:
    WorkerDlg() : Dialog(IDD_TEST)
    {
        useResultList(IDC_RESULT);
        onMessage(WM_ADD_LINE, [this](Message& m) {
            if (m.lParam == 1) {
                if (auto* lines = m.payload.get<QStringList>())
                    resultList(IDC_RESULT)->appendBatch(*lines);
            } else if (auto* line = m.payload.get<QString>()) {
                resultList(IDC_RESULT)->appendLine(*line);
            }
        });
        onMessage(WM_CYCLE_DONE, [this](Message&) { ++cycles; });
    }
    int cycles = 0; // touched on the interface thread only
};

TEST_F(ThreadsTest, WorkerPostsArriveInOrderWithTheirPayloads)
{
    WorkerDlg dlg;
    DialogHarness h(dlg);
    MessagePort port = dlg.port();
    std::thread worker([port] {
        for (int i = 1; i <= 500; ++i) {
            port.post(WM_ADD_LINE, 0, 0, Payload::of(QStringLiteral("%1. Total encode = %2 ").arg(i).arg(i * 10)));
            port.post(WM_CYCLE_DONE);
        }
        QStringList batch;
        for (int i = 0; i < 3000; ++i)
            batch << QString::number(i);
        port.post(WM_ADD_LINE, 0, 1, Payload::of(std::move(batch)));
    });
    EXPECT_TRUE(processUntil([&] { return dlg.resultList(IDC_RESULT)->count() == 3500; }));
    worker.join();
    EXPECT_EQ(dlg.cycles, 500);
    ResultList* list = dlg.resultList(IDC_RESULT);
    EXPECT_EQ(list->line(0), "1. Total encode = 10 ");
    EXPECT_EQ(list->line(499), "500. Total encode = 5000 ");
    EXPECT_EQ(list->line(3499), "2999");
    EXPECT_EQ(dlg.listCurrent(IDC_RESULT), 3499);
}

TEST_F(ThreadsTest, SendFromAWorkerWaitsForTheHandler)
{
    WorkerDlg dlg;
    DialogHarness h(dlg);
    std::atomic<int> handled{0};
    dlg.onMessage(WM_USER + 103, [&](Message& m) { handled.store(int(m.wParam)); });
    std::atomic<bool> sent{false};
    std::atomic<int> seenAfterSend{-1};
    std::thread worker([&] {
        const bool ok = dlg.port().send(WM_USER + 103, 77);
        seenAfterSend.store(ok ? handled.load() : -2);
        sent.store(true);
    });
    EXPECT_TRUE(processUntil([&] { return sent.load(); }));
    worker.join();
    EXPECT_EQ(seenAfterSend.load(), 77) << "the handler ran before send returned";
}

TEST_F(ThreadsTest, SendIsReleasedWhenTheDialogStopsTakingMessages)
{
    auto dlg = std::make_unique<WorkerDlg>();
    auto h = std::make_unique<DialogHarness>(*dlg);
    bool handlerRan = false;
    dlg->onMessage(WM_USER + 103, [&](Message&) { handlerRan = true; });
    MessagePort port = dlg->port();
    std::atomic<bool> started{false};
    std::atomic<int> result{-1};
    std::thread worker([&] {
        started.store(true);
        result.store(port.send(WM_USER + 103) ? 1 : 0);
    });
    // The interface thread closes without processing events, as a dialog
    // that waits for its worker does; the worker must not stay blocked.
    while (!started.load())
        std::this_thread::yield();
    dlg->closeMessages();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    h->dialog().hide();
    processUntil([] { return true; });
    EXPECT_FALSE(handlerRan) << "a released send never runs its handler later";

    // After the dialog is gone a kept port refuses at once. (The harness
    // goes first: it refers to the dialog.)
    h.reset();
    dlg.reset();
    std::thread late([&] { result.store(int(port.send(WM_USER + 103)) + int(port.post(WM_USER + 103))); });
    late.join();
    EXPECT_EQ(result.load(), 0);
}

TEST_F(ThreadsTest, TheRecorderAnswersABoxRaisedByAWorker)
{
    ui::testing::ScopedPromptRecorder prompts;
    prompts.answer(IDNO);
    std::atomic<int> answer{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer.store(messageBox(QStringLiteral("Continue printing?"), QStringLiteral("Pellam"), MsgIcon::Question,
                                MsgButtons::YesNo));
        done.store(true);
    });
    EXPECT_TRUE(processUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(answer.load(), IDNO);
    const auto boxes = prompts.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].ask.text, "Continue printing?");
    EXPECT_EQ(boxes[0].ask.caption, "Pellam");
    EXPECT_EQ(boxes[0].ask.icon, MsgIcon::Question);
    EXPECT_EQ(boxes[0].ask.buttons, MsgButtons::YesNo);

    // Unscripted: the first button; the program's name as the caption.
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    EXPECT_EQ(messageBox(QStringLiteral("\"Total Cycle\" must greater than 0.\n")), IDOK);
    EXPECT_EQ(prompts.boxes().back().ask.caption, "Vantor");
    EXPECT_EQ(prompts.texts(), (QStringList{"Continue printing?", "\"Total Cycle\" must greater than 0.\n"}));
}

TEST_F(ThreadsTest, AClosingDialogReleasesAWorkersPrompt)
{
    ui::testing::ScopedPromptRecorder prompts;
    std::atomic<int> answer{0};
    {
        WorkerDlg dlg;
        DialogHarness h(dlg);
        std::atomic<bool> started{false};
        std::thread worker([&] {
            started.store(true);
            answer.store(messageBox(QStringLiteral("late")));
        });
        while (!started.load())
            std::this_thread::yield();
        dlg.closeMessages(); // before waiting for the worker
        worker.join();
        EXPECT_EQ(answer.load(), IDCANCEL);
    }
    // Once that dialog is gone, workers may ask again.
    std::thread again([&] { answer.store(messageBox(QStringLiteral("next"))); });
    EXPECT_TRUE(processUntil([&] { return prompts.texts().contains("next"); }));
    again.join();
    EXPECT_EQ(answer.load(), IDOK);
}

TEST_F(ThreadsTest, FileDialogsAreRecordedWithTheirFilters)
{
    ui::testing::ScopedPromptRecorder prompts;
    prompts.answerFile(QStringLiteral("/tmp/results"));
    FileDialogRequest ask;
    ask.save = true;
    ask.filter = QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*||");
    ask.defaultExtension = QStringLiteral("txt");
    ask.overwritePrompt = true;
    std::optional<QString> chosen;
    std::thread worker([&] { chosen = fileDialog(ask); });
    processUntil([&] { return prompts.fileDialogs().size() == 1; });
    worker.join();
    EXPECT_EQ(chosen.value_or(""), "/tmp/results.txt");
    EXPECT_FALSE(fileDialog(ask).has_value()) << "unscripted file dialogs are cancelled";
    EXPECT_EQ(prompts.fileDialogs().size(), 2u);

    EXPECT_EQ(qtNameFilters(ask.filter), (QStringList{"Text (*.txt)", "All Files (*)"}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Images|*.bmp;*.png||ignored|x")), QStringList{"Images (*.bmp *.png)"});
    EXPECT_EQ(withDefaultExtension("a.log", "txt"), "a.log");
}

} // namespace
