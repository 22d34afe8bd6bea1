// The ADC, DAC, GPIO, sensor read and media jam dialogs driven as an
// operator would, against a recording PRN1: or the simulated printer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <cstring>
#include <thread>

#include "platform/CallerMemory.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "protocol/SensorItems.h"
#include "vantor/res/resource.h"
#include "vantor/screens/sensor/CADCDlg.h"
#include "vantor/screens/sensor/CBoolEdit.h"
#include "vantor/screens/sensor/CDacDlg.h"
#include "vantor/screens/sensor/CGPIODlg.h"
#include "protocol/MediaJamRecord.h"
#include "vantor/screens/sensor/CMediaJamDlg.h"
#include "vantor/screens/sensor/CSensorReadDlg.h"
#include "ui/testing/TestApp.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using ui::testing::DialogHarness;
using vantor::testing::ScreenFixture;

namespace {

constexpr int kChannelIds[] = {IDC_DS_CHANNEL1, IDC_DS_CHANNEL2, IDC_DS_CHANNEL3, IDC_DS_CHANNEL4,
                               IDC_DS_CHANNEL5, IDC_DS_CHANNEL6, IDC_DS_CHANNEL7, IDC_DS_CHANNEL8};

struct Sent {
    uint32_t code, target, command, param;
};

std::vector<Sent> sent(const platform::testing::RecordingDevice& d)
{
    std::vector<Sent> out;
    for (const auto& r : d.requests()) {
        protocol::CommandBlock b{};
        std::memcpy(&b, r.input.constData(), sizeof b);
        out.push_back({r.code, b.Target, b.Command, b.Param});
    }
    return out;
}

QStringList channels(const CDacSettingDlg& panel)
{
    QStringList out;
    for (int id : kChannelIds)
        out << panel.text(id);
    return out;
}

using SensorScreens = ScreenFixture;

bool settle(platform::ManualClock& clock, const std::function<bool()>& done);

// "Total Cycle:" set, RUN pressed, and the run's closing " " awaited.
bool runTo(platform::ManualClock& clock, DialogHarness& h, int cycles)
{
    if (!h.setText(IDC_TOTAL_CYCLE, QString::number(cycles)) || !h.click(IDC_RUN))
        return false;
    return settle(clock, [&] { return h.listItems(IDC_RESULT_LIST).contains(QStringLiteral(" ")); });
}

// Moves virtual time on while the worker gets real time to run, until
// `done`; bounded by a real-time limit that only trips on a hang.
bool settle(platform::ManualClock& clock, const std::function<bool()>& done)
{
    return ui::testing::processUntil(
        [&] {
            if (done())
                return true;
            clock.advance(std::chrono::milliseconds(10));
            return false;
        },
        std::chrono::seconds(30));
}

// --- ADC --------------------------------------------------------------------

TEST_F(SensorScreens, AdcReadThenStopKeepsTheLastReadingsAndEnablesReadAgain)
{
    auto printer = startRecordingPrinter();
    CADCDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_ADC_READ));
    EXPECT_FALSE(h.enabled(IDC_ADC_READ));
    ASSERT_TRUE(settle(clock, [&] { return printer->count() >= 16 && channels(*dlg.panel()).first() == "1234"; }));
    ASSERT_TRUE(h.click(IDC_ADC_STOP));
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_ADC_READ); }));
    EXPECT_EQ(channels(*dlg.panel()), QStringList(8, QStringLiteral("1234")));
    const int count = printer->count();
    int polls = 0;
    settle(clock, [&] { return ++polls > 300; }); // three seconds
    EXPECT_EQ(printer->count(), count); // stopped for good
}

// --- DAC --------------------------------------------------------------------

TEST_F(SensorScreens, DacWithNoneTickedSendsNothingAndEnablesReadAfterOnePass)
{
    auto printer = startRecordingPrinter();
    CDacDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_FALSE(h.setText(IDC_DAC_VALUE1, "10")); // disabled until ticked
    ASSERT_TRUE(h.click(IDC_DAC_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_DAC_READ); }));
    EXPECT_EQ(printer->count(), 0);
}

