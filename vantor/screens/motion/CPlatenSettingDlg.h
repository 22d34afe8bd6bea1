#pragma once
// The platen panel (template 147): one set of platen move parameters as a
// child window of its owner.
//
// Mode 0: the reverse panel of the platen life test. Mode 1: the forward
// panel, which also shows " Enable Reverse Platen" and tells its owner of
// each click with WM_PLATEN_REVERSE (wParam 1 checked, 0 unchecked). Mode 2:
// the ribbon form that the ribbon tests embed: no title, no clutch and no
// hold times, 388 x 120 pixels at the owner's top left, the other controls
// moved up by 24 pixels.
//
//     m_panel = std::make_unique<CPlatenSettingDlg>(CPlatenSettingDlg::kRibbon, this);
//     m_panel->Create(QPoint(18, 294));     // in onInitDialog
//     driver::MotorGroupParams g = m_panel->moveParams();  // at RUN
#include <QPoint>

#include "ui/Dialog.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/settings/TestSettingsRecords.h"

class CPlatenSettingDlg : public ui::Dialog {
    Q_OBJECT
public:
    enum Mode { kReverse = 0, kForward = 1, kRibbon = 2 };
    static constexpr int WM_PLATEN_REVERSE = ui::WM_USER + 105; // 1129
    static constexpr QSize kRibbonSize{388, 120};
    static constexpr int kRibbonShift = 24;

    CPlatenSettingDlg(int mode, ui::Dialog* owner);

    // Creates the panel inside the owner at `pos` (pixels of the owner's
    // client area) and shows it. The ribbon form starts at the top left; a
    // position given here moves it from there.
    bool Create(QPoint pos = QPoint());
    int mode() const { return m_mode; }

    // The title ("Platen (FORWARD)", "Platen (REVERSE)").
    void setCaption(const QString& caption);
    // Shows one panel's values; `useReverse` is the " Enable Reverse Platen"
    // box of the forward panel.
    void showSettings(const PlatenMoveSettings& move, bool useReverse = false);

    // The panel as it stands: speed, ramps, pulses, step mode and holds (no
    // direction; Vref 255).
    vantor::driver::MotorGroupParams moveParams() const;
    bool clutch() const;
    bool reverseEnabled() const;

protected:
    bool onInitDialog() override;

private:
    void OnEnableReverse();

    int m_mode;
    ui::Dialog* m_owner;
};
