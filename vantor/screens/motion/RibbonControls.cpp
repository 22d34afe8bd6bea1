#include "vantor/screens/motion/RibbonControls.h"

#include <algorithm>

#include "vantor/screens/motion/CPlatenSettingDlg.h"
#include "vantor/screens/motion/PlatenControls.h"

namespace vantor::ribbon {

void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int lo, int hi, int32_t& value)
{
    value = std::clamp(value, lo, hi);
    dlg.bindSlider(sliderId, value);
    auto showLabel = [&dlg, sliderId, labelId] {
        dlg.setText(labelId, QString::asprintf("%3d", dlg.sliderPos(sliderId)));
    };
    dlg.onNotify(sliderId, ui::Notify::SliderMoved, showLabel);
    // The range before the position, so that the start value is not clamped
    // to the slider's default range.
    dlg.addRule(
        [&dlg, sliderId, lo, hi, &value, showLabel] {
            dlg.setSliderRange(sliderId, lo, hi);
            dlg.setSliderPos(sliderId, value);
            showLabel();
        },
        {});
}

void blankZeroes(ui::Dialog& dlg, std::initializer_list<int> ids)
{
    for (int id : ids)
        if (dlg.intValue(id) == 0)
            dlg.setText(id, QString());
}

void enableAll(ui::Dialog& dlg, std::span<const int> ids, bool enabled)
{
    for (int id : ids)
        dlg.enable(id, enabled);
}

void showAll(ui::Dialog& dlg, std::span<const int> ids, bool visible)
{
    for (int id : ids)
        dlg.show(id, visible);
}

PlatenMoveSettings readPanel(const CPlatenSettingDlg& panel)
{
    PlatenMoveSettings s;
    s.speed = platen::readSpeed(panel, platen::kPlatenSpeedIds);
    s.totalPulses = panel.intValue(IDC_PL_PULSES);
    s.stepMode = panel.radioChoice(IDC_PL_FULL);
    return s;
}

} // namespace vantor::ribbon
