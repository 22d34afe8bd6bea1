#pragma once
// A program's command line as one table: the parser, --help and the manual
// page are all made from it, so an option cannot be in one and not the
// others. Parsing needs no QCoreApplication, so --help and --version answer
// on a machine without a display.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHash>
#include <QString>
#include <QStringList>
#include <span>

namespace platform {

struct ProgramOption {
    enum class Kind {
        Answer,     // answers on standard output and exits (--help, --version)
        Headless,   // does its work without a window (--run, --list)
        RunSetting, // only means something with a Headless option
        Window,     // opens a window other than the menu; may take one file argument
    };
    const char* names;       // "h,help": one-letter names first
    const char* valueName;   // null for a flag
    const char* description; // one paragraph, plain text
    Kind kind = Kind::Headless;
    bool hidden = false;     // not in --help nor the manual (the manual's own generator)
};

struct ProgramInfo {
    const char* name;        // "vantor"
    const char* version;     // "1.02"
    const char* summary;     // the manual's NAME line: "engineering diagnostics of the printer"
    const char* synopsis;    // usage lines after the name, '\n' between them
    const char* description; // paragraphs, "\n\n" between them
    const char* manSections; // roff: ENVIRONMENT, FILES, EXIT STATUS...
    std::span<const ProgramOption> options;
};

QCommandLineOption toQtOption(const ProgramOption& option);
// The option of `info` one of whose names is `name`; throws std::out_of_range
// for a name the table does not hold (a programming error).
const ProgramOption& findOption(const ProgramInfo& info, const QString& name);
void addOptions(QCommandLineParser& parser, const ProgramInfo& info);

// The text of --help (standard output) and of the usage after an error
// (standard error).
QString helpText(const ProgramInfo& info);
QString usageText(const ProgramInfo& info);
QString versionText(const ProgramInfo& info);
// The manual page in roff (man(7)), section 1.
QString manPage(const ProgramInfo& info, const QString& packageName, const QString& packageVersion);

struct CommandLine {
    enum class Outcome { Answer, Headless, Window, Error };
    Outcome outcome = Outcome::Window;
    QString answer;            // with Answer: the first name of the option to answer
    QString error;             // why, with Error
    QStringList arguments;     // as given, the program's name first
    QStringList set;           // the first name of every option given
    QString file;              // the one file argument a Window option may take
    QHash<QString, QString> values; // by first name: the last value given, for options that take one
    bool isSet(const char* name) const { return set.contains(QLatin1String(name)); }
    QString value(const char* name) const { return values.value(QLatin1String(name)); }
};

// An Answer option wins over everything else given; a Headless one makes a
// run without a window; none of either opens the window. Unknown options,
// a missing value, stray arguments and a RunSetting without a Headless
// option are errors.
CommandLine parseCommandLine(const ProgramInfo& info, const QStringList& arguments);
QStringList argumentList(int argc, char* argv[]);

// Writes to the standard streams without a QCoreApplication.
void writeOut(const QString& text);
void writeErr(const QString& text);

} // namespace platform
