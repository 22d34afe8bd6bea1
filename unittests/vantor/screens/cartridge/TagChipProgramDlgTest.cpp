#include <QLineEdit>
#include <random>
#include <thread>

#include "CartridgeTestDevice.h"
#include "protocol/RequestCodes.h"
#include "ui/ResourceScript.h"
#include "vantor/res/resource.h"
#include "vantor/screens/cartridge/TagChipProgramDlg.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using namespace vantor::cartridge;
using protocol::TagChipImage;
using ui::testing::DialogHarness;
using vantor::cartridge::testing::ParamRecorder;

namespace {

struct Screen {
    const char* name;
    std::function<std::unique_ptr<TagChipProgramDlg>()> make;
    const TagChipCartridge* cartridge;
    uint32_t readCommand, programCommand;
    int readButton, programButton;
    const char* readFailure;
    const char* programFailure;
};

const Screen kScreens[] = {
    {"Tape", [] { return std::make_unique<TapeTagChipProgramDlg>(); }, &kTapeTagChip, 39, 40, IDC_TTC_READ,
     IDC_TTC_PROGRAM, "\"FAILED\" Reading the TAPE TAGCHIP.\n", "\"FAILED\" Progamming the TAPE TAGCHIP.\n"},
    {"Ribbon", [] { return std::make_unique<RibbonTagChipProgramDlg>(); }, &kRibbonTagChip, 41, 42, IDC_RTC_READ,
     IDC_RTC_PROGRAM, "\"FAILED\" Reading the RIBBON TAGCHIP.\n", "\"FAILED\" Progamming the RIBBON TAGCHIP.\n"},
};

void PrintTo(const Screen& s, std::ostream* os)
{
    *os << s.name;
}

TagChipImage randomImage(unsigned seed)
{
    std::mt19937 rng(seed);
    TagChipImage image;
    for (auto& b : image)
        b = uint8_t(rng());
    return image;
}

QByteArray toBytes(const TagChipImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
}

size_t fieldIndex(TagChipFields fields, const char* label)
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (QLatin1String(fields[i].label) == QLatin1String(label))
            return i;
    ADD_FAILURE() << "no field " << label;
    return 0;
}

class TagChipScreen : public vantor::testing::ScreenFixture, public ::testing::WithParamInterface<Screen> {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        printer = std::make_shared<ParamRecorder>(protocol::kTagChipImageSize);
        platform::registerDevice(QStringLiteral("PRN1:"), printer);
        dlg = GetParam().make();
        h.emplace(*dlg);
        ASSERT_TRUE(h->open());
    }
    void TearDown() override
    {
        h.reset();
        dlg.reset();
        ScreenFixture::TearDown();
    }
    TagChipFields fields() const { return GetParam().cartridge->fields; }
    QStringList boxes(bool program) const
    {
        QStringList texts;
        for (size_t i = 0; i < fields().size(); ++i)
            texts << dlg->text(program ? dlg->programBox(i) : dlg->readBox(i));
        return texts;
    }
    void expectBlock(const ParamRecorder::Seen& s, uint32_t command, bool withParam)
    {
        EXPECT_EQ(s.block.Target, 98u);
        EXPECT_EQ(s.block.Command, command);
        EXPECT_EQ(s.block.Param != 0, withParam);
        EXPECT_EQ(s.thread, std::this_thread::get_id()) << "requests go out on the user-interface thread";
    }

    std::shared_ptr<ParamRecorder> printer;
    std::unique_ptr<TagChipProgramDlg> dlg;
    std::optional<DialogHarness> h;
};

} // namespace

// Each field of the table has its row in the template: the label that
// leads its row, a read-only read box, and a program box that takes digits
// only unless the field is signed or 32-bit.
TEST_P(TagChipScreen, TemplateHasARowPerField)
{
    const ui::DialogTemplate* t = dlg->dialogTemplate();
    ASSERT_NE(t, nullptr);
    for (size_t i = 0; i < fields().size(); ++i) {
        const protocol::TagChipField& f = fields()[i];
        SCOPED_TRACE(f.label);
        const ui::ControlTemplate* read = t->control(dlg->readBox(i));
        const ui::ControlTemplate* program = t->control(dlg->programBox(i));
        ASSERT_TRUE(read && program);
        EXPECT_TRUE(read->hasStyle(ui::style::ES_READONLY));
        EXPECT_FALSE(program->hasStyle(ui::style::ES_READONLY));
        EXPECT_EQ(program->hasStyle(ui::style::ES_NUMBER), f.type == protocol::TagChipFieldType::Unsigned);
        if (f.color && QLatin1String(f.color) != QLatin1String("Red:"))
            continue; // the grid's row label leads its red boxes
        QString leading;
        for (const ui::ControlTemplate& c : t->controls) {
            if (c.id == read->id)
                break;
            if (c.className == QLatin1String("Static"))
                leading = c.text;
        }
        EXPECT_EQ(leading, QLatin1String(f.label));
    }
}