struct DacScreenCase {
    const char* typed;
    QStringList dac2;
};

class DacScreen : public ScreenFixture, public ::testing::WithParamInterface<DacScreenCase> {};

TEST_P(DacScreen, Dac2ShowsItsLevelInEveryChannelOncePerRead)
{
    auto printer = startRecordingPrinter();
    CDacDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_DAC_ENABLE2));
    ASSERT_TRUE(h.setText(IDC_DAC_VALUE2, QString::fromUtf8(GetParam().typed)));
    ASSERT_TRUE(h.click(IDC_DAC_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_DAC_READ); }));
    EXPECT_EQ(channels(*dlg.panel(1)), GetParam().dac2);
    const auto s = sent(*printer);
    ASSERT_EQ(s.size(), 8u); // one pass
    EXPECT_EQ(s.front().target, 72u);
    EXPECT_EQ(s.back().target, 79u);
}

INSTANTIATE_TEST_SUITE_P(Values, DacScreen,
                         ::testing::Values(DacScreenCase{"255", QStringList(8, QStringLiteral("3.3"))},
                                           DacScreenCase{"0", QStringList(8, QStringLiteral("0"))},
                                           DacScreenCase{"abc", QStringList(8, QStringLiteral("0"))}));

// --- GPIO -------------------------------------------------------------------

struct RefusalCase {
    int row;
    int direction; // IDC_GPIO_IN or IDC_GPIO_OUT
    int button;
    const char* status;
};

class GpioRefusal : public ScreenFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(GpioRefusal, AGroupWithoutThePinTypeSendsNothing)
{
    auto printer = startRecordingPrinter();
    CGPIODlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.selectCombo(IDC_GPIO_PIN, GetParam().row));
    ASSERT_TRUE(h.click(GetParam().direction));
    ASSERT_TRUE(h.click(GetParam().button));
    EXPECT_EQ(h.text(IDC_GPIO_STATUS), QString::fromUtf8(GetParam().status));
    int polls = 0;
    settle(clock, [&] { return ++polls > 200; });
    EXPECT_EQ(printer->count(), 0);
    EXPECT_TRUE(h.enabled(GetParam().button));
}

INSTANTIATE_TEST_SUITE_P(Groups, GpioRefusal,
                         ::testing::Values(RefusalCase{17, IDC_GPIO_IN, IDC_GPIO_READ, "No GPIOIN"},
                                           RefusalCase{1, IDC_GPIO_OUT, IDC_GPIO_SET, "No GPIOOUT"}));

struct EnablingCase {
    int row;
    int direction;
    const char* editable; // bit 0 first: 1 editable
};

class PinBoxes : public ScreenFixture, public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(PinBoxes, OnlyOutputPinsAreEditableAndOnlyInOut)
{
    startRecordingPrinter();
    CGPIODlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.selectCombo(IDC_GPIO_PIN, GetParam().row));
    ASSERT_TRUE(h.click(GetParam().direction));
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(dlg.pins()->isEnabled(CPinDlg::valueId(k)), GetParam().editable[k] == '1') << "bit " << k;
    EXPECT_EQ(h.enabled(IDC_GPIO_READ), GetParam().direction == IDC_GPIO_IN);
    EXPECT_EQ(h.enabled(IDC_GPIO_SET), GetParam().direction == IDC_GPIO_OUT);
}

INSTANTIATE_TEST_SUITE_P(Groups, PinBoxes,
                         ::testing::Values(EnablingCase{0, IDC_GPIO_OUT, "00000100"},
                                           EnablingCase{0, IDC_GPIO_IN, "00000000"},
                                           EnablingCase{17, IDC_GPIO_OUT, "11111111"},
                                           EnablingCase{17, IDC_GPIO_IN, "00000000"},
                                           EnablingCase{14, IDC_GPIO_OUT, "10000100"}));

