#include "TestMenu.h"

#include "vantor/res/resource.h"
#include "vantor/screens/motion/CEjectorDlg.h"
#include "vantor/screens/motion/CEndCutterDlg.h"
#include "vantor/screens/motion/CPrintHeadLiftDlg.h"
#include "vantor/screens/motion/EjectorRun.h"
#include "vantor/screens/motion/EndCutterRun.h"
#include "vantor/screens/motion/PrintHeadLiftRun.h"
#include "vantor/screens/motion/CPlatenDlg.h"
#include "vantor/screens/motion/CPlatenLifeDlg.h"
#include "vantor/screens/motion/CPlatenSensorDlg.h"
#include "vantor/screens/motion/CRibbonAdvanceDlg.h"
#include "vantor/screens/motion/CRibbonDriveDlg.h"
#include "vantor/screens/motion/CRibbonTensionDlg.h"
#include "vantor/screens/motion/CRibbonToPlatenDlg.h"
#include "vantor/screens/motion/CTapeRewindDlg.h"
#include "vantor/screens/motion/CXYCutterDlg.h"
#include "vantor/screens/motion/CXYCutterLifeDlg.h"
#include "vantor/screens/fiducial/CFiducialDlg.h"
#include "vantor/screens/fiducial/FiducialRun.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/screens/print/CPrintDlg.h"
#include "vantor/screens/print/PrintRun.h"
#include "vantor/screens/cartridge/CPEBCalibrationDlg.h"
#include "vantor/screens/cartridge/CXYCutForceProgramDlg.h"
#include "vantor/screens/cartridge/TagChipProgramDlg.h"
#include "vantor/screens/sensor/CADCDlg.h"
#include "vantor/screens/sensor/CDacDlg.h"
#include "vantor/screens/sensor/CGPIODlg.h"
#include "vantor/screens/sensor/CMediaJamDlg.h"
#include "vantor/screens/sensor/CRibbonColorDlg.h"
#include "vantor/screens/sensor/CSensorReadDlg.h"
#include "vantor/screens/sensor/MediaJamRun.h"
#include "vantor/screens/sensor/RibbonColorRun.h"

// To put a screen on the menu:
//   1. include its header here,
//   2. add its row below, e.g.
//        {IDC_PLATEN_TEST, modal<CPlatenDlg>(), headless(platen::kPlatenTest)},
//      (the button comes alive by itself; the ids are in vantor/res/resource.h;
//      a cycling test's definition makes it run headless with `vantor --run`),
//   3. the family's library joins the program by its name: vantor_<family>_screens
//      for vantor/screens/<family>/ (see vantor/app/CMakeLists.txt).
// The constructor takes the row's arguments followed by the parent.

