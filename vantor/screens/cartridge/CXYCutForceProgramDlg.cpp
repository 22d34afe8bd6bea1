#include "vantor/screens/cartridge/CXYCutForceProgramDlg.h"

#include "protocol/RequestCodes.h"
#include "ui/Prompts.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"
#include "vantor/screens/cartridge/CutForce.h"

using namespace vantor::cartridge;

CXYCutForceProgramDlg::CXYCutForceProgramDlg(QWidget* parent) : CalibrationDlg(IDD_XY_CUT_FORCE_PROGRAM, parent)
{
    onCommand(IDC_CF_SAVE, &CXYCutForceProgramDlg::OnSave);
    onCommand(IDC_CF_READ_ALL, &CXYCutForceProgramDlg::OnReadAll);
}

bool CXYCutForceProgramDlg::initControls()
{
    for (int i = 0; i < kCutForceCount; ++i) {
        const QString row = QString::fromLatin1(kCutForceRowLabels[size_t(i)]);
        listAdd(IDC_CF_LIST, QString::fromLatin1(kCutForceListTexts[size_t(i)]));
        control(IDC_CF_READ_VALUE + i)->setAccessibleName(row + QStringLiteral(" Read Value"));
        control(IDC_CF_SAVED_VALUE + i)->setAccessibleName(row + QStringLiteral(" Saved Value"));
        setText(IDC_CF_READ_VALUE + i, QStringLiteral("None"));
        setText(IDC_CF_SAVED_VALUE + i, QStringLiteral("None"));
    }
    listSelect(IDC_CF_LIST, 0);
    enable(IDC_CF_VALUE);
    return true;
}

void CXYCutForceProgramDlg::OnSave()
{
    // The highlighted item: an action with none highlighted does nothing.
    const std::vector<int> selected = listSelected(IDC_CF_LIST);
    const int i = selected.empty() ? -1 : selected.front();
    if (i < 0 || i >= kCutForceCount)
        return;
    const QString value = text(IDC_CF_VALUE);
    const std::optional<float> v = cutForceValue(value);
    if (!v) {
        ui::messageBox(cutForceRangeMessage(i), vantor::kProgramName);
        return;
    }
    setText(IDC_CF_SAVED_VALUE + i, value);
    submit(cutForceSaveStep(i, *v));
}

void CXYCutForceProgramDlg::OnReadAll()
{
    submit(cutForceReadAllStep());
}

void CXYCutForceProgramDlg::onReply(const StepReply& reply)
{
    if (reply.step.block.Command != protocol::cmd::cutForce::Read || !reply.ok)
        return;
    if (const auto values = cutForceReadValues(reply.reply))
        for (int i = 0; i < kCutForceCount; ++i)
            setText(IDC_CF_READ_VALUE + i, cutForceText((*values)[size_t(i)]));
}
