#include <cmath>
#include <cstring>
#include <thread>

#include "CartridgeTestDevice.h"
#include "protocol/RequestCodes.h"
#include "vantor/res/resource.h"
#include "vantor/screens/cartridge/CPEBCalibrationDlg.h"
#include "vantor/screens/cartridge/CXYCutForceProgramDlg.h"
#include "vantor/screens/cartridge/CutForce.h"
#include "vantor/screens/cartridge/PebCalibration.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using namespace vantor::cartridge;
using ui::testing::DialogHarness;
using vantor::cartridge::testing::ParamRecorder;

namespace {

QByteArray words(std::initializer_list<int32_t> values)
{
    QByteArray b;
    for (int32_t v : values)
        b.append(reinterpret_cast<const char*>(&v), 4);
    return b;
}
QByteArray floats(std::initializer_list<float> values)
{
    QByteArray b;
    for (float v : values)
        b.append(reinterpret_cast<const char*>(&v), 4);
    return b;
}

// A calibration dialog on a recording printer that keeps each value word.
template <class Dlg>
class CalibrationScreen : public vantor::testing::ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        printer = std::make_shared<ParamRecorder>(4);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
        dlg = std::make_unique<Dlg>();
        h.emplace(*dlg);
        ASSERT_TRUE(h->open());
    }
    void TearDown() override
    {
        h.reset();
        dlg.reset();
        ScreenFixture::TearDown();
    }
    // Waits until the dialog has handled the replies of `n` requests in all.
    bool sent(size_t n)
    {
        return advanceUntil([&] { return size_t(dlg->repliesHandled()) >= n; });
    }

    std::shared_ptr<ParamRecorder> printer;
    std::unique_ptr<Dlg> dlg;
    std::optional<DialogHarness> h;
};

using PebScreen = CalibrationScreen<CPEBCalibrationDlg>;
using CutForceScreen = CalibrationScreen<CXYCutForceProgramDlg>;

} // namespace

TEST_F(PebScreen, OpensOnTheFirstItemInCalibrateModeWithNone)
{
    QStringList list;
    for (const auto& t : kPebItemTexts)
        list << QString::fromLatin1(t.listText);
    EXPECT_EQ(h->listItems(IDC_PEB_LIST), list);
    EXPECT_EQ(dlg->listCurrent(IDC_PEB_LIST), 0);
    EXPECT_TRUE(h->checked(IDC_PEB_CALIBRATE));
    EXPECT_FALSE(h->enabled(IDC_PEB_VALUE));
    EXPECT_EQ(h->text(IDC_PEB_ACTION), QStringLiteral("Calibrate"));
    for (int s = 0; s < kPebItemCount; ++s) {
        EXPECT_EQ(h->text(IDC_PEB_READ_VALUE + s), QStringLiteral("None"));
        EXPECT_EQ(h->text(IDC_PEB_SAVED_VALUE + s), QStringLiteral("None"));
        EXPECT_EQ(h->visible(IDC_PEB_READ_VALUE + s), s != 9);
    }
    ASSERT_TRUE(h->click(IDC_PEB_SAVE));
    EXPECT_TRUE(h->enabled(IDC_PEB_VALUE));
    EXPECT_EQ(h->text(IDC_PEB_ACTION), QStringLiteral("Save"));
    ASSERT_TRUE(h->click(IDC_PEB_CALIBRATE));
    EXPECT_FALSE(h->enabled(IDC_PEB_VALUE));
    EXPECT_EQ(h->text(IDC_PEB_ACTION), QStringLiteral("Calibrate"));
}

