#pragma once
// The screen-test kit: what every screen suite needs, compiled once.
//
// ScreenFixture gives each test a fresh copy of the sample device root and
// of the starter Vantor.ini (so every screen starts from values a new user
// has), the settings store of that file, a manual clock, recorded prompts,
// and either the simulated printer (time scale 0) or a RecordingDevice.
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/Clock.h"
#include "platform/testing/RecordingDevice.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "vantor/framework/TestRun.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor::testing {

// Records what a worker reports: lines (batches flattened) and cycles.
class RecordingSink : public RunSink {
public:
    void addLine(QString line) override;
    void addLines(QStringList lines) override;
    void cycleDone() override;
    void finished() override;
    QStringList lines() const;
    int cycles() const;
    bool isFinished() const;

private:
    mutable std::mutex m_lock;
    QStringList m_lines;
    int m_cycles = 0;
    bool m_finished = false;
};

class ScreenFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // PRN1: answered by the simulated printer at time scale 0, its state in
    // this test's device root.
    void startSimulator();
    // PRN1: answered by a recording device (held at each request if gated).
    std::shared_ptr<platform::testing::RecordingDevice> startRecordingPrinter(bool gated = false);
    void stopPrinter();

    // Moves virtual time on in small steps, processing events, until `done`.
    bool advanceUntil(const std::function<bool()>& done);
    // Sets "Total Cycle:", presses RUN and waits for the run's closing " ".
    bool runCycles(ui::testing::DialogHarness& h, int cycles);
    // Runs a prepared run headless (the runner of `vantor --run`) to its end:
    // the start lines, the cycles' lines and the end lines.
    QStringList runHeadless(PreparedRun prepared, int cycles, int pauseMs = 0);

    // Destroys the harness and then the test dialog while its worker is held
    // inside a request; `release` lets the request end, and is called only
    // once the dialog's close has waited out its time-outs (16 s of virtual
    // time after closing began), so nothing but the held request can reach
    // the device before the dialog is gone.
    void destroyWhileHeld(std::optional<ui::testing::DialogHarness>& h, std::unique_ptr<ui::Dialog> dlg,
                          const std::function<void()>& release);

    static QStringList results(ui::testing::DialogHarness& h);
    // The start button of the dialog in `h` (1022 "RUN" unless the test names another).
    static int runButtonOf(ui::testing::DialogHarness& h);
    // The lines with the time-stamp line (the one after "== Start ==") blanked.
    static QStringList withoutTimeLines(QStringList lines);

    QTemporaryDir dir;
    QString iniPath;
    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    ui::testing::ScopedPromptRecorder prompts;
    std::unique_ptr<ScopedSettingsContext> settings;
    sim::SimulatedDevices devices;
};

} // namespace vantor::testing
