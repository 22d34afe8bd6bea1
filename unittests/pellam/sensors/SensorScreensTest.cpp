#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTimer>

#include "pellam/res/PellamResources.h"
#include "pellam/sensors/CSensorCalibrate.h"
#include "pellam/sensors/CSensorReadDlg.h"
#include "pellam/sensors/SensorSteps.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"

using namespace pellam;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;
namespace ud = protocol;
namespace item = protocol::sensorItem;

namespace {

constexpr uint32_t kRead = 16;

class SensorScreens : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }

    void answerState(uint32_t target, uint32_t state, uint32_t command = kRead)
    {
        printer->commandAnswers[{ud::IOCTL_PRN_SENSOR_READ, target, command}] = FakePrinter::bytesOf(state);
    }
    void answerAnalog(uint32_t target, double value)
    {
        printer->commandAnswers[{ud::IOCTL_PRN_SENSOR_READ, target, kRead}] = FakePrinter::bytesOf(value);
    }
    void answerTriple(uint32_t code, uint32_t target, uint32_t command, ud::ColorTriple t)
    {
        printer->commandAnswers[{code, target, command}] = FakePrinter::bytesOf(t);
    }
    void fail(uint32_t code, uint32_t target, uint32_t command)
    {
        printer->failingCommands.push_back({code, target, command});
    }

    pellamtest::ScopedFakePrinter printer;
};

// Which button of a pair a state ticks; the wiper and eject home sensors
// read 0 when blocked.
TEST_F(SensorScreens, OnOffStatesTickTheirButton)
{
    struct Case {
        uint32_t item;
        uint32_t state;
        int ticked;
        int cleared;
        const char* tickedText;
    };
    const Case cases[] = {
        {item::Door, 1, IDC_SR_DOOR_OPEN, IDC_SR_DOOR_CLOSED, "Open"},
        {item::Door, 0, IDC_SR_DOOR_CLOSED, IDC_SR_DOOR_OPEN, "Closed"},
        {item::Wiper, 1, IDC_SR_WIPER_UNBLOCKED, IDC_SR_WIPER_BLOCKED, "Unblocked"},
        {item::Wiper, 0, IDC_SR_WIPER_BLOCKED, IDC_SR_WIPER_UNBLOCKED, "Blocked"},
        {item::EjectorHome, 0, IDC_SR_EJECT_HOME_BLOCKED, IDC_SR_EJECT_HOME_UNBLOCKED, "Blocked"},
        {item::MediaPresent, 1, IDC_SR_MEDIA_BLOCKED, IDC_SR_MEDIA_UNBLOCKED, "Blocked"},
        {item::MediaPresent, 7, IDC_SR_MEDIA_BLOCKED, IDC_SR_MEDIA_UNBLOCKED, "Blocked"},
        {item::EncoderLiftUp, 0, IDC_SR_LIFT_UP_UNBLOCKED, IDC_SR_LIFT_UP_BLOCKED, "Unblocked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << c.item << " state " << c.state);
        answerState(c.item, c.state);
        CSensorReadDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_SR_READ));
        EXPECT_TRUE(h.checked(c.ticked));
        EXPECT_FALSE(h.checked(c.cleared));
        EXPECT_EQ(h.text(c.ticked), c.tickedText);
    }
}

TEST_F(SensorScreens, ReadShowsEverySensorInTableOrder)
{
    answerState(item::DownstreamGap, 0);
    answerState(item::UpstreamGap, 3);
    answerState(item::DownstreamCenterNotch, 1);
    answerAnalog(item::PrintHeadVoltage, 23.987);
    answerAnalog(item::Thermistor, -5.0);
    answerAnalog(item::RoomTemp, 123.456);
    answerTriple(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, kRead, {200, 7, 255});

    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Sensor Settings");
    // The template's placeholders until the first "Read".
    EXPECT_EQ(h.text(IDC_SR_DS_GAP), "Unblocked");
    EXPECT_EQ(h.text(IDC_SR_RIBBON_COLOR), "255,255,255");
    EXPECT_EQ(h.text(IDC_SR_HEAD_VOLTAGE), "2.5");
    EXPECT_EQ(h.text(IDC_SR_THERMISTOR), "49.5");
    EXPECT_TRUE(printer->log().empty());

    ASSERT_TRUE(h.click(IDC_SR_READ));
    EXPECT_EQ(h.text(IDC_SR_DS_GAP), "UnBlocked");
    EXPECT_EQ(h.text(IDC_SR_US_GAP), "Blocked");
    EXPECT_EQ(h.text(IDC_SR_DS_CENTER_NOTCH), "Blocked");
    EXPECT_EQ(h.text(IDC_SR_HEAD_VOLTAGE), "23.99");
    EXPECT_EQ(h.text(IDC_SR_THERMISTOR), "-5.00");
    EXPECT_EQ(h.text(IDC_SR_AMBIENT), "123.46");
    EXPECT_EQ(h.text(IDC_SR_RIBBON_COLOR), "200,7,255");
    // What an assistive client reads: the reading as shown, with its label.
    QAccessibleInterface* gap = QAccessible::queryAccessibleInterface(dlg.control(IDC_SR_DS_GAP));
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->text(QAccessible::Name), "UnBlocked");
    EXPECT_EQ(gap->text(QAccessible::Description), "Downstream Gap:");
    EXPECT_EQ(dlg.control(IDC_SR_WIPER_BLOCKED)->accessibleName(), "Wiper Detect: Blocked");

    QStringList expected;
    for (uint32_t i : {17, 20, 19, 16, 15, 18, 25, 22, 23, 24, 26, 27, 149, 148, 30, 31, 28, 29, 112, 14, 13, 146})
        expected << QStringLiteral("SENSOR_READ %1/16").arg(i);
    EXPECT_EQ(printer->names(), expected);
    const auto log = printer->log();
    EXPECT_EQ(log[0].outLen, 4u);
    EXPECT_EQ(log[18].outLen, 8u);
    EXPECT_EQ(log[20].outLen, 3u);
}

