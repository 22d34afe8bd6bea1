#pragma once
// One record class per test section. Members are what the dialogs bind their
// controls to; the comments name the settings keys. Values that a section
// does not keep live in the record for the program's run only.
#include <array>
#include <cstdint>
#include <QString>

#include "vantor/settings/CTestSettings.h"

// Sections that keep the cumulative count only; every other value of their
// dialogs starts afresh at each opening.
class CCumulativeCycleSettings : public CTestSettings {
protected:
    using CTestSettings::CTestSettings;
    void Exchange(SettingsExchange& io) override;
};

// "ejector" (CEjectorDlg)
class CEjectorSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestEjector;
    explicit CEjectorSettings(CSettingsFile& owner);

    SpeedSettings speed;          // InitialSpeedType .. RampDownProfile
    int32_t totalPulses = 0;      // TotalPulses
    int32_t vref = 1;             // Vref
    int32_t stepMode = 0;         // StepMode
    int32_t postHold = 0;         // PostHold
    int32_t rev = 1;              // Rev ("Rev/Cycle:", 1..3)
    int32_t forwardUnblocked = 0; // ForwardUnblocked
    int32_t forwardBlocked = 0;   // ForwardBlocked

protected:
    void Exchange(SettingsExchange& io) override;
};

// "End Cutter" (CEndCutterDlg)
class CEndCutterSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestEndCutter;
    explicit CEndCutterSettings(CSettingsFile& owner);

    int32_t frequency = 0;                        // Frequency
    QString currentLevel = QStringLiteral("100"); // CurrentLevel: "38", "71" or "100"
    int32_t dutyCycle = 100;                      // DutyCycle
    int32_t constantSpeed = 0;                    // ConstantSpeed (platen)
    int32_t totalPulses = 0;                      // TotalPulses (platen)
    int32_t ejectTotalPulses = 0;                 // EjectTotalPulses

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Print Head Lift" (CPrintHeadLiftDlg)
class CPrintHeadLiftSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPrintHeadLift;
    explicit CPrintHeadLiftSettings(CSettingsFile& owner);

    int32_t frequency = 0;                        // Frequency
    QString currentLevel = QStringLiteral("100"); // CurrentLevel
    int32_t dutyCycle = 100;                      // DutyCycle
    int32_t delay = 0;                            // Delay
    int32_t testType = 0;                         // TestType: 0 Full Cycle, 1 Homing, 2 Activate Print Head
    int32_t totalPulses = 0;                      // TotalPulses (no control: written back as read)

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Platen" (CPlatenDlg)
class CPlatenSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPlaten;
    explicit CPlatenSettings(CSettingsFile& owner);

    SpeedSettings speed;            // InitialSpeedType .. RampDownProfile
    int32_t direction = 0;          // Direction: 0 "Reverse*", 1 "Forward*"
    int32_t totalPulses = 0;        // TotalPulses
    int32_t vref = 0;               // Vref, 1..255
    int32_t stepMode = 0;           // StepMode: 0 Full, 1 Half, 2 1/4, 3 1/8
    int32_t preHold = 0;            // PreHold, ms
    int32_t postHold = 0;           // PostHold, ms
    int32_t clutch = 0;             // Clutch
    int32_t encoderInDetail = 0;    // EncoderInDeail
    SpeedSettings tapeRewind;       // TapeRewindInitialSpeedType .. TapeRewindRampDownProfile
    int32_t tapeRewindStepMode = 0; // TapeRewindStepMode

protected:
    void Exchange(SettingsExchange& io) override;
};

// One platen panel (CPlatenSettingDlg) of the platen life test.
struct PlatenMoveSettings {
    SpeedSettings speed;     // <prefix>InitialSpeedType .. <prefix>RampDownProfile
    int32_t totalPulses = 0; // <prefix>TotalPulses
    int32_t stepMode = 0;    // <prefix>StepMode
    int32_t preHold = 0;     // <prefix>PreHold
    int32_t postHold = 0;    // <prefix>PostHold
    int32_t clutch = 0;      // <prefix>Clutch
    bool operator==(const PlatenMoveSettings&) const = default;
};

