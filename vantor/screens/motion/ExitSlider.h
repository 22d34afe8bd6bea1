#pragma once
// A slider with its "%3d" value label (ejector "Rev/Cycle:", the "Duty
// Cycle:" sliders), bound to a value kept within the slider's range.
#include <cstdint>

namespace vantor {
class CTestDlg;
}

namespace vantor::motion {

void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int min, int max);

} // namespace vantor::motion
