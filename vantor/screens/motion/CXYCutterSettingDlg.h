#pragma once
// One axis panel of the XY cutter life test (template 149), a child window
// of CXYCutterLifeDlg bound to that axis's fields of the life record copy.
// The cross-web panel shows the forward-steps boxes, the down-web panel
// "Run By:".
#include <QPoint>

#include "ui/Dialog.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/settings/TestSettingsRecords.h"

class CXYCutterSettingDlg : public ui::Dialog {
public:
    enum Axis { kCrossweb = 0, kDownweb = 1 };

    CXYCutterSettingDlg(int axis, ui::Dialog* owner, CXYCutterLifeSettings& values);
    // Creates the panel inside the owner at `pos` (pixels).
    bool Create(QPoint pos);
    int axis() const { return m_axis; }

protected:
    bool onInitDialog() override;

private:
    void showVref();

    int m_axis;
    ui::Dialog* m_owner;
};
