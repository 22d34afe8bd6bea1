#include "vantor/screens/cartridge/CPEBCalibrationDlg.h"

#include "protocol/RequestCodes.h"
#include "vantor/res/resource.h"
#include "vantor/screens/cartridge/PebCalibration.h"

using namespace vantor::cartridge;

namespace {
const QString kNone = QStringLiteral("None");
}

CPEBCalibrationDlg::CPEBCalibrationDlg(QWidget* parent) : CalibrationDlg(IDD_PEB_CALIBRATION, parent)
{
    onCommand(IDC_PEB_CALIBRATE, [this] { applyMode(); });
    onCommand(IDC_PEB_SAVE, [this] { applyMode(); });
    onCommand(IDC_PEB_ACTION, &CPEBCalibrationDlg::OnAction);
    onCommand(IDC_PEB_READ_ALL, &CPEBCalibrationDlg::OnReadAll);
}

bool CPEBCalibrationDlg::initControls()
{
    for (int s = 0; s < kPebItemCount; ++s) {
        const QString row = QString::fromLatin1(kPebItemTexts[size_t(s)].rowLabel);
        listAdd(IDC_PEB_LIST, QString::fromLatin1(kPebItemTexts[size_t(s)].listText));
        control(IDC_PEB_READ_VALUE + s)->setAccessibleName(row + QStringLiteral(" Read Value"));
        control(IDC_PEB_SAVED_VALUE + s)->setAccessibleName(row + QStringLiteral(" Saved Value"));
        setText(IDC_PEB_READ_VALUE + s, kNone);
        setText(IDC_PEB_SAVED_VALUE + s, kNone);
    }
    listSelect(IDC_PEB_LIST, 0);
    setRadioIndex(IDC_PEB_CALIBRATE, 0);
    applyMode();
    setFocus(IDC_PEB_CALIBRATE);
    return false;
}

void CPEBCalibrationDlg::applyMode()
{
    const bool save = radioIndex(IDC_PEB_CALIBRATE) == 1;
    enable(IDC_PEB_VALUE, save);
    setText(IDC_PEB_ACTION, save ? QStringLiteral("Save") : QStringLiteral("Calibrate"));
}

void CPEBCalibrationDlg::OnAction()
{
    // The highlighted item: an action with none highlighted does nothing.
    const std::vector<int> selected = listSelected(IDC_PEB_LIST);
    const int s = selected.empty() ? -1 : selected.front();
    if (s < 0 || s >= kPebItemCount)
        return;
    if (radioIndex(IDC_PEB_CALIBRATE) != 1) {
        submit(pebCalibrateStep(s));
        return;
    }
    const QString value = text(IDC_PEB_VALUE);
    setText(IDC_PEB_SAVED_VALUE + s, value);
    submit(pebSaveStep(s, pebValue(value)));
}

void CPEBCalibrationDlg::OnReadAll()
{
    submit(pebReadAllStep());
}

void CPEBCalibrationDlg::onReply(const StepReply& reply)
{
    // Calibrate and save failures are not reported; a failed read changes
    // nothing.
    if (reply.step.block.Command != protocol::cmd::peb::Read || !reply.ok)
        return;
    const auto values = pebReadValues(reply.reply);
    for (int s = 0; s < kPebItemCount; ++s)
        if (values[size_t(s)])
            setText(IDC_PEB_READ_VALUE + s, QString::number(*values[size_t(s)]));
}