// One press, one request: the item's calibrate or save target, and for a
// save the value word Param points at, with the typed text under "Saved
// Value".
TEST_F(PebScreen, ActionSendsTheItemsTargetAndValue)
{
    struct Case {
        int item;
        bool save;
        const char* text;
        uint32_t target;
        int32_t value;
    };
    const Case cases[] = {
        {8, true, "250", 123, 250},                            // "XY HOME TO TAPE CENTER"
        {8, false, "", 107, 0},       {0, true, "abc", 99, 0}, // no digits: 0, the text shown as typed
        {7, true, "-15mm", 106, -15}, {9, true, "99999999999", 136, INT32_MAX},
        {9, false, "", 108, 0},       {6, false, "", 105, 0},
    };
    size_t n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(h->selectListItem(IDC_PEB_LIST, c.item));
        ASSERT_TRUE(h->click(c.save ? IDC_PEB_SAVE : IDC_PEB_CALIBRATE));
        if (c.save) {
            ASSERT_TRUE(h->setText(IDC_PEB_VALUE, QString::fromLatin1(c.text)));
        }
        ASSERT_TRUE(h->click(IDC_PEB_ACTION));
        ASSERT_TRUE(sent(++n));
        const ParamRecorder::Seen s = printer->seen().back();
        EXPECT_EQ(printer->requests().back().code, protocol::IOCTL_PRN_PEB);
        EXPECT_EQ(printer->requests().back().outLen, 0u);
        EXPECT_EQ(s.block.Target, c.target);
        EXPECT_EQ(s.block.Command, c.save ? 46u : 45u);
        if (c.save) {
            EXPECT_EQ(s.record, words({c.value}));
            EXPECT_EQ(h->text(IDC_PEB_SAVED_VALUE + c.item), QString::fromLatin1(c.text));
        } else {
            EXPECT_EQ(s.block.Param, 0u);
        }
    }
    EXPECT_EQ(h->text(IDC_PEB_SAVED_VALUE + 6), QStringLiteral("None")) << "calibrating shows nothing";
}

// The reply's nine words go to their rows; the hidden box of "PRINT
// CROSSWEB OFFSET" is never filled; a failed read changes nothing.
TEST_F(PebScreen, ReadAllFillsTheNineVisibleBoxes)
{
    printer->succeed = false;
    printer->answer = words({1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_TRUE(h->click(IDC_PEB_READ_ALL));
    ASSERT_TRUE(sent(1));
    for (int s = 0; s < kPebItemCount; ++s)
        EXPECT_EQ(h->text(IDC_PEB_READ_VALUE + s), QStringLiteral("None"));

    printer->succeed = true;
    printer->answer = words({-400, 101, 102, 103, 104, 105, 106, 107, -108});
    ASSERT_TRUE(h->click(IDC_PEB_READ_ALL));
    ASSERT_TRUE(sent(2));
    const auto s = printer->seen().back();
    EXPECT_EQ(s.block.Target, 109u);
    EXPECT_EQ(s.block.Command, 47u);
    EXPECT_EQ(s.block.Param, 0u);
    EXPECT_EQ(printer->requests().back().outLen, 36u);
    const QStringList expected = {"107", "105", "103", "106", "104", "102", "101", "-400", "-108", "None"};
    for (int i = 0; i < kPebItemCount; ++i)
        EXPECT_EQ(h->text(IDC_PEB_READ_VALUE + i), expected[i]) << kPebItemTexts[size_t(i)].rowLabel;
    EXPECT_FALSE(h->visible(IDC_PEB_READ_VALUE + 9));
}

// Presses that come while a request is in progress are each sent once, in
// order, with the values they had when pressed.
TEST_F(PebScreen, PressesDuringARequestFollowInOrder)
{
    printer->gated = true;
    ASSERT_TRUE(h->click(IDC_PEB_READ_ALL));
    ASSERT_TRUE(advanceUntil([&] { return printer->count() == 1; }));
    ASSERT_TRUE(h->click(IDC_PEB_SAVE));
    ASSERT_TRUE(h->setText(IDC_PEB_VALUE, QStringLiteral("11")));
    ASSERT_TRUE(h->click(IDC_PEB_ACTION));
    ASSERT_TRUE(h->selectListItem(IDC_PEB_LIST, 4));
    ASSERT_TRUE(h->setText(IDC_PEB_VALUE, QStringLiteral("22")));
    ASSERT_TRUE(h->click(IDC_PEB_ACTION));
    EXPECT_EQ(dlg->pendingSteps(), 2u);
    printer->open();
    ASSERT_TRUE(sent(3));
    const auto seen = printer->seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].block.Target, 99u);
    EXPECT_EQ(seen[1].record, words({11}));
    EXPECT_EQ(seen[2].block.Target, 103u);
    EXPECT_EQ(seen[2].record, words({22}));
    for (const auto& s : seen)
        EXPECT_NE(s.thread, std::this_thread::get_id()) << "the worker sends";
}

