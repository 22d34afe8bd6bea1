#include "pellam/app/CommandLine.h"

#include "pellam/app/CInfoDlg.h"

namespace pellam {

namespace {

using Kind = platform::ProgramOption::Kind;

constexpr platform::ProgramOption kOptions[] = {
    {"h,help", nullptr, "Show this help and exit.", Kind::Answer},
    {"v,version", nullptr, "Show the program's version and exit.", Kind::Answer},
    {"man", nullptr, "Write the manual page in roff and exit.", Kind::Answer, true},
};

constexpr const char* kManSections = R"(.SH EXIT STATUS
0 when the menu was closed; 2 when the command line is wrong (an unknown option prints the usage on
standard error).
.SH ENVIRONMENT
.TP
.B DIAG_DEVICE_ROOT
Host folder that stands for the printer's file system (\eStore, \eboot\ePellam.ini, \eHard Disk, the
registry with the language prefix).
.TP
.B DIAG_HARD_DISK
Host folder that stands for \eHard Disk, the printer's USB drive, for example where a USB stick is mounted.
.TP
.B DIAG_TRACE
A file to which every request sent to a device is appended.
.TP
.B XDG_DATA_HOME
Where an installed program keeps its data folder (default \fI~/.local/share\fR).
.SH FILES
.TP
.I $XDG_DATA_HOME/printer\-diagnostics/device/
The device root of an installed program: registry hives, \eStore, \eboot\ePellam.ini, the simulated
printer's state and spool; beside the program when it runs from its build folder.
.TP
.I /usr/lib/<triplet>/pellam/EN_Pellam.so, DE_Pellam.so
The language libraries, chosen by the registry value LanguagePrefix.
.TP
.I /usr/share/printer\-diagnostics/
The starter files copied into the data folder on the first start, and only then.
.SH SEE ALSO
.BR vantor (1)
)";

} // namespace

const platform::ProgramInfo& commandLineInfo()
{
    static const platform::ProgramInfo info{
        "pellam",
        kAppVersion, // as the information screen shows it
        "service diagnostics of the tape and label printer",
        "",
        "Pellam opens the service menu of the printer: sensor readings, the error log, the USB and keyboard "
        "screens and, behind a passcode, the calibrations, print tests and the copy of the diagnostic files to "
        "a USB drive, in the language chosen in the registry.",
        kManSections,
        kOptions,
    };
    return info;
}

} // namespace pellam