// "Platen Life" (CPlatenLifeDlg)
class CPlatenLifeSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPlatenLife;
    explicit CPlatenLifeSettings(CSettingsFile& owner);

    PlatenMoveSettings forward;               // the forward panel
    int32_t useReversePlaten = 0;             // UseReversePlaten
    PlatenMoveSettings reverse;               // Reverse...
    SpeedSettings tapeRewind;                 // TapeRewind...
    int32_t tapeRewindReverseTotalPulses = 0; // TapeRewindReverseTotalPulses
    int32_t tapeRewindStepMode = 0;           // TapeRewindStepMode
    int32_t multiPass = 0;                    // MultiPass: the number of passes

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Print Head": kept although no dialog loads it.
class CPrintHeadSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPrintHead;
    explicit CPrintHeadSettings(CSettingsFile& owner);

    int32_t initialSpeedType = 0;       // InitialSpeedType
    int32_t constantSpeed = 0;          // ConstantSpeed
    QString rampUpProfile;              // RampUpProfile
    int32_t pauseAfterLoading = 0;      // PauseAfterLoading
    int32_t unloadInitialSpeedType = 0; // UnloadInitialSpeedType
    int32_t unloadConstantSpeed = 0;    // UnloadConstantSpeed
    QString unloadRampUpProfile;        // UnloadRampUpProfile
    int32_t vref = 0;                   // Vref
    int32_t stepMode = 0;               // StepMode

protected:
    void Exchange(SettingsExchange& io) override;
};

// One ribbon move's controls in the ribbon dialogs: check box, speed choice
// (constant or ramp-up only), "Total No. of Pulses:" and "VRef :" slider.
struct RibbonMoveSettings {
    int32_t enabled = 1;     // the move's check box
    SpeedSettings speed;     // ramp-down unused
    int32_t totalPulses = 0; // empty box reads as 0
    int32_t vref = 255;      // 1..255
};

// The ribbon sections keep "CumulativeCycle" only: the members below are the
// dialogs' start values, kept for the program's run, never in the file.

// "Ribbon Drive" (CRibbonDriveDlg)
class CRibbonDriveSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestRibbonDrive;
    explicit CRibbonDriveSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex)
    {
        cycle = 1;
        advance.enabled = 0;
        reverse.enabled = 0;
    }

    RibbonMoveSettings advance; // "Motor Rotation: Ribbon Advance" (its vref unused)
    RibbonMoveSettings reverse; // "Motor Rotation: Ribbon Reverse" (its vref unused)
    int32_t vref = 255;         // the one "VRef :" slider of both moves
    int32_t stepMode = 2;       // "1/4": the template selects none, a run needs one
    int32_t trackEncoder = 0;   // "Track Encoder "
};

// "Ribbon To Platen" (CRibbonToPlatenDlg)
class CRibbonToPlatenSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestRibbonToPlaten;
    explicit CRibbonToPlatenSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex) { cycle = 1; }

    int32_t direction = 0;       // 0 advance, 1 reverse (both radio pairs)
    RibbonMoveSettings ribbon;   // enabled unused
    int32_t ribbonStepMode = 0;  // "Full"
    RibbonMoveSettings platen;   // enabled unused
    int32_t platenStepMode = 0;  // "Full"
    int32_t trackEncoder = 0;    // "Track Encoder "
    int32_t runInSequence = 0;   // "Run In Sequence"
};

// "Ribbon Advance" (CRibbonAdvanceDlg)
class CRibbonAdvanceSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestRibbonAdvance;
    explicit CRibbonAdvanceSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex) { cycle = 1; }

    RibbonMoveSettings counterClockwise; // "Rocker Arm (Counter Clockwise)"
    int32_t pulseTrigger = 0;            // 0 "Sensor Trigger", 1 "Pulse Trigger"
    RibbonMoveSettings clockwise;        // "Rocker Arm (Clockwise)"
    RibbonMoveSettings slipClutch;       // "Slip Clutch"
    int32_t trackEncoder = 0;            // "Track Encoder "
    int32_t usePlaten = 1;               // "Use Platen:"
    PlatenMoveSettings platen;           // the panel (holds and clutch unused)
    int32_t stepMode = 2;                // "1/4 "
};

// "Ribbon Tension" (CRibbonTensionDlg)
class CRibbonTensionSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestRibbonTension;
    explicit CRibbonTensionSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex) { cycle = 1; }

    int32_t frequency = 0;                       // "Frequency (f):"
    int32_t dutyCycle = 50;                      // "Duty Cycle:", 1..100
    int32_t duration = 0;                        // "Duration (ms):"
    QString currentLevel = QStringLiteral("38"); // "Current Level (%):"
    RibbonMoveSettings slipClutch;               // "Slip Clutch"
    int32_t trackEncoder = 0;                    // "Track Encoder "
    int32_t stepMode = 2;                        // "1/4 "
    int32_t usePlaten = 1;                       // "Use Platen:"
    PlatenMoveSettings platen;                   // the panel (holds and clutch unused)
};

