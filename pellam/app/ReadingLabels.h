#pragma once
// Assistive names for screens that show readings. The framework names a
// static text by the text it had in the template, which goes stale once a
// reading replaces it, and names a radio button by its own caption only
// ("Blocked"), without the sensor it belongs to. After this call a reading
// text is named by its current text and labelled by the static before it,
// and each radio button carries that label in its name ("Door Open: Open").
#include "ui/Dialog.h"

namespace pellam {

void nameReadings(ui::Dialog& dialog);

} // namespace pellam
