#include "vantor/screens/cartridge/TagChipProgramDlg.h"

#include "ui/Prompts.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"

namespace vantor::cartridge {

TagChipProgramDlg::TagChipProgramDlg(const TagChipCartridge& cartridge, const Ids& ids, QWidget* parent)
    : ui::Dialog(ids.templateId, parent), m_cartridge(cartridge), m_ids(ids)
{
    onCommand(ids.readButton, [this] { OnRead(); });
    onCommand(ids.programButton, [this] { OnProgram(); });
}

bool TagChipProgramDlg::onInitDialog()
{
    for (size_t i = 0; i < m_cartridge.fields.size(); ++i) {
        const protocol::TagChipField& f = m_cartridge.fields[i];
        // The grid's boxes sit under colour and R/P headers, not beside their
        // label: each box names its field, colour and column itself.
        QString name = QString::fromLatin1(f.label);
        if (f.color)
            name += QLatin1Char(' ') + QString::fromLatin1(f.color);
        if (QWidget* w = control(readBox(i)))
            w->setAccessibleName(name + QStringLiteral(" Read"));
        if (QWidget* w = control(programBox(i)))
            w->setAccessibleName(name + QStringLiteral(" Program"));
        setText(readBox(i), QStringLiteral("0"));
        setText(programBox(i), QStringLiteral("0"));
    }
    m_port = std::make_unique<TagChipPort>(m_cartridge);
    return true;
}

void TagChipProgramDlg::enableButtons(bool enabled)
{
    enable(m_ids.readButton, enabled);
    enable(m_ids.programButton, enabled);
}

void TagChipProgramDlg::OnRead()
{
    enableButtons(false);
    if (const auto image = m_port->read()) {
        const QStringList texts = tagChipTexts(*image, m_cartridge.fields);
        for (size_t i = 0; i < m_cartridge.fields.size(); ++i) {
            setText(readBox(i), texts[qsizetype(i)]);
            setText(programBox(i), texts[qsizetype(i)]);
        }
    } else {
        ui::messageBox(QString::fromLatin1(m_cartridge.readFailure), kProgramName);
    }
    enableButtons(true);
}

void TagChipProgramDlg::OnProgram()
{
    enableButtons(false);
    QStringList texts;
    for (size_t i = 0; i < m_cartridge.fields.size(); ++i)
        texts << text(programBox(i));
    if (!m_port->program(tagChipImage(m_cartridge.fields, texts)))
        ui::messageBox(QString::fromLatin1(m_cartridge.programFailure), kProgramName);
    enableButtons(true);
}

} // namespace vantor::cartridge

using vantor::cartridge::TagChipProgramDlg;

TapeTagChipProgramDlg::TapeTagChipProgramDlg(QWidget* parent)
    : TagChipProgramDlg(
          vantor::cartridge::kTapeTagChip,
          {IDD_TAPE_TAGCHIP_PROGRAM, IDC_TTC_READ, IDC_TTC_PROGRAM, IDC_TTC_READ_BOX, IDC_TTC_PROGRAM_BOX}, parent)
{
}

RibbonTagChipProgramDlg::RibbonTagChipProgramDlg(QWidget* parent)
    : TagChipProgramDlg(
          vantor::cartridge::kRibbonTagChip,
          {IDD_RIBBON_TAGCHIP_PROGRAM, IDC_RTC_READ, IDC_RTC_PROGRAM, IDC_RTC_READ_BOX, IDC_RTC_PROGRAM_BOX}, parent)
{
}
