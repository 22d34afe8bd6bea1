#pragma once
// "MEDIA JAM TEST" (template 154): the driver's media jam sequence (media
// length, copies, end cut) once per cycle. The section "MEdiaJam" takes the
// edited values when the dialog closes.
#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsRecords.h"

class CMediaJamDlg : public vantor::TestDialog<CMediaJamSettings> {
public:
    explicit CMediaJamDlg(QWidget* parent = nullptr);
};