TEST_F(SensorScreens, GpioOpensOnCpuB0P31ToP24InInWithItsPinNumbers)
{
    startRecordingPrinter();
    CGPIODlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.comboItems(IDC_GPIO_PIN).size(), 27);
    EXPECT_EQ(h.comboIndex(IDC_GPIO_PIN), 3);
    EXPECT_EQ(h.text(IDC_GPIO_PIN), QStringLiteral("CPU B0 (P31 - P24)"));
    EXPECT_EQ(dlg.pins()->text(CPinDlg::numberId(0)), QStringLiteral("24"));
    EXPECT_EQ(dlg.pins()->text(CPinDlg::numberId(7)), QStringLiteral("31"));
    EXPECT_EQ(dlg.pins()->text(CPinDlg::typeId(0)), QStringLiteral("I"));
    EXPECT_EQ(dlg.pins()->text(IDC_PIN_BYTE), QStringLiteral("0x00"));
    EXPECT_TRUE(h.enabled(IDC_GPIO_READ));
    EXPECT_FALSE(h.enabled(IDC_GPIO_SET));
}

TEST_F(SensorScreens, GpioSetOfTypedBitsSendsTheByteAndReportsIt)
{
    auto printer = startRecordingPrinter();
    CGPIODlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.selectCombo(IDC_GPIO_PIN, 17)); // IOEXP1 B1: all outputs
    ASSERT_TRUE(h.click(IDC_GPIO_OUT));
    DialogHarness pins(*dlg.pins());
    ASSERT_TRUE(pins.setText(CPinDlg::valueId(0), "1"));
    ASSERT_TRUE(pins.setText(CPinDlg::valueId(2), "1"));
    EXPECT_EQ(dlg.pins()->text(IDC_PIN_BYTE), QStringLiteral("0x05"));
    ASSERT_TRUE(h.click(IDC_GPIO_SET));
    ASSERT_TRUE(settle(clock, [&] { return !h.text(IDC_GPIO_STATUS).isEmpty(); }));
    EXPECT_EQ(h.text(IDC_GPIO_STATUS), QStringLiteral("Set 0x05 Success"));
    const auto s = sent(*printer);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].code, protocol::IOCTL_PRN_GPIO);
    EXPECT_EQ(s[0].target, 54u);
    EXPECT_EQ(s[0].command, 31u);
    const uint8_t* word = platform::CallerMemory::instance().resolve(s[0].param, 4);
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word[0], 5);
    EXPECT_TRUE(h.enabled(IDC_GPIO_SET));
}

TEST_F(SensorScreens, GpioReadShowsTheGroupOrUnknownOnFailure)
{
    auto printer = startRecordingPrinter();
    printer->answer = QByteArray("\x81\x00\x00\x00", 4);
    CGPIODlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_GPIO_READ));
    ASSERT_TRUE(settle(clock, [&] { return !h.text(IDC_GPIO_STATUS).isEmpty(); }));
    EXPECT_EQ(h.text(IDC_GPIO_STATUS), QStringLiteral("Read Success"));
    EXPECT_EQ(dlg.pins()->text(IDC_PIN_BYTE), QStringLiteral("0x81"));
    EXPECT_EQ(dlg.pins()->text(CPinDlg::valueId(7)), QStringLiteral("1"));
    EXPECT_EQ(dlg.pins()->text(CPinDlg::valueId(1)), QStringLiteral("0"));

    printer->succeed = false;
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_GPIO_READ); }));
    ASSERT_TRUE(h.click(IDC_GPIO_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.text(IDC_GPIO_STATUS) == QStringLiteral("Read Fail"); }));
    EXPECT_EQ(dlg.pins()->text(IDC_PIN_BYTE), QStringLiteral("0x??"));
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(dlg.pins()->text(CPinDlg::valueId(k)), QStringLiteral("?"));
}

TEST(BoolEdit, TypingKeepsOnlyZeroOneAndControlCharacters)
{
    ui::testing::testApp();
    CBoolEdit box;
    auto type = [&](const QString& text, int key = 0) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&box, &press);
    };
    for (const char* c : {"a", "2", " ", "x", "-", "+"})
        type(QString::fromUtf8(c));
    EXPECT_EQ(box.text(), QString());
    type(QStringLiteral("1"));
    EXPECT_EQ(box.text(), QStringLiteral("1"));
    type(QStringLiteral("\b"), Qt::Key_Backspace);
    EXPECT_EQ(box.text(), QString());
    type(QStringLiteral("0"));
    EXPECT_EQ(box.text(), QStringLiteral("0"));
    EXPECT_TRUE(CBoolEdit::accepts(QChar(20)));
    EXPECT_FALSE(CBoolEdit::accepts(QChar(21)));
}

