#pragma once
// One axis panel of the fiducial test (template 141), a child window of
// CFiducialDlg bound to that axis's fields of the dialog's record copy. The
// cross-web panel shows "Home Distance:", the down-web panel the
// "Encoder"/"Step" choice and "Distance betwen:\nmark ".
#include <QPoint>

#include "ui/Dialog.h"
#include "vantor/settings/TestSettingsRecords.h"

class CFiducialSettingDlg : public ui::Dialog {
public:
    enum Axis { kCrossweb = 0, kDownweb = 1 };

    CFiducialSettingDlg(int axis, ui::Dialog* owner, CFiducialSettings& values);
    // Creates the panel inside the owner at `pos` (pixels).
    bool Create(QPoint pos);
    int axis() const { return m_axis; }

protected:
    bool onInitDialog() override;

private:
    int m_axis;
    ui::Dialog* m_owner;
};
