#include "vantor/settings/TestSettingsRecords.h"

namespace {
QString key(const char* name) { return QString::fromLatin1(name); }
} // namespace

void CCumulativeCycleSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("CumulativeCycle"), cumulativeCycle);
}

CEjectorSettings::CEjectorSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex)
{
    cycle = 1;
}

void CEjectorSettings::Exchange(SettingsExchange& io)
{
    io.Speed(QString(), speed);
    io.Number(key("TotalPulses"), totalPulses);
    io.Number(key("Vref"), vref, 1);
    io.Number(key("StepMode"), stepMode);
    io.Number(key("PostHold"), postHold);
    io.Number(key("Rev"), rev, 1);
    io.Number(key("ForwardUnblocked"), forwardUnblocked);
    io.Number(key("ForwardBlocked"), forwardBlocked);
    ExchangeCommon(io, 1);
}

CEndCutterSettings::CEndCutterSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex)
{
    cycle = 1;
}

namespace {
// A list with no item chosen stores the full level.
void storeLevelChosen(const SettingsExchange& io, QString& currentLevel)
{
    if (!io.IsLoading() && currentLevel.isEmpty())
        currentLevel = QStringLiteral("100");
}
} // namespace

void CEndCutterSettings::Exchange(SettingsExchange& io)
{
    storeLevelChosen(io, currentLevel);
    io.Number(key("Frequency"), frequency);
    io.DutyCycleAndCurrentLevel(dutyCycle, currentLevel);
    io.Number(key("ConstantSpeed"), constantSpeed);
    io.Number(key("TotalPulses"), totalPulses);
    io.Number(key("EjectTotalPulses"), ejectTotalPulses);
    ExchangeCommon(io, 1);
}

CPrintHeadLiftSettings::CPrintHeadLiftSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex)
{
    cycle = 1;
}

void CPrintHeadLiftSettings::Exchange(SettingsExchange& io)
{
    storeLevelChosen(io, currentLevel);
    io.Number(key("Frequency"), frequency);
    io.DutyCycleAndCurrentLevel(dutyCycle, currentLevel);
    io.Number(key("Delay"), delay);
    io.Number(key("TestType"), testType);
    io.Number(key("TotalPulses"), totalPulses);
    ExchangeCommon(io, 1);
}

CPlatenSettings::CPlatenSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CPlatenSettings::Exchange(SettingsExchange& io)
{
    io.Speed(QString(), speed);
    io.Number(key("Direction"), direction);
    io.Number(key("TotalPulses"), totalPulses);
    io.Number(key("Vref"), vref);
    io.Number(key("StepMode"), stepMode);
    io.Number(key("PreHold"), preHold);
    io.Number(key("PostHold"), postHold);
    io.Number(key("Clutch"), clutch);
    io.Number(key("EncoderInDeail"), encoderInDetail);
    io.Speed(key("TapeRewind"), tapeRewind);
    io.Number(key("TapeRewindStepMode"), tapeRewindStepMode);
    ExchangeCommon(io);
}

CPlatenLifeSettings::CPlatenLifeSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

namespace {
void exchangePlatenMove(SettingsExchange& io, const QString& prefix, PlatenMoveSettings& move)
{
    io.Speed(prefix, move.speed);
    io.Number(prefix + key("TotalPulses"), move.totalPulses);
    io.Number(prefix + key("StepMode"), move.stepMode);
    io.Number(prefix + key("PreHold"), move.preHold);
    io.Number(prefix + key("PostHold"), move.postHold);
    io.Number(prefix + key("Clutch"), move.clutch);
}
} // namespace

void CPlatenLifeSettings::Exchange(SettingsExchange& io)
{
    exchangePlatenMove(io, QString(), forward);
    io.Number(key("UseReversePlaten"), useReversePlaten);
    exchangePlatenMove(io, key("Reverse"), reverse);
    io.Speed(key("TapeRewind"), tapeRewind);
    io.Number(key("TapeRewindReverseTotalPulses"), tapeRewindReverseTotalPulses);
    io.Number(key("TapeRewindStepMode"), tapeRewindStepMode);
    io.Number(key("MultiPass"), multiPass);
    ExchangeCommon(io);
}

CPrintHeadSettings::CPrintHeadSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CPrintHeadSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("InitialSpeedType"), initialSpeedType);
    io.Number(key("ConstantSpeed"), constantSpeed);
    io.Text(key("RampUpProfile"), rampUpProfile);
    io.Number(key("PauseAfterLoading"), pauseAfterLoading);
    io.Number(key("UnloadInitialSpeedType"), unloadInitialSpeedType);
    io.Number(key("UnloadConstantSpeed"), unloadConstantSpeed);
    io.Text(key("UnloadRampUpProfile"), unloadRampUpProfile);
    io.Number(key("Vref"), vref);
    io.Number(key("StepMode"), stepMode);
    ExchangeCommon(io);
}

CRibbonColorSettings::CRibbonColorSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CRibbonColorSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("InitialSpeedType"), speed.initialSpeedType);
    io.Number(key("ConstantSpeed"), speed.constantSpeed);
    io.Text(key("RampUpProfile"), speed.rampUpProfile);
    io.Number(key("TotalPulses"), totalPulses);
    io.Number(key("StepMode"), stepMode);
    io.Number(key("Frequency"), frequency);
    io.Number(key("DutyCycle"), dutyCycle);
    io.Text(key("CurrentLevel"), currentLevel, key("100"));
    io.Text(key("SensingPerSample"), sensingPerSample, key("2"));
    io.Number(key("SamplingDelay"), samplingDelay);
    io.Text(key("filePrefix"), filePrefix);
    io.Text(key("Color"), color);
    io.Text(key("PanelLength"), panelLength);
    io.Text(key("LotNumber"), lotNumber);
    io.Text(key("Unit"), unit);
    io.Text(key("Run"), run);
    ExchangeCommon(io);
}