// --- Sensor read ------------------------------------------------------------

const QString kLiner = QStringLiteral("Please put a L5190 liner in.\nWhen you are done, press OK to continue.");
const QString kTape = QStringLiteral("Please put tape in.\nWhen you are done, press OK to continue.");

TEST_F(SensorScreens, CalibrateGapUpstreamPromptsForLinerThenTapeAndCalibratesTarget29)
{
    auto printer = startRecordingPrinter();
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_SR_SELECT3));
    ASSERT_TRUE(h.click(IDC_SR_CALIBRATE));
    EXPECT_FALSE(h.enabled(IDC_SR_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_SR_CALIBRATE); }));
    EXPECT_EQ(prompts.texts(), (QStringList{kLiner, kTape}));
    for (const auto& b : prompts.boxes())
        EXPECT_EQ(b.ask.buttons, ui::MsgButtons::Ok);
    const auto s = sent(*printer);
    ASSERT_GE(s.size(), 2u + 4u + 18u);
    EXPECT_EQ(s[0].command, 50u);
    EXPECT_EQ(s[0].target, 29u);
    EXPECT_EQ(s[1].command, 51u);
    EXPECT_EQ(s[1].target, 29u);
    EXPECT_EQ(s.size(), 24u); // then the settings and the sensors, once
}

TEST_F(SensorScreens, WriteDacSendsOnlyTheSelectedRowsBox)
{
    auto printer = startRecordingPrinter();
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_TRUE(h.enabled(IDC_SR_WRITE0));
    ASSERT_TRUE(h.click(IDC_SR_SELECT1));
    EXPECT_FALSE(h.enabled(IDC_SR_WRITE0));
    EXPECT_FALSE(h.setText(IDC_SR_WRITE2, "7"));
    EXPECT_FALSE(h.setText(IDC_SR_WRITE1, "x9")); // digits only
    ASSERT_TRUE(h.setText(IDC_SR_WRITE1, "99"));
    ASSERT_TRUE(h.click(IDC_SR_WRITE_DAC));
    ASSERT_TRUE(settle(clock, [&] { return h.enabled(IDC_SR_WRITE_DAC); }));
    const auto s = sent(*printer);
    ASSERT_EQ(s.size(), 19u);
    EXPECT_EQ(s[0].code, protocol::IOCTL_PRN_REGISTER);
    EXPECT_EQ(s[0].command, 62u);
    EXPECT_EQ(s[0].target, 31u);
    const uint8_t* word = platform::CallerMemory::instance().resolve(s[0].param, 4);
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word[0], 99);
}

TEST_F(SensorScreens, ReadWithoutAPrinterShowsNoStateAndMinusOne)
{
    stopPrinter(); // no PRN1:
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_SR_ROOM_TEMP), QStringLiteral("-"));
    ASSERT_TRUE(h.click(IDC_SR_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.text(IDC_SR_ROOM_TEMP) == QStringLiteral("-1"); }));
    for (int row = 0; row < 16; ++row) {
        EXPECT_FALSE(h.checked(CSensorReadDlg::stateId(row, 0)));
        EXPECT_FALSE(h.checked(CSensorReadDlg::stateId(row, 1)));
    }
    EXPECT_EQ(h.text(IDC_SR_THERMISTOR), QStringLiteral("-1"));
    EXPECT_EQ(h.text(IDC_SR_DAC0), QStringLiteral("0"));
    ASSERT_TRUE(h.click(IDC_SR_STOP));
    EXPECT_TRUE(h.enabled(IDC_SR_READ));
}