// "Platen Sensor" (CPlatenSensorDlg)
class CPlatenSensorSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestPlatenSensor;
    explicit CPlatenSensorSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex) {}
};

// "Ribbon Color" (CRibbonColorDlg)
class CRibbonColorSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestRibbonColor;
    explicit CRibbonColorSettings(CSettingsFile& owner);

    SpeedSettings speed;                              // InitialSpeedType, ConstantSpeed, RampUpProfile (no ramp-down)
    int32_t totalPulses = 0;                          // TotalPulses
    int32_t stepMode = 0;                             // StepMode
    int32_t frequency = 0;                            // Frequency (no control)
    int32_t dutyCycle = 0;                            // DutyCycle (no control)
    QString currentLevel = QStringLiteral("100");     // CurrentLevel (no control)
    QString sensingPerSample = QStringLiteral("2");   // SensingPerSample: "2", "4", "8", "16"
    int32_t samplingDelay = 0;                        // SamplingDelay, ms
    QString filePrefix;                               // filePrefix ("Log File Name:")
    QString color;                                    // Color
    QString panelLength;                              // PanelLength
    QString lotNumber;                                // LotNumber
    QString unit;                                     // Unit
    QString run;                                      // Run
    // Kept for the program's run, not in the file.
    QString emitterNumber;  // "Emitter Number:"
    QString detectorNumber; // "Detector Number:"
    int32_t vref = 255;     // start of the "VRef :" slider; neither the file nor the dialog sets it

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Tape Rewind", "Tape Roll Tightness" and "Tape Overshoot" (CTapeRewindDlg in
// modes 0, 1 and 2). One class; the mode decides which keys the section keeps.
class CTapeRewindSettings : public CTestSettings {
public:
    // index: kTestTapeRewind, kTestTapeRollTightness or kTestTapeOvershoot.
    CTapeRewindSettings(CSettingsFile& owner, int index);
    static int IndexOfMode(int mode) { return kTestTapeRewind + mode; }
    int Mode() const { return Index() - kTestTapeRewind; }

    SpeedSettings speed;            // InitialSpeedType .. RampDownProfile
    int32_t vref = 255;             // Vref (mode 0 only; 255 until the first load)
    int32_t totalPulses = 0;        // TotalPulses (modes 0 and 1)
    int32_t captureEncoderFrom = 0; // CaptureEncoderFrom (mode 1)
    int32_t waitToRead = 0;         // WaitToRead, ms (mode 2)
    int32_t stepMode = 0;           // StepMode
    int32_t postHold = 0;           // PostHold, ms
    // Kept for the program's run, not in the file: 0 Low, 1 High.
    int32_t tension = 0;

protected:
    void Exchange(SettingsExchange& io) override;
};

// One axis of the XY cutter test; in memory only.
struct XYAxisValues {
    SpeedSettings speed;
    int32_t totalPulses = 0;
    int32_t direction = 0; // 0 reverse, 1 forward
    int32_t vref = 100;
    int32_t stepMode = 0;
    bool operator==(const XYAxisValues&) const = default;
};

// "XY Cutter" (CXYCutterDlg): the file keeps the cumulative count only; the
// other values last for the program's run.
class CXYCutterSettings : public CCumulativeCycleSettings {
public:
    static constexpr int kIndex = kTestXYCutter;
    explicit CXYCutterSettings(CSettingsFile& owner) : CCumulativeCycleSettings(owner, kIndex) {}

    int32_t axis = 0; // 0 Cross Web, 1 Down Web, 2 Pinch
    XYAxisValues crossweb;
    XYAxisValues downweb;
    int32_t period = 0;        // "Period (us):"
    int32_t duration = 0;      // "Duration (ms) :"
    int32_t dutyCycle = 100;   // "Duty Cycle:"
    QString currentLevel;      // "Current Level (%):" item text
    int32_t pinchDelay = 0;    // "Pinch after Sensor Trigger (ms):"
    int32_t dePinchDelay = 0;  // "De-Pinch after Sensor Trigger (ms):"
    int32_t pinchSequence = 0; // 0 "Pinch Seq", 1 "Depinch Seq"
    int32_t force = 100;       // "Force Setting DAC:"
};

