#pragma once
// "Copy Diagnostics Files To USB" (template 142): a keypad for the printer's
// serial number; the tenth character starts the copy of the error log and
// the diagnostics results to the USB drive, and the dialog closes whatever
// came of it. Typed characters that no file name may hold are refused.
#include <QString>

#include "ui/Dialog.h"

namespace pellam {

class CopyToUSBDlg : public ui::Dialog {
public:
    explicit CopyToUSBDlg(QWidget* parent = nullptr);

    const QString& serial() const { return m_serial; }
    bool errorLogCopied() const { return m_errorLogCopied; }
    bool resultsCopied() const { return m_resultsCopied; }

protected:
    bool onInitDialog() override;
    void onOK() override {} // Enter does nothing: the tenth character decides

private:
    void onDigit(QChar digit);
    void onClear();
    void onEditChanged();
    void checkSerial();
    void copyFiles();
    void showSerial(const QString& text);

    QString m_serial;
    bool m_errorLogCopied = false;
    bool m_resultsCopied = false;
    bool m_settingText = false; // the program itself fills the edit
};

} // namespace pellam