class LiveSensors : public ScreenFixture {
protected:
    // The simulated printer with sensor states set as its configuration sets them.
    void startSimulatorWith(std::map<uint32_t, int32_t> states)
    {
        stopPrinter();
        sim::SimConfig c;
        c.timeScale = 0.0;
        c.sensorStates = std::move(states);
        devices = sim::registerSimulatedDevices(c);
    }
};

TEST_F(LiveSensors, TheOpenedDoorShowsOpenAndAClickOnARadioChangesNothing)
{
    startSimulatorWith({{protocol::sensorItem::Door, 1}});
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_SR_READ));
    const int open = CSensorReadDlg::stateId(0, 1), closed = CSensorReadDlg::stateId(0, 0);
    ASSERT_TRUE(settle(clock, [&] { return h.checked(open); }));
    EXPECT_FALSE(h.checked(closed));
    EXPECT_NE(h.text(IDC_SR_ROOM_TEMP), QStringLiteral("-"));
    ASSERT_TRUE(h.click(closed));
    EXPECT_TRUE(h.checked(open));
    EXPECT_FALSE(h.checked(closed));
    ASSERT_TRUE(h.click(IDC_SR_STOP));
}

TEST_F(LiveSensors, AClosedDoorShowsClosed)
{
    startSimulatorWith({{protocol::sensorItem::Door, 0}});
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_SR_READ));
    ASSERT_TRUE(settle(clock, [&] { return h.checked(CSensorReadDlg::stateId(0, 0)); }));
    ASSERT_TRUE(h.click(CSensorReadDlg::stateId(0, 1)));
    EXPECT_TRUE(h.checked(CSensorReadDlg::stateId(0, 0)));
    EXPECT_FALSE(h.checked(CSensorReadDlg::stateId(0, 1)));
}

// A reading dialog closed while its worker is inside a request waits for
// the request and leaves the worker nothing of its own to touch.
struct ClosingCase {
    const char* name;
    std::function<std::unique_ptr<vantor::sensor::CReadingDlg>()> make;
    int start; // the button that starts work
};

class ClosingMidRequest : public ScreenFixture, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingMidRequest, TheDialogGoesOnlyAfterTheRequestReturns)
{
    auto printer = startRecordingPrinter(true);
    auto dlg = GetParam().make();
    std::thread releaser;
    {
        DialogHarness h(*dlg);
        ASSERT_TRUE(h.open());
        if (GetParam().start == IDC_DAC_READ) {
            ASSERT_TRUE(h.click(IDC_DAC_ENABLE1));
        }
        ASSERT_TRUE(h.click(GetParam().start));
        ASSERT_TRUE(settle(clock, [&] { return printer->count() >= 1; }));
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            printer->open();
        });
        h.closeBox();
        EXPECT_TRUE(dlg->worker().ended());
        EXPECT_TRUE(h.ended());
    }
    dlg.reset();
    releaser.join();
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ClosingMidRequest,
    ::testing::Values(
        ClosingCase{"Adc", [] { return std::make_unique<CADCDlg>(); }, IDC_ADC_READ},
        ClosingCase{"Dac", [] { return std::make_unique<CDacDlg>(); }, IDC_DAC_READ},
        ClosingCase{"Gpio", [] { return std::make_unique<CGPIODlg>(); }, IDC_GPIO_READ},
        ClosingCase{"SensorRead", [] { return std::make_unique<CSensorReadDlg>(); }, IDC_SR_READ}),
    [](const ::testing::TestParamInfo<ClosingCase>& i) { return std::string(i.param.name); });

// Every input and radio has a name an assistive client can read.
TEST_F(SensorScreens, EveryInputOfTheReadingScreensIsNamed)
{
    startRecordingPrinter();
    CSensorReadDlg sensors;
    CGPIODlg gpio;
    CDacDlg dac;
    DialogHarness h1(sensors), h2(gpio), h3(dac);
    ASSERT_TRUE(h1.open() && h2.open() && h3.open());
    for (ui::Dialog* d : std::initializer_list<ui::Dialog*>{&sensors, &gpio, gpio.pins(), &dac, dac.panel(0)})
        for (int id : d->controlIds()) {
            QWidget* w = d->control(id);
            if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)) {
                EXPECT_FALSE(w->accessibleName().trimmed().isEmpty()) << d->objectName().toStdString() << " " << id;
            }
        }
    EXPECT_EQ(sensors.control(CSensorReadDlg::stateId(5, 0))->accessibleName(), QStringLiteral("Ejector Home: Blocked"));
    EXPECT_EQ(gpio.pins()->control(CPinDlg::valueId(0))->accessibleName(), QStringLiteral("GPIO Pin: 24 Value:"));
}

