#pragma once
// The TagChip program dialogs: one row per field of the image's table, a
// read box and a program box each, "Read" and "Program". No worker: both
// requests block the user-interface thread until the driver answers, as the
// operator expects of a one-shot read or write.
#include <memory>

#include "ui/Dialog.h"
#include "vantor/screens/cartridge/TagChipCartridge.h"

namespace vantor::cartridge {

class TagChipProgramDlg : public ui::Dialog {
    Q_OBJECT
public:
    struct Ids {
        int templateId;
        int readButton;
        int programButton;
        int readBox;    // + field index
        int programBox; // + field index
    };
    TagChipProgramDlg(const TagChipCartridge& cartridge, const Ids& ids, QWidget* parent);

    int readBox(size_t field) const { return m_ids.readBox + int(field); }
    int programBox(size_t field) const { return m_ids.programBox + int(field); }

protected:
    bool onInitDialog() override;
    void onOK() override {} // Enter does nothing

private:
    void OnRead();
    void OnProgram();
    void enableButtons(bool enabled);

    const TagChipCartridge& m_cartridge;
    Ids m_ids;
    std::unique_ptr<TagChipPort> m_port;
};

} // namespace vantor::cartridge

// The two screens, by the names the menu knows them by.
class TapeTagChipProgramDlg : public vantor::cartridge::TagChipProgramDlg {
    Q_OBJECT
public:
    explicit TapeTagChipProgramDlg(QWidget* parent = nullptr);
};

class RibbonTagChipProgramDlg : public vantor::cartridge::TagChipProgramDlg {
    Q_OBJECT
public:
    explicit RibbonTagChipProgramDlg(QWidget* parent = nullptr);
};
