#pragma once
// Assistive names for the radio buttons of screens that show readings. The
// framework names a radio button by its own caption only ("Blocked"),
// without the sensor it belongs to; after this call each radio button
// carries the static label before it in its name ("Door Open: Open").
// Reading texts need nothing here: the framework names a text the program
// replaces by what it shows.
#include "ui/Dialog.h"

namespace pellam {

void nameReadings(ui::Dialog& dialog);

} // namespace pellam
