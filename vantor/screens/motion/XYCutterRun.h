#pragma once
// The XY cutter tests as runs: the checks and the run each dialog (and
// `vantor --run`) builds from its settings values, and one cycle's requests
// and result lines.
#include "vantor/framework/TestDefinition.h"
#include "vantor/screens/motion/XYCutterRecords.h"

namespace vantor::motion {

// CXYCutterDlg: checks the chosen axis's pulse count (the test has no other
// checks, not even "Total Cycle:"); the run refuses a ramp-up profile that
// gives no run speed.
extern const TestDefinition<CXYCutterSettings> kXYCutterTest;
// CXYCutterLifeDlg: "Total Cycle:", the tape rewind "VRef:", the forward
// steps; the run refuses a ramp-up profile without a value in a group the
// chosen test uses.
extern const TestDefinition<CXYCutterLifeSettings> kXYCutterLifeTest;

// One run of CXYCutterDlg: the chosen axis's request, once per cycle; for
// the cross-web axis the samples follow the "OK" line as one list.
class XYCutterRun final : public TestRun {
public:
    XYCutterRun(DriverRef driver, std::unique_ptr<XYCutterRecords> records);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;
    const XYCutterRecords& records() const { return *m_records; }

private:
    DriverRef m_driver;
    std::unique_ptr<XYCutterRecords> m_records;
};

// One run of CXYCutterLifeDlg: one test sequence per cycle; after an aging
// cycle's "OK" line its 1000 encoder samples, one line each.
class XYLifeRun final : public TestRun {
public:
    XYLifeRun(DriverRef driver, std::unique_ptr<XYLifeRecords> records);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;
    const XYLifeRecords& records() const { return *m_records; }

private:
    DriverRef m_driver;
    std::unique_ptr<XYLifeRecords> m_records;
};

} // namespace vantor::motion
