#include "CInfoDlg.h"

#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"
#include "ui/Messages.h"

namespace pellam {

CInfoDlg::CInfoDlg(QWidget* parent) : ui::Dialog(IDD_INFO, parent)
{
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
}

bool CInfoDlg::onInitDialog()
{
    m_driver = driver::openPrinter();

    driver::UsageRecord usage; // cleared by the read, so a failure shows zeros
    driver::readUsage(m_driver, usage);
    setText(IDC_INFO_CUTS_MADE, QString::asprintf("%d", int(usage.cutsMade)));
    setText(IDC_INFO_INCHES_PRINTED, QString::asprintf("%d", int(usage.inchesPrinted)));

    setText(IDC_INFO_APP_VERSION, QString::asprintf("%s", kAppVersion));

    uint8_t tape = 0;
    uint8_t ribbon = 0;
    driver::readTapeTagChipVersion(m_driver, tape);
    driver::readRibbonTagChipVersion(m_driver, ribbon);
    setText(IDC_INFO_TAPE_TAGCHIP, QString::asprintf("%u", unsigned(tape)));
    setText(IDC_INFO_RIBBON_TAGCHIP, QString::asprintf("%u", unsigned(ribbon)));
    return true;
}

} // namespace pellam
