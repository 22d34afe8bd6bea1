#include "vantor/screens/print/CPrintDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/print/PrintRun.h"

using namespace vantor::print;

namespace {
const QString kBitmapFilter = QStringLiteral("Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||");
}

CPrintDlg::CPrintDlg(int templateId, bool aging, QWidget* parent)
    : TestDialog(templateId, aging ? kAgingPrintTest : kPrintTest, parent, vantor::Commit::AtClose)
{
    useRunButton(IDC_PR_START);
    bindRadio(IDC_PR_DEFAULT_PATTERN, m_values.pattern);
    bindRadio(IDC_PR_SINGLE_PASS, m_values.pass);
    bindRadio(IDC_PR_SIZE_2, m_values.size);
    bind(IDC_PR_OFFSET, m_values.offset);
    bind(IDC_PR_PREFIX, m_values.filePrefix);
    bind(IDC_PR_IMAGE_FILE, m_values.imageFile);
    bindBrowse(IDC_PR_BROWSE, IDC_PR_IMAGE_FILE, kBitmapFilter);
    vantor::bindLabelledSlider(*this, IDC_PR_BURN, IDC_PR_BURN_VALUE, m_values.burnSetting, 50, 150);
    bind(IDC_PR_DELAY_START, m_values.delayStart);
    bindCheck(IDC_PR_COMPLIANCE, m_values.printCompliance);
    bindCheck(IDC_PR_END_CUT, m_values.endCut);
    // A customised pattern takes its image, delay and compliance; the
    // default pattern its pass, size, offset and prefix.
    addRule(
        [this] {
            const bool custom = radioChoice(IDC_PR_DEFAULT_PATTERN) == 1;
            for (int id : {IDC_PR_BROWSE, IDC_PR_DELAY_START, IDC_PR_COMPLIANCE})
                enable(id, custom);
            for (int id : {IDC_PR_SINGLE_PASS, IDC_PR_MULTI_PASS, IDC_PR_SIZE_2, IDC_PR_SIZE_4, IDC_PR_OFFSET,
                           IDC_PR_PREFIX})
                enable(id, !custom);
        },
        {IDC_PR_DEFAULT_PATTERN, IDC_PR_CUSTOM_PATTERN});
}

CPrintToCutDlg::CPrintToCutDlg(QWidget* parent)
    : TestDialog(IDD_PRINT_TO_CUT, kPrintToCutTest, parent, vantor::Commit::AtClose)
{
    bindRadio(IDC_PC_SPEED_1, m_values.printSpeed);
    vantor::bindVref(*this, IDC_PC_VREF, IDC_PC_VREF_VALUE, m_values.vref);
    bindCheck(IDC_PC_END_CUT, m_values.endCut); // a run's, never the record's (see commitValues)
    bind(IDC_PC_DOWNWEB, m_values.downwebOffset);
    bind(IDC_PC_CROSSWEB, m_values.crosswebOffset);
    bind(IDC_PC_TOTAL_BOXES, m_values.totalBoxes);
    bind(IDC_PC_BOX_LENGTH, m_values.boxLength);
    bind(IDC_PC_PREFIX, m_values.filePrefix);
}

void CPrintToCutDlg::commitValues()
{
    // The section has no key for the tick: the record keeps what it had, so
    // the next opening starts unticked.
    auto& r = record<CPrintToCutSettings>();
    const int32_t endCut = r.endCut;
    TestDialog::commitValues();
    r.endCut = endCut;
}