// "XY Cutter Life" (CXYCutterLifeDlg)
class CXYCutterLifeSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestXYCutterLife;
    explicit CXYCutterLifeSettings(CSettingsFile& owner);

    SpeedSettings crossweb;            // InitialSpeedType .. RampDownProfile
    int32_t stepMode = 0;              // StepMode
    int32_t crosswebVref = 0;          // CrosswebVref
    int32_t forwardBlocked = 0;        // ForwardBlocked
    int32_t forwardUnblocked = 0;      // ForwardUnblocked
    SpeedSettings downweb;             // Downweb...
    int32_t downwebStepMode = 0;       // DownwebStepMode
    int32_t downwebRunBy = 0;          // DownwebRunBy
    int32_t downwebVref = 0;           // DownwebVref
    QString cutFile;                   // CutFile
    SpeedSettings tapeRewind;          // TapeRewind...
    int32_t tapeRewindStepMode = 0;    // TapeRewindStepMode
    int32_t periodInUS = 0;            // PeriodInUS
    QString currentLevel;              // CurrentLevel
    int32_t dutyCycle = 0;             // DutyCycle
    int32_t pinchAfterTriggered = 0;   // PinchAfterTriggered
    int32_t dePinchAfterTriggered = 0; // DePinchAfterTriggered
    int32_t force = 0;                 // Force
    // Kept for the program's run, not in the file.
    int32_t tapeRewindVref = 100; // the Tape Rewind "VRef:" box
    int32_t testType = 0;         // "Test Type": 0 Homing, 1 Aging, 2 Pinch
    int32_t axis = 0;             // panel on show: 0 Crossweb, 1 Downweb

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Fiducial" (CFiducialDlg, CFiducialCalibrationDlg)
class CFiducialSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestFiducial;
    explicit CFiducialSettings(CSettingsFile& owner);

    int32_t colorType = 0;                     // ColorType: 0 red, 1 green, 2 blue
    std::array<int32_t, 3> crosswebOffset{};   // Crossweb{Red,Green,Blue}Offset
    std::array<int32_t, 3> downwebOffset{};    // Downweb{Red,Green,Blue}Offset
    SpeedSettings crossweb;                    // InitialSpeedType .. RampDownProfile
    int32_t stepMode = 0;                      // StepMode
    int32_t totalPulses = 0;                   // TotalPulses
    int32_t homeDistance = 0;                  // HomeDistance
    SpeedSettings downweb;                     // Downweb...
    int32_t downwebStepMode = 0;               // DownwebStepMode
    int32_t downwebRunType = 0;                // DownwebRunType: 0 Encoder, 1 Step
    int32_t downwebTotalPulses = 0;            // DownwebTotalPulses
    int32_t downwebMarkDistance = 0;           // DownwebMarkDistance
    QString cutFile;                           // CutFile

protected:
    void Exchange(SettingsExchange& io) override;
};

// "Print" (CPrintDlg and CAgingPrintDlg share it)
class CPrintSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPrint;
    explicit CPrintSettings(CSettingsFile& owner);

    int32_t pass = 0;            // pass: 0 single, 1 multi
    int32_t size = 0;            // size: 0 two inches, 1 four inches
    int32_t pattern = 0;         // pattern: 0 default, 1 customised
    int32_t offset = 0;          // offset
    QString filePrefix;          // filePrefix
    QString imageFile;           // imageFile
    int32_t burnSetting = 100;   // burnSetting, percent
    int32_t delayStart = 0;      // delayStart, seconds
    int32_t printCompliance = 0; // printCompliance
    int32_t endCut = 0;          // endCut

protected:
    void Exchange(SettingsExchange& io) override;
};

// "PrintToCut" (CPrintToCutDlg)
class CPrintToCutSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestPrintToCut;
    explicit CPrintToCutSettings(CSettingsFile& owner);

    int32_t printSpeed = 0;     // printSpeed: 0 "1", 1 "2", 2 "2.5"
    int32_t vref = 255;         // vref
    int32_t crosswebOffset = 0; // crosswebOffset
    int32_t downwebOffset = 0;  // downwebOffser (the key's spelling)
    int32_t totalBoxes = 0;     // totalBoxes
    QString boxLength;          // boxLength, decimal text in inches
    QString filePrefix;         // filePrefix
    int32_t endCut = 0;         // the "End Cut" tick: never stored, so never exchanged

protected:
    void Exchange(SettingsExchange& io) override;
};

// "MEdiaJam" (CMediaJamDlg)
class CMediaJamSettings : public CTestSettings {
public:
    static constexpr int kIndex = kTestMediaJam;
    explicit CMediaJamSettings(CSettingsFile& owner);

    int32_t length = 0; // length ("Media Length (in):")
    int32_t copies = 0; // copies
    int32_t endCut = 0; // endCut

protected:
    void Exchange(SettingsExchange& io) override;
};
