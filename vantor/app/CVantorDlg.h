#pragma once
// The test menu: template 102, a grid of buttons that each open one test
// screen modally (TestMenu.h). Closing it ends the program.
#include <QIcon>
#include <vector>

#include "ui/Dialog.h"
#include "vantor/app/TestMenu.h"

namespace vantor {

class CVantorDlg : public ui::Dialog {
    Q_OBJECT
public:
    explicit CVantorDlg(QWidget* parent = nullptr);
    // With another table (tests).
    explicit CVantorDlg(const std::vector<TestScreen>& screens, QWidget* parent = nullptr);

    static QString versionedCaption(const QString& caption); // "%s - v1.02"

protected:
    bool onInitDialog() override;

private:
    const std::vector<TestScreen>& m_screens;
    QIcon m_hIcon; // icon 128
};

// Icon 128 of the program.
QIcon vantorIcon();

} // namespace vantor