TEST_F(SensorScreens, AFailedItemKeepsWhatItShowed)
{
    answerState(item::Door, 1);
    answerState(item::UpstreamGap, 1);
    answerAnalog(item::Thermistor, 30.0);
    answerTriple(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, kRead, {1, 2, 3});
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_SR_READ));
    ASSERT_TRUE(h.checked(IDC_SR_DOOR_OPEN));

    for (uint32_t i : {item::Door, item::UpstreamGap, item::Thermistor, item::ColorSensor})
        fail(ud::IOCTL_PRN_SENSOR_READ, i, kRead);
    answerAnalog(item::RoomTemp, 21.0);
    ASSERT_TRUE(h.click(IDC_SR_READ));
    EXPECT_TRUE(h.checked(IDC_SR_DOOR_OPEN));
    EXPECT_FALSE(h.checked(IDC_SR_DOOR_CLOSED));
    EXPECT_EQ(h.text(IDC_SR_US_GAP), "Blocked");
    EXPECT_EQ(h.text(IDC_SR_THERMISTOR), "30.00");
    EXPECT_EQ(h.text(IDC_SR_RIBBON_COLOR), "1,2,3");
    EXPECT_EQ(h.text(IDC_SR_AMBIENT), "21.00") << "the others are still read";
}

TEST_F(SensorScreens, WithoutADriverThePlaceholdersStay)
{
    platform::unregisterDevice(QStringLiteral("PRN1:"));
    CSensorReadDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_SR_READ));
    EXPECT_EQ(h.text(IDC_SR_DS_GAP), "Unblocked");
    EXPECT_EQ(h.text(IDC_SR_AMBIENT), "49.5");
    EXPECT_FALSE(h.checked(IDC_SR_DOOR_OPEN));
    EXPECT_FALSE(h.checked(IDC_SR_DOOR_CLOSED));
}

TEST_F(SensorScreens, GapWizardStepsAndItsDacByte)
{
    printer->answers[ud::IOCTL_PRN_GET_GAP_SENSOR_DAC] = QByteArray("\x00\x00\x00\x5A", 4); // byte 3 is 90
    CGapSensorCalibrate dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Gap Sensor Calibration");
    for (int id : {IDC_WIZ_STEP3, IDC_WIZ_STEP4, IDC_WIZ_GAP_RESULT, IDC_WIZ_NEXT2, IDC_WIZ_FINISH})
        EXPECT_FALSE(h.visible(id)) << id;
    EXPECT_TRUE(h.visible(IDC_WIZ_NEXT));
    EXPECT_TRUE(h.enabled(IDC_WIZ_STEP1));
    EXPECT_TRUE(printer->log().empty());

    ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
    EXPECT_EQ(printer->names(), QStringList({"SENSOR_READ 28/50"}));
    EXPECT_EQ(printer->log()[0].outLen, 4u);
    EXPECT_FALSE(h.enabled(IDC_WIZ_STEP1));
    EXPECT_FALSE(h.enabled(IDC_WIZ_STEP2));
    EXPECT_TRUE(h.visible(IDC_WIZ_STEP3));
    EXPECT_TRUE(h.visible(IDC_WIZ_STEP4));
    EXPECT_FALSE(h.visible(IDC_WIZ_NEXT));
    EXPECT_TRUE(h.visible(IDC_WIZ_NEXT2));
    EXPECT_FALSE(h.visible(IDC_WIZ_FINISH));

    ASSERT_TRUE(h.click(IDC_WIZ_NEXT2));
    EXPECT_EQ(printer->names(), QStringList({"SENSOR_READ 28/50", "SENSOR_READ 28/51", "GET_GAP_SENSOR_DAC"}));
    EXPECT_FALSE(h.enabled(IDC_WIZ_STEP3));
    EXPECT_FALSE(h.enabled(IDC_WIZ_STEP4));
    EXPECT_FALSE(h.visible(IDC_WIZ_NEXT2));
    EXPECT_TRUE(h.visible(IDC_WIZ_GAP_RESULT));
    EXPECT_EQ(h.text(IDC_WIZ_GAP_RESULT), "Calibrated DAC Value: 90");
    EXPECT_TRUE(h.visible(IDC_WIZ_FINISH));
    EXPECT_EQ(dlg.controlRect(IDC_WIZ_FINISH), dlg.controlRect(IDC_WIZ_NEXT)) << "one place for the three";

    ASSERT_TRUE(h.click(IDC_WIZ_FINISH));
    EXPECT_TRUE(h.ended());
}

