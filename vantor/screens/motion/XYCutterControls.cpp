#include "vantor/screens/motion/XYCutterControls.h"

#include <algorithm>

namespace vantor::motion {

void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int lo, int hi)
{
    value = std::clamp(value, lo, hi);
    dlg.bindSlider(sliderId, value);
    auto showLabel = [&dlg, sliderId, labelId] {
        dlg.setText(labelId, QString::asprintf("%3d", dlg.sliderPos(sliderId)));
    };
    dlg.onNotify(sliderId, ui::Notify::SliderMoved, showLabel);
    // The range, then the position again: the binding may have shown it
    // clamped to the default range.
    dlg.addRule(
        [&dlg, sliderId, &value, lo, hi, showLabel] {
            dlg.setSliderRange(sliderId, lo, hi);
            dlg.setSliderPos(sliderId, value);
            showLabel();
        },
        {});
}

void bindCurrentLevel(CTestDlg& dlg, int comboId, QString& level)
{
    dlg.bindComboText(comboId, level);
    dlg.addRule(
        [&dlg, comboId, &level] {
            if (dlg.comboItems(comboId).isEmpty())
                for (const QString& item : kCurrentLevels)
                    dlg.comboAdd(comboId, item);
            dlg.selectComboText(comboId, level);
        },
        {});
}

} // namespace vantor::motion