// Closing while the worker is inside a request waits for it; its reply
// reaches no dialog.
TEST_F(PebScreen, CloseDuringARequestWaitsAndDropsTheReply)
{
    printer->gated = true;
    printer->answer = words({1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_TRUE(h->click(IDC_PEB_READ_ALL));
    ASSERT_TRUE(advanceUntil([&] { return printer->count() == 1; }));
    std::thread releaser([&] { printer->open(); });
    h->closeBox();
    releaser.join();
    EXPECT_TRUE(h->ended());
    ui::testing::processEvents();
    EXPECT_EQ(h->text(IDC_PEB_READ_VALUE), QStringLiteral("None"));
}

TEST(CutForceValues, ReadAsTheCLibraryThenSinglePrecision)
{
    const std::pair<const char*, std::optional<float>> cases[] = {
        {"1.5", 1.5f},          {"", 0.0f},
        {"abc", 0.0f},          {"  -0.25", -0.25f},
        {".5", 0.5f},           {"5.", 5.0f},
        {"1e3", 1000.0f},       {"2e", 2.0f},
        {"+2", 2.0f},           {"-3.5x", -3.5f},
        {"0.1", 0.1f},          {"3.4e38", 3.4e38f},
        {"1e39", std::nullopt}, {"-1e400", std::nullopt},
        {"1e-400", 0.0f},       {"1e-50", 0.0f},
        {"inf", 0.0f},          {"0x10", 0.0f},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(cutForceValue(QString::fromLatin1(text)), value) << '"' << text << '"';
    EXPECT_EQ(cutForceText(2.0f), QStringLiteral("2.000000"));
    EXPECT_EQ(cutForceText(-0.25f), QStringLiteral("-0.250000"));
}

TEST_F(CutForceScreen, OpensWithNoneAndTheFirstValueChosen)
{
    EXPECT_EQ(h->listItems(IDC_CF_LIST), (QStringList{"XY CUTFORCE_M", "XY CUTFORCE_C"}));
    EXPECT_EQ(dlg->listCurrent(IDC_CF_LIST), 0);
    EXPECT_TRUE(h->enabled(IDC_CF_VALUE));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(h->text(IDC_CF_READ_VALUE + i), QStringLiteral("None"));
        EXPECT_EQ(h->text(IDC_CF_SAVED_VALUE + i), QStringLiteral("None"));
    }
}

TEST_F(CutForceScreen, SaveSendsTheSinglePrecisionValue)
{
    struct Case {
        int index;
        const char* text;
        uint32_t target;
        float value;
    };
    const Case cases[] = {
        {0, "1.5", 107, 1.5f},
        {1, "no number", 108, 0.0f},
        {1, " -2.5e1 N", 108, -25.0f},
    };
    size_t n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(h->selectListItem(IDC_CF_LIST, c.index));
        ASSERT_TRUE(h->setText(IDC_CF_VALUE, QString::fromLatin1(c.text)));
        ASSERT_TRUE(h->click(IDC_CF_SAVE));
        ASSERT_TRUE(sent(++n));
        const auto s = printer->seen().back();
        EXPECT_EQ(printer->requests().back().code, protocol::IOCTL_PRN_CUT_FORCE);
        EXPECT_EQ(s.block.Target, c.target);
        EXPECT_EQ(s.block.Command, 48u);
        EXPECT_EQ(s.record, floats({c.value}));
        EXPECT_EQ(h->text(IDC_CF_SAVED_VALUE + c.index), QString::fromLatin1(c.text));
    }
    // Beyond single precision: refused with a box, nothing sent or shown.
    ASSERT_TRUE(h->setText(IDC_CF_VALUE, QStringLiteral("1e39")));
    ASSERT_TRUE(h->click(IDC_CF_SAVE));
    EXPECT_EQ(prompts.texts(), QStringList{"\"XY CUTFORCE C\" is beyond a single-precision number.\n"});
    EXPECT_EQ(h->text(IDC_CF_SAVED_VALUE + 1), QStringLiteral(" -2.5e1 N"));
    ui::testing::processEvents();
    EXPECT_EQ(dlg->pendingSteps(), 0u);
    EXPECT_EQ(printer->seen().size(), n);
}

TEST_F(CutForceScreen, ReadAllShowsBothWithSixDecimals)
{
    printer->answer = floats({2.0f, -0.25f});
    ASSERT_TRUE(h->click(IDC_CF_READ_ALL));
    ASSERT_TRUE(sent(1));
    const auto s = printer->seen().back();
    EXPECT_EQ(s.block.Target, 111u);
    EXPECT_EQ(s.block.Command, 49u);
    EXPECT_EQ(s.block.Param, 0u);
    EXPECT_EQ(printer->requests().back().outLen, 8u);
    EXPECT_EQ(h->text(IDC_CF_READ_VALUE), QStringLiteral("2.000000"));
    EXPECT_EQ(h->text(IDC_CF_READ_VALUE + 1), QStringLiteral("-0.250000"));

    printer->succeed = false;
    printer->answer = floats({9.0f, 9.0f});
    ASSERT_TRUE(h->click(IDC_CF_READ_ALL));
    ASSERT_TRUE(sent(2));
    EXPECT_EQ(h->text(IDC_CF_READ_VALUE), QStringLiteral("2.000000"));
}

// M and C saved through the simulated printer read back as saved.
class CutForceOnTheSimulator : public vantor::testing::ScreenFixture {};

TEST_F(CutForceOnTheSimulator, SavedValuesReadBack)
{
    startSimulator();
    CXYCutForceProgramDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_CF_VALUE, QStringLiteral("1.5")));
    ASSERT_TRUE(h.click(IDC_CF_SAVE));
    ASSERT_TRUE(h.selectListItem(IDC_CF_LIST, 1));
    ASSERT_TRUE(h.setText(IDC_CF_VALUE, QStringLiteral("-0.25")));
    ASSERT_TRUE(h.click(IDC_CF_SAVE));
    ASSERT_TRUE(h.click(IDC_CF_READ_ALL));
    EXPECT_TRUE(advanceUntil([&] { return h.text(IDC_CF_READ_VALUE + 1) != QStringLiteral("None"); }));
    EXPECT_EQ(h.text(IDC_CF_READ_VALUE), QStringLiteral("1.500000"));
    EXPECT_EQ(h.text(IDC_CF_READ_VALUE + 1), QStringLiteral("-0.250000"));
}

// With no item highlighted (a click below the last item clears it), the
// action and "Save" send nothing.
TEST_F(PebScreen, NoHighlightedItemNoRequest)
{
    dlg->listSelect(IDC_PEB_LIST, -1);
    ASSERT_TRUE(h->click(IDC_PEB_ACTION));
    ASSERT_TRUE(h->click(IDC_PEB_READ_ALL));
    ASSERT_TRUE(sent(1));
    EXPECT_EQ(printer->seen().size(), 1u);
    EXPECT_EQ(printer->seen()[0].block.Command, 47u);
}
