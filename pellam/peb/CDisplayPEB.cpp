#include "CDisplayPEB.h"

#include "pellam/app/ReadingLabels.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/peb/PebCheck.h"
#include "pellam/res/PellamResources.h"
#include "ui/Messages.h"

namespace pellam {

CDisplayPEB::CDisplayPEB(QWidget* parent) : ui::Dialog(IDD_DISPLAY_PEB, parent)
{
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
}

bool CDisplayPEB::onInitDialog()
{
    nameReadings(*this);
    m_driver = driver::openPrinter();

    // Each read clears its record first, so a failed one shows zeros.
    protocol::PebRecord r;
    driver::readPeb(m_driver, r);
    setText(IDC_SHOW_XYCL, QString::number(r.printlineToXYCut));
    setText(IDC_SHOW_ECL, QString::number(r.printlineToEndCutter));
    setText(IDC_SHOW_UCN, QString::number(r.upstreamCenterNotchToPrintline));
    setText(IDC_SHOW_DCN, QString::number(r.downstreamCenterNotchToPrintline));
    setText(IDC_SHOW_UGN, QString::number(r.upstreamGapToPrintline));
    setText(IDC_SHOW_DGN, QString::number(r.downstreamGapToPrintline));
    setText(IDC_SHOW_USN, QString::number(r.upstreamSideNotchToPrintline));
    setText(IDC_SHOW_DSN, QString::number(r.downstreamSideNotchToPrintline));
    setText(IDC_SHOW_XYHOME, QString::number(r.xyHomeToTapeCenter));

    int32_t crossWeb = 0;
    driver::readCrossWebOffset(m_driver, crossWeb);
    setText(IDC_SHOW_CWOFFSET, QString::asprintf("%d", crossWeb));

    protocol::CutForceCoeffs coeffs;
    driver::readCutForceCoeffs(m_driver, coeffs);
    setText(IDC_SHOW_M, QString::fromStdString(peb::formatDisplayM(coeffs.m)));
    setText(IDC_SHOW_C, QString::fromStdString(peb::formatDisplayC(coeffs.c)));
    return true;
}

} // namespace pellam