CTapeRewindSettings::CTapeRewindSettings(CSettingsFile& owner, int index) : CTestSettings(owner, index) {}

void CTapeRewindSettings::Exchange(SettingsExchange& io)
{
    const int mode = Mode();
    io.Speed(QString(), speed);
    if (mode == 0)
        io.Number(key("Vref"), vref);
    if (mode == 2)
        io.Number(key("WaitToRead"), waitToRead);
    if (mode == 0 || mode == 1)
        io.Number(key("TotalPulses"), totalPulses);
    if (mode == 1)
        io.Number(key("CaptureEncoderFrom"), captureEncoderFrom);
    io.Number(key("StepMode"), stepMode);
    io.Number(key("PostHold"), postHold);
    ExchangeCommon(io);
}

CXYCutterLifeSettings::CXYCutterLifeSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CXYCutterLifeSettings::Exchange(SettingsExchange& io)
{
    io.Speed(QString(), crossweb);
    io.Number(key("StepMode"), stepMode);
    // The forward steps are read before the Vref but written after it.
    if (io.IsLoading()) {
        io.Number(key("ForwardBlocked"), forwardBlocked);
        io.Number(key("ForwardUnblocked"), forwardUnblocked);
        io.Number(key("CrosswebVref"), crosswebVref);
    } else {
        io.Number(key("CrosswebVref"), crosswebVref);
        io.Number(key("ForwardBlocked"), forwardBlocked);
        io.Number(key("ForwardUnblocked"), forwardUnblocked);
    }
    io.Speed(key("Downweb"), downweb);
    io.Number(key("DownwebStepMode"), downwebStepMode);
    io.Number(key("DownwebRunBy"), downwebRunBy);
    io.Number(key("DownwebVref"), downwebVref);
    io.Text(key("CutFile"), cutFile);
    io.Speed(key("TapeRewind"), tapeRewind);
    io.Number(key("TapeRewindStepMode"), tapeRewindStepMode);
    io.Number(key("PeriodInUS"), periodInUS);
    io.Text(key("CurrentLevel"), currentLevel);
    io.Number(key("DutyCycle"), dutyCycle);
    io.Number(key("PinchAfterTriggered"), pinchAfterTriggered);
    io.Number(key("DePinchAfterTriggered"), dePinchAfterTriggered);
    io.Number(key("Force"), force);
    ExchangeCommon(io);
}

CFiducialSettings::CFiducialSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CFiducialSettings::Exchange(SettingsExchange& io)
{
    static const char* const colours[3] = {"Red", "Green", "Blue"};
    io.Number(key("ColorType"), colorType);
    for (int c = 0; c < 3; ++c)
        io.Number(key("Crossweb") + key(colours[c]) + key("Offset"), crosswebOffset[c]);
    for (int c = 0; c < 3; ++c)
        io.Number(key("Downweb") + key(colours[c]) + key("Offset"), downwebOffset[c]);
    io.Speed(QString(), crossweb);
    io.Number(key("StepMode"), stepMode);
    io.Number(key("TotalPulses"), totalPulses);
    io.Number(key("HomeDistance"), homeDistance);
    io.Speed(key("Downweb"), downweb);
    io.Number(key("DownwebStepMode"), downwebStepMode);
    io.Number(key("DownwebRunType"), downwebRunType);
    io.Number(key("DownwebTotalPulses"), downwebTotalPulses);
    io.Number(key("DownwebMarkDistance"), downwebMarkDistance);
    io.Text(key("CutFile"), cutFile);
    ExchangeCommon(io);
}

CPrintSettings::CPrintSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CPrintSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("pass"), pass);
    io.Number(key("size"), size);
    io.Number(key("pattern"), pattern);
    io.Number(key("offset"), offset);
    io.Text(key("filePrefix"), filePrefix);
    io.Text(key("imageFile"), imageFile);
    io.Number(key("burnSetting"), burnSetting, 100);
    io.Number(key("delayStart"), delayStart);
    io.Number(key("printCompliance"), printCompliance);
    io.Number(key("endCut"), endCut);
    ExchangeCommon(io);
}

CPrintToCutSettings::CPrintToCutSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CPrintToCutSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("printSpeed"), printSpeed);
    io.Number(key("vref"), vref, 255);
    io.Number(key("crosswebOffset"), crosswebOffset);
    io.Number(key("downwebOffser"), downwebOffset);
    io.Number(key("totalBoxes"), totalBoxes);
    io.Text(key("boxLength"), boxLength);
    io.Text(key("filePrefix"), filePrefix);
    ExchangeCommon(io);
}

CMediaJamSettings::CMediaJamSettings(CSettingsFile& owner) : CTestSettings(owner, kIndex) {}

void CMediaJamSettings::Exchange(SettingsExchange& io)
{
    io.Number(key("length"), length);
    io.Number(key("copies"), copies);
    io.Number(key("endCut"), endCut);
    ExchangeCommon(io);
}