namespace vantor {

namespace {
// As the dialog does at opening: "Homing" and "Activate Print Head" run one
// cycle whatever "cycle" holds.
HeadlessTest headlessPrintHeadLift()
{
    HeadlessTest t = headless(motion::kPrintHeadLiftTest);
    t.validate = [check = t.validate](CTestSettings& r) {
        auto& lift = dynamic_cast<CPrintHeadLiftSettings&>(r);
        if (motion::HeadLiftSingleCycle(lift.testType))
            lift.cycle = 1;
        return check(r);
    };
    return t;
}
} // namespace

const std::vector<TestScreen>& testScreens()
{
    static const std::vector<TestScreen> screens = {
        // Tape rewind tests (CTapeRewindDlg, template 129), one mode per button.
        {IDC_TAPE_REWIND_TEST, modal<CTapeRewindDlg>(0), headless(motion::kTapeRewindTest, kTestTapeRewind)},
        {IDC_TAPE_ROLL_TIGHTNESS_TEST, modal<CTapeRewindDlg>(1),
         headless(motion::kTapeRewindTest, kTestTapeRollTightness)},
        {IDC_TAPE_OVERSHOOT_TEST, modal<CTapeRewindDlg>(2), headless(motion::kTapeRewindTest, kTestTapeOvershoot)},
        // Platen tests (templates 135, 146, 136).
        {IDC_PLATEN_TEST, modal<CPlatenDlg>(), headless(platen::kPlatenTest)},
        {IDC_PLATEN_LIFE_TEST, modal<CPlatenLifeDlg>(), headless(platen::kPlatenLifeTest)},
        {IDC_PLATEN_SENSOR_TEST, modal<CPlatenSensorDlg>(), headless(platen::kPlatenSensorTest)},
        // XY cutter tests (templates 137, 143).
        {IDC_XY_CUTTER_TEST, modal<CXYCutterDlg>(), headless(motion::kXYCutterTest)},
        {IDC_XY_CUTTER_LIFE_TEST, modal<CXYCutterLifeDlg>(), headless(motion::kXYCutterLifeTest)},
        // Fiducial test (template 138): reads the emitters and the detector
        // at opening, then cycles; headless, the emitter values are read
        // before the run.
        {IDC_FIDUCIAL_TEST, modal<CFiducialDlg>(), headless(fiducial::kFiducialTest)},
        // Ribbon tests (templates 133, 134, 162, 163). The menu template keeps
        // the "Ribbon Tension Test" button hidden; its row stays, so the test
        // answers its command and `vantor --run "Ribbon Tension Test"`, and
        // the button works as soon as a template shows it.
        {IDC_RIBBON_TENSION_TEST, modal<CRibbonTensionDlg>(), headless(ribbon::kRibbonTensionTest)},
        {IDC_RIBBON_ADVANCE_TEST, modal<CRibbonAdvanceDlg>(), headless(ribbon::kRibbonAdvanceTest)},
        {IDC_RIBBON_DRIVE_TEST, modal<CRibbonDriveDlg>(), headless(ribbon::kRibbonDriveTest)},
        {IDC_RIBBON_TO_PLATEN_TEST, modal<CRibbonToPlatenDlg>(), headless(ribbon::kRibbonToPlatenTest)},
        // The eject life test (CEjectorDlg mode 1) answers IDC_EJECT_LIFE_TEST,
        // a command no button of the menu sends.
        // Ejector, end cutter and print head lift tests (templates 131, 132, 160).
        {IDC_EJECTOR_TEST, modal<CEjectorDlg>(0), headless(motion::kEjectorTest)},
        {IDC_EJECT_LIFE_TEST, modal<CEjectorDlg>(1)}, // the same run as "Ejector Test"
        {IDC_END_CUTTER_TEST, modal<CEndCutterDlg>(), headless(motion::kEndCutterTest)},
        {IDC_PRINT_HEAD_LIFT_TEST, modal<CPrintHeadLiftDlg>(), headlessPrintHeadLift()},
        // Cartridge memories and calibrations (templates 156, 157, 161, 164):
        // no cycles, so nothing to run headless.
        {IDC_TAPE_TAGCHIP_PROGRAM, modal<TapeTagChipProgramDlg>()},
        {IDC_RIBBON_TAGCHIP_PROGRAM, modal<RibbonTagChipProgramDlg>()},
        {IDC_PEB_CALIBRATION, modal<CPEBCalibrationDlg>()},
        {IDC_XY_CUT_FORCE_PROGRAM, modal<CXYCutForceProgramDlg>()},
        // Converter and sensor tests (templates 153, 152, 158, 139); only the
        // media jam test (154) cycles.
        {IDC_ADC_TEST, modal<CADCDlg>()},
        {IDC_DAC_TEST, modal<CDacDlg>()},
        {IDC_GPIO_TEST, modal<CGPIODlg>()},
        {IDC_SENSOR_READ_TEST, modal<CSensorReadDlg>()},
        {IDC_MEDIA_JAM_TEST, modal<CMediaJamDlg>(), headless(sensor::kMediaJamTest)},
        // Ribbon colour test (template 150): runs of measuring cycles, each
        // run logged by the driver.
        {IDC_RIBBON_COLOR_TEST, modal<CRibbonColorDlg>(), headless(sensor::kRibbonColorTest)},
        // Print tests (templates 142, 165, 155); the first two share "Print".
        {IDC_PRINT_TEST, modal<CPrintDlg>(), headless(print::kPrintTest)},
        {IDC_PRINT_AGING_TEST, modal<CAgingPrintDlg>(), headless(print::kAgingPrintTest)},
        {IDC_PRINT_TO_CUT_TEST, modal<CPrintToCutDlg>(), headless(print::kPrintToCutTest)},
    };
    return screens;
}

} // namespace vantor
