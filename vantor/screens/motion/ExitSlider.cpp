#include "vantor/screens/motion/ExitSlider.h"

#include <algorithm>

#include "vantor/framework/CTestDlg.h"

namespace vantor::motion {

void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int min, int max)
{
    value = std::clamp<int32_t>(value, min, max);
    dlg.bindSlider(sliderId, value);
    auto showLabel = [&dlg, sliderId, labelId] {
        dlg.setText(labelId, QString::asprintf("%3d", dlg.sliderPos(sliderId)));
    };
    dlg.onNotify(sliderId, ui::Notify::SliderMoved, showLabel);
    // The range before the position, so the value is not clipped to the default range.
    dlg.addRule(
        [&dlg, sliderId, &value, showLabel, min, max] {
            dlg.setSliderRange(sliderId, min, max);
            dlg.setSliderPos(sliderId, value);
            showLabel();
        },
        {});
}

} // namespace vantor::motion