TEST_F(SensorScreens, GapWizardWithFailedRequestsShowsZero)
{
    printer->answers[ud::IOCTL_PRN_GET_GAP_SENSOR_DAC] = QByteArray("\x11\x22\x33\x44", 4);
    printer->failing.push_back(ud::IOCTL_PRN_GET_GAP_SENSOR_DAC);
    fail(ud::IOCTL_PRN_SENSOR_READ, 28, 51);
    CGapSensorCalibrate dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
    ASSERT_TRUE(h.click(IDC_WIZ_NEXT2));
    EXPECT_EQ(h.text(IDC_WIZ_GAP_RESULT), "Calibrated DAC Value: 0");
    EXPECT_TRUE(h.visible(IDC_WIZ_FINISH)) << "the steps' results are not looked at";
}

TEST_F(SensorScreens, ColorWizardShowsFinishOnlyAfterAColourReading)
{
    struct Case {
        const char* name;
        bool failCalibration, failDacs, failColor;
        const char* dacText;
    };
    const Case cases[] = {
        {"all answered", false, false, false, "Calibrated DAC value 10,20,30"},
        {"colour reading fails", false, false, true, "Calibrated DAC value 10,20,30"},
        {"DAC reading fails", false, true, false, "Calibrated DAC value 0,0,0"},
        {"calibration fails", true, false, false, "Calibrated DAC value 10,20,30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printer->commandAnswers.clear();
        printer->failingCommands.clear();
        printer->clearLog();
        answerTriple(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, 17, {1, 1, 1});
        answerTriple(ud::IOCTL_PRN_REGISTER, 97, 37, {10, 20, 30});
        answerTriple(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, kRead, {250, 128, 0});
        if (c.failCalibration)
            fail(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, 17);
        if (c.failDacs)
            fail(ud::IOCTL_PRN_REGISTER, 97, 37);
        if (c.failColor)
            fail(ud::IOCTL_PRN_SENSOR_READ, item::ColorSensor, kRead);

        CColorSensorCalibrate dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_FALSE(h.visible(IDC_WIZ_FINISH));
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
        EXPECT_FALSE(h.visible(IDC_WIZ_NEXT));
        EXPECT_EQ(printer->names(), QStringList({"SENSOR_READ 13/17", "REGISTER 97/37", "SENSOR_READ 13/16"}));
        for (const auto& r : printer->log())
            EXPECT_EQ(r.outLen, 3u);
        EXPECT_EQ(h.text(IDC_WIZ_DAC_RESULT), c.dacText);
        EXPECT_EQ(h.visible(IDC_WIZ_FINISH), !c.failColor);
        EXPECT_EQ(h.text(IDC_WIZ_RGB_RESULT), c.failColor ? "" : "Calibrated RGB Value 250,128,0");
        EXPECT_TRUE(h.visible(IDC_CLOSE));
        ASSERT_TRUE(h.click(IDC_CLOSE));
        EXPECT_TRUE(h.ended());
    }
}

TEST_F(SensorScreens, TheCalibrationMenuOpensEachWizardModally)
{
    CSensorCalibrate dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Sensor Calibration");
    const std::pair<int, QString> buttons[] = {{IDC_SC_GAP_SENSOR, "Gap Sensor Calibration"},
                                               {IDC_SC_COLOR_SENSOR, "Color Sensor Calibration"}};
    for (const auto& [button, title] : buttons) {
        QString opened;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* wizard = dynamic_cast<ui::Dialog*>(QApplication::activeModalWidget());
            if (!wizard || wizard == &dlg)
                return;
            opened = wizard->windowTitle();
            wizard->command(ui::IDCANCEL);
        });
        poll.start(10);
        ASSERT_TRUE(h.click(button)); // returns when the wizard has closed
        poll.stop();
        EXPECT_EQ(opened, title);
    }
    ASSERT_TRUE(h.click(ui::IDCANCEL));
    EXPECT_TRUE(h.ended());
}

} // namespace