// --- Media jam --------------------------------------------------------------

TEST_F(SensorScreens, MediaJamWithTotalZeroRunsOneCycle)
{
    auto printer = startRecordingPrinter();
    CMediaJamDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(runTo(clock, h, 0));
    EXPECT_EQ(withoutTimeLines(results(h)),
              (QStringList{"== Start ==", "<time>", "1. Run media jam test - OK", "== End ==", " "}));
    EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("1"));
    const auto s = sent(*printer);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].code, protocol::IOCTL_PRN_MOTION);
    EXPECT_EQ(s[0].target, 11u);
    EXPECT_EQ(s[0].command, 35u);
    EXPECT_NE(s[0].param, 0u);
}

TEST_F(SensorScreens, MediaJamFailureLinesAndTheRunGoesOnToTheTotal)
{
    auto printer = startRecordingPrinter();
    printer->succeed = false;
    CMediaJamDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(runTo(clock, h, 2));
    EXPECT_EQ(withoutTimeLines(results(h)),
              (QStringList{"== Start ==", "<time>", "1. Run media jam test - FAIL", "2. Run media jam test - FAIL",
                           "== End ==", " "}));
}

struct JamValues {
    const char* length;
    const char* copies;
    int32_t sentLength;
    int32_t sentCopies;
};

class MediaJamValues : public ScreenFixture, public ::testing::WithParamInterface<JamValues> {};

// No value is checked: what the operator typed reaches the driver.
TEST_P(MediaJamValues, TypedValuesReachTheDriver)
{
    auto printer = startRecordingPrinter();
    printer->captureRecord(8, sizeof(protocol::MediaJamRecord));
    CMediaJamDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_MJ_LENGTH, QString::fromUtf8(GetParam().length)));
    ASSERT_TRUE(h.setText(IDC_MJ_COPIES, QString::fromUtf8(GetParam().copies)));
    ASSERT_TRUE(runCycles(h, 1));
    EXPECT_EQ(prompts.count(), 0u) << prompts.texts().join(' ').toStdString();
    const auto sent = printer->requests();
    ASSERT_EQ(sent.size(), 1u);
    const auto record = sent[0].recordAs<protocol::MediaJamRecord>();
    EXPECT_EQ(record.length, GetParam().sentLength);
    EXPECT_EQ(record.copies, GetParam().sentCopies);
    EXPECT_EQ(results(h).mid(2, 1), QStringList{"1. Run media jam test - OK"});
}

INSTANTIATE_TEST_SUITE_P(Fields, MediaJamValues,
                         ::testing::Values(JamValues{"-1", "3", -1, 3}, JamValues{"6", "10001", 6, 10001},
                                           JamValues{"1001", "-2", 1001, -2}));

TEST_F(SensorScreens, MediaJamStoresItsValuesWhenItCloses)
{
    startRecordingPrinter();
    {
        CMediaJamDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.setText(IDC_MJ_LENGTH, "12"));
        ASSERT_TRUE(h.setText(IDC_MJ_COPIES, "4"));
        ASSERT_TRUE(h.click(IDC_MJ_END_CUT)); // the starter file has it ticked
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "9"));
        h.closeBox();
    }
    auto& r = dynamic_cast<CMediaJamSettings&>(*GetTestSettings(CMediaJamSettings::kIndex));
    EXPECT_EQ(r.length, 12);
    EXPECT_EQ(r.copies, 4);
    EXPECT_EQ(r.endCut, 0);
    EXPECT_EQ(r.cycle, 9);
}

} // namespace
