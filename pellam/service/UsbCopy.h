#pragma once
// The copy of the printer's two diagnostic files to the USB drive (\Hard
// Disk) under the printer's serial number, widget-free. The screen
// (CopyToUSBDlg) shows the messages in between.
#include <QString>
#include <optional>

namespace pellam::service {

inline constexpr const char16_t* kUsbDrive = u"\\Hard Disk";
inline constexpr const char16_t* kCopyFolder = u"\\Hard Disk\\TQ80(82) Diagnostics Files\\";
inline constexpr const char16_t* kErrorLogSource = u"\\store\\Error_Log.txt";
inline constexpr const char16_t* kResultsSource = u"\\store\\Diagnostics_Results.txt";
inline constexpr int kSerialLength = 10;

// "\Hard Disk\TQ80(82) Diagnostics Files\TQ80(82)<serial> Error_Log.txt" and
// "... Diagnostics_Results.txt".
QString errorLogDestination(const QString& serial);
QString resultsDestination(const QString& serial);

// The first character that no file name may hold (a control character, or
// one of \ / : * ? " < > |), if any. Such a character in the serial number
// would put the copy somewhere else or nowhere.
std::optional<QChar> forbiddenFileNameChar(const QString& text);

// The drive is there (DevkitFs::DirExists).
bool usbDrivePresent();
// Makes the copy folder; an existing one serves unchanged.
bool makeCopyFolder();

struct FileCopy {
    bool sourceFound = false; // DevkitFs::FileExists
    bool copied = false;      // this copy completed and the destination exists
};
// Copies a device file over any file of the destination's name. The old
// destination is replaced only by a complete copy.
FileCopy copyReplacing(const QString& source, const QString& destination);

} // namespace pellam::service
