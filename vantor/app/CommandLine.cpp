#include "vantor/app/CommandLine.h"

namespace vantor {

namespace {

using Kind = platform::ProgramOption::Kind;

// Options of runs without a window come after --run; an option that opens
// no window needs no display.
constexpr platform::ProgramOption kOptions[] = {
    {"h,help", nullptr, "Show this help and exit.", Kind::Answer},
    {"v,version", nullptr, "Show the program's version and exit.", Kind::Answer},
    {"man", nullptr, "Write the manual page in roff and exit.", Kind::Answer, true},
    {"list", nullptr,
     "Name the tests that can run without a window: each one's menu label and, in brackets, its settings "
     "section.",
     Kind::Headless},
    {"run", "test",
     "Run one cycling test without a window, from its settings in Vantor.ini: its menu label (\"Platen Test\") "
     "or its section (\"platen\"), either without regard to case. The result lines go to standard output.",
     Kind::Headless},
    {"cycles", "N", "Total cycles of the run, in place of the test's setting.", Kind::RunSetting},
    {"pause", "MS", "Pause between cycles in milliseconds, in place of the test's setting.", Kind::RunSetting},
    {"json", "FILE",
     "Write the run's record (test, parameters, start and end, cycles done, every line, count of FAIL lines) "
     "to FILE.",
     Kind::RunSetting},
    {"ini", "FILE", "Read the settings from FILE instead of Vantor.ini; the run writes no settings.",
     Kind::RunSetting},
    {"measurements", "test", "Name the measurements and series a test reports, with their units, and exit.",
     Kind::Headless},
    {"limit", "L",
     "With --run, repeatable: a limit on a measurement: NAME=a..b (inclusive), NAME=v, NAME>=a, NAME<=b, "
     "NAME=OK, or on a series' aggregate: SERIES.min, .max, .mean or .count with <=, >= or a range. Each "
     "measurement gets a verdict; a failing one fails the run.",
     Kind::RunSetting},
    {"sequence", "FILE",
     "Run the steps of a sequence file (its format is above) for one unit; --json writes its record.",
     Kind::Headless},
    {"operator", "NAME", "With --run or --sequence: who runs it, for the record (default: the login).",
     Kind::RunSetting},
    {"plot", "FILE", "With --run: draw the run's series and per-cycle values into the PNG file FILE (no display needed).",
     Kind::RunSetting},
    {"station", nullptr,
     "Open the \"Vantor Station\" window for a production line instead of the menu, with the sequence file "
     "given after it, or the one used last.",
     Kind::Window},
    {"history", nullptr,
     "List the recorded runs, newest first (the records store: SQLite under the device root, or the server "
     "DIAG_RECORDS names).",
     Kind::Headless},
    {"record", "UUID", "Print one recorded run whole, as JSON.", Kind::Headless},
    {"test", "T", "With --history: runs of this test (menu label or section).", Kind::RunSetting},
    {"serial", "S",
     "With --run or --sequence: the unit's serial number, for the record; with --history: runs of this "
     "serial number.",
     Kind::RunSetting},
    {"since", "DATE", "With --history: runs started at or after DATE (2026-12-01, or a date and time).",
     Kind::RunSetting},
    {"verdict", "V", "With --history: runs with this verdict: PASS, FAIL, ERROR or ABORTED.", Kind::RunSetting},
    {"format", "F", "With --history: table (the default), csv or json.", Kind::RunSetting},
    {"last", "N", "With --history: at most the N newest runs (default 100; 0: all).", Kind::RunSetting},
    {"db", "FILE", "With --history or --record: read this SQLite records file.", Kind::RunSetting},
};

constexpr const char* kManSections = R"(.SH EXIT STATUS
Without a window: 0 when every cycle passed (and every measurement met its limit), 1 when a result line
reports FAIL or a measurement misses its limit, 2 when the run was refused, an input is bad or the
command line is wrong (an unknown option prints the usage on standard error), 3 when a sequence or run
was stopped (Ctrl-C, SIGTERM) and its record says ABORTED.
.SH ENVIRONMENT
.TP
.B DIAG_DEVICE_ROOT
Host folder that stands for the printer's file system (\eStore, \eboot, \eHard Disk, the registry).
.TP
.B DIAG_HARD_DISK
Host folder that stands for \eHard Disk, the printer's USB drive.
.TP
.B DIAG_TRACE
A file to which every request sent to a device is appended.
.TP
.B XDG_DATA_HOME
Where an installed program keeps its data folder (default \fI~/.local/share\fR).
.SH FILES
.TP
.I $XDG_DATA_HOME/printer\-diagnostics/Vantor.ini
The test settings of an installed program; beside the program when it runs from its build folder.
.TP
.I $XDG_DATA_HOME/printer\-diagnostics/device/
The device root: registry hives, \eStore, the simulated printer's state and spool.
.TP
.I /usr/share/printer\-diagnostics/
The starter files copied into the data folder on the first start, and only then.
.SH SEE ALSO
.BR pellam (1)
)";

} // namespace

const platform::ProgramInfo& commandLineInfo()
{
    static const platform::ProgramInfo info{
        "vantor",
        kVersion,
        "engineering diagnostics of the tape and label printer",
        "--list\n--run <test> [--cycles N] [--pause MS] [--limit L]... [--json FILE] [--ini FILE]\n"
        "--measurements <test>\n--station [FILE]\n--sequence FILE [--serial S] [--operator NAME] [--json FILE]\n"
        "--history [--test T] [--serial S] [--since DATE] [--verdict V] [--format F] [--last N]\n--record UUID",
        "Vantor opens the menu of about thirty hardware tests of the printer (motors, cutters, sensors, "
        "converters, GPIO, printing, cartridge memories, calibrations); each test keeps its parameters in "
        "Vantor.ini.\n\n"
        "Every cycling test also runs without a window, for automation and production lines; that needs no "
        "display.\n\n"
        "A sequence file (docs/sequences.md; sample/sequences/final-test.json) is one JSON object with "
        "\"name\", \"serialRequired\" (true: --serial must be given) and \"steps\", a list of objects with "
        "\"test\" (a menu label or section), \"cycles\", \"pause\", \"settings\" (keys of the test's section, "
        "applied to a copy), \"limits\" (a measurement's name to its limit, written as --limit takes it) and "
        "\"stopOnFail\".",
        kManSections,
        kOptions,
    };
    return info;
}

QCommandLineOption commandLineOption(const char* name)
{
    return platform::toQtOption(platform::findOption(commandLineInfo(), QString::fromLatin1(name)));
}

} // namespace vantor