TEST_P(TagChipScreen, ProgramRightAfterOpeningWrites128ZeroBytes)
{
    EXPECT_EQ(boxes(false), QStringList(qsizetype(fields().size()), QStringLiteral("0")));
    EXPECT_EQ(boxes(true), QStringList(qsizetype(fields().size()), QStringLiteral("0")));
    ASSERT_TRUE(h->click(GetParam().programButton));
    const auto seen = printer->seen();
    ASSERT_EQ(seen.size(), 1u);
    expectBlock(seen[0], GetParam().programCommand, true);
    EXPECT_EQ(seen[0].record, QByteArray(128, '\0'));
    const auto requests = printer->requests();
    EXPECT_EQ(requests[0].code, protocol::IOCTL_PRN_TAGCHIP);
    EXPECT_EQ(requests[0].input.size(), 12);
    EXPECT_EQ(requests[0].outLen, 4u);
    EXPECT_EQ(prompts.count(), 0u);
}

// Read shows every field in both columns; Program without edits writes the
// shown fields back unchanged and zeros where nothing is shown.
TEST_P(TagChipScreen, ReadThenProgramWritesTheShownFieldsBack)
{
    const TagChipImage image = randomImage(7);
    printer->answer = toBytes(image);
    ASSERT_TRUE(h->click(GetParam().readButton));
    const QStringList expected = tagChipTexts(image, fields());
    EXPECT_EQ(boxes(false), expected);
    EXPECT_EQ(boxes(true), expected);
    EXPECT_TRUE(h->enabled(GetParam().readButton) && h->enabled(GetParam().programButton));

    ASSERT_TRUE(h->click(GetParam().programButton));
    const auto seen = printer->seen();
    ASSERT_EQ(seen.size(), 2u);
    expectBlock(seen[0], GetParam().readCommand, false);
    EXPECT_EQ(printer->requests()[0].outLen, 128u);
    expectBlock(seen[1], GetParam().programCommand, true);
    EXPECT_EQ(seen[1].record, toBytes(coveredBytes(image, fields())));
    EXPECT_NE(seen[1].record, toBytes(image)) << "the hidden bytes go back as zeros";
}

// A failed read leaves the boxes as they were; each failure shows its own
// box, and the buttons stay usable.
TEST_P(TagChipScreen, FailuresShowTheirBoxes)
{
    const TagChipImage image = randomImage(3);
    printer->answer = toBytes(image);
    ASSERT_TRUE(h->click(GetParam().readButton));
    const QStringList shown = boxes(false);

    printer->succeed = false;
    printer->answer = QByteArray(128, '\x11');
    ASSERT_TRUE(h->click(GetParam().readButton));
    ASSERT_TRUE(h->click(GetParam().programButton));
    EXPECT_EQ(prompts.texts(), (QStringList{QString::fromLatin1(GetParam().readFailure),
                                            QString::fromLatin1(GetParam().programFailure)}));
    EXPECT_EQ(prompts.boxes()[0].ask.caption, QStringLiteral("Vantor"));
    EXPECT_EQ(boxes(false), shown);
    EXPECT_EQ(boxes(true), shown);
    EXPECT_TRUE(h->enabled(GetParam().readButton) && h->enabled(GetParam().programButton));
}

INSTANTIATE_TEST_SUITE_P(Cartridges, TagChipScreen, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

// Through the simulated printer: the factory image is read, one field is
// edited and programmed, and a dialog opened afterwards reads it back.
class TagChipOnTheSimulator : public vantor::testing::ScreenFixture {};

TEST_F(TagChipOnTheSimulator, ProgrammedTapeImageReadsBack)
{
    startSimulator();
    const size_t remaining = fieldIndex(kTapeTagChip.fields, "Media Remaining:");
    const size_t yNumber = fieldIndex(kTapeTagChip.fields, "Y Number:");
    const size_t feedComp = fieldIndex(kTapeTagChip.fields, "FIT Tape Feed Comp.:");
    QStringList before;
    {
        TapeTagChipProgramDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.click(IDC_TTC_READ));
        ASSERT_EQ(prompts.count(), 0u);
        EXPECT_EQ(h.text(dlg.readBox(yNumber)), QStringLiteral("5190001"));
        EXPECT_EQ(h.text(dlg.readBox(feedComp)), QStringLiteral("-2"));
        for (size_t i = 0; i < kTapeTagChip.fields.size(); ++i)
            before << h.text(dlg.readBox(i));
        ASSERT_TRUE(h.setText(dlg.programBox(remaining), QStringLiteral("12000")));
        ASSERT_TRUE(h.click(IDC_TTC_PROGRAM));
        ASSERT_EQ(prompts.count(), 0u);
    }
    TapeTagChipProgramDlg again;
    DialogHarness h(again);
    ASSERT_TRUE(h.click(IDC_TTC_READ));
    QStringList after;
    for (size_t i = 0; i < kTapeTagChip.fields.size(); ++i)
        after << h.text(again.readBox(i));
    QStringList expected = before;
    expected[qsizetype(remaining)] = QStringLiteral("12000");
    EXPECT_EQ(after, expected);
}
