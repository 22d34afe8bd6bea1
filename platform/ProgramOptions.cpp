#include "platform/ProgramOptions.h"

#include <QCommandLineParser>
#include <cstdio>
#include <stdexcept>

namespace platform {

namespace {

QStringList namesOf(const ProgramOption& o)
{
    return QString::fromLatin1(o.names).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

// The name by which the rest of the program asks: the long one.
QString mainName(const ProgramOption& o)
{
    return namesOf(o).constLast();
}

// "-h, --help" or "--run <test>".
QString optionLabel(const ProgramOption& o)
{
    QStringList parts;
    for (const QString& n : namesOf(o))
        parts << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString label = parts.join(QStringLiteral(", "));
    if (o.valueName)
        label += QStringLiteral(" <%1>").arg(QString::fromLatin1(o.valueName));
    return label;
}

// Words of `text` filled into lines of at most `width` characters.
QStringList wrap(const QString& text, int width)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// Text set in roff: no request or escape of the reader's own, and hyphens
// that stay hyphens (lintian asks for "\-" in option names).
QString roff(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\e");
        else if (c == QLatin1Char('-'))
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    // A line that starts with a dot or an apostrophe would be read as a request.
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.startsWith(QLatin1Char('.')) || l.startsWith(QLatin1Char('\'')))
            l.prepend(QStringLiteral("\\&"));
    return lines.join(QLatin1Char('\n'));
}

QString roffOptionLabel(const ProgramOption& o)
{
    QStringList parts;
    for (const QString& n : namesOf(o))
        parts << QStringLiteral("\\fB%1\\fR").arg(roff((n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n));
    QString label = parts.join(QStringLiteral(", "));
    if (o.valueName)
        label += QStringLiteral(" \\fI%1\\fR").arg(roff(QString::fromLatin1(o.valueName)));
    return label;
}

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QCommandLineOption toQtOption(const ProgramOption& option)
{
    QCommandLineOption o(namesOf(option), QString::fromLatin1(option.description));
    if (option.valueName)
        o.setValueName(QString::fromLatin1(option.valueName));
    return o;
}

const ProgramOption& findOption(const ProgramInfo& info, const QString& name)
{
    for (const ProgramOption& o : info.options)
        if (namesOf(o).contains(name))
            return o;
    throw std::out_of_range("no option " + name.toStdString());
}

void addOptions(QCommandLineParser& parser, const ProgramInfo& info)
{
    for (const ProgramOption& o : info.options)
        parser.addOption(toQtOption(o));
}

QString usageText(const ProgramInfo& info)
{
    const QString name = QString::fromLatin1(info.name);
    QString text = QStringLiteral("Usage: %1 [options]\n").arg(name);
    for (const QString& line : QString::fromLatin1(info.synopsis).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += QStringLiteral("       %1 %2\n").arg(name, line);
    text += QStringLiteral("Try '%1 --help' for more.\n").arg(name);
    return text;
}

QString helpText(const ProgramInfo& info)
{
    const QString name = QString::fromLatin1(info.name);
    QString text = QStringLiteral("Usage: %1 [options]\n").arg(name);
    for (const QString& line : QString::fromLatin1(info.synopsis).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        text += QStringLiteral("       %1 %2\n").arg(name, line);
    for (const QString& para : QString::fromLatin1(info.description).split(QStringLiteral("\n\n")))
        text += QLatin1Char('\n') + wrap(para, 79).join(QLatin1Char('\n')) + QLatin1Char('\n');
    text += QStringLiteral("\nOptions:\n");
    constexpr int kColumn = 22;
    for (const ProgramOption& o : info.options) {
        if (o.hidden)
            continue;
        const QString label = QStringLiteral("  ") + optionLabel(o);
        const QStringList lines = wrap(QString::fromLatin1(o.description), 79 - kColumn);
        if (label.size() < kColumn) {
            text += label.leftJustified(kColumn) + lines.value(0) + QLatin1Char('\n');
        } else {
            text += label + QLatin1Char('\n') + QString(kColumn, QLatin1Char(' ')) + lines.value(0) + QLatin1Char('\n');
        }
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += QString(kColumn, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
    }
    return text;
}

QString versionText(const ProgramInfo& info)
{
    return QStringLiteral("%1 %2\n").arg(QString::fromLatin1(info.name), QString::fromLatin1(info.version));
}

QString manPage(const ProgramInfo& info, const QString& packageName, const QString& packageVersion)
{
    const QString name = QString::fromLatin1(info.name);
    QString t;
    t += QStringLiteral(".TH %1 1 \"\" \"%2 %3\" \"User Commands\"\n")
             .arg(name.toUpper(), roff(packageName), roff(packageVersion));
    t += QStringLiteral(".SH NAME\n%1 \\- %2\n").arg(roff(name), roff(QString::fromLatin1(info.summary)));
    t += QStringLiteral(".SH SYNOPSIS\n.B %1\n[\\fIoptions\\fR]\n").arg(roff(name));
    for (const QString& line : QString::fromLatin1(info.synopsis).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        t += QStringLiteral(".br\n.B %1\n%2\n").arg(roff(name), roff(line));
    t += QStringLiteral(".SH DESCRIPTION\n");
    bool first = true;
    for (const QString& para : QString::fromLatin1(info.description).split(QStringLiteral("\n\n"))) {
        if (!first)
            t += QStringLiteral(".PP\n");
        first = false;
        t += roff(para) + QLatin1Char('\n');
    }
    t += QStringLiteral(".SH OPTIONS\n");
    for (const ProgramOption& o : info.options) {
        if (o.hidden)
            continue;
        t += QStringLiteral(".TP\n%1\n%2\n").arg(roffOptionLabel(o), roff(QString::fromLatin1(o.description)));
    }
    if (info.manSections)
        t += QString::fromLatin1(info.manSections);
    return t;
}

QStringList argumentList(int argc, char* argv[])
{
    QStringList out;
    for (int i = 0; i < argc; ++i)
        out << QString::fromLocal8Bit(argv[i]);
    return out;
}

CommandLine parseCommandLine(const ProgramInfo& info, const QStringList& arguments)
{
    CommandLine r;
    r.arguments = arguments;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser, info);
    auto fail = [&](const QString& why) {
        r.outcome = CommandLine::Outcome::Error;
        r.error = why;
        return r;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    const ProgramOption* headless = nullptr;
    const ProgramOption* setting = nullptr;
    const ProgramOption* window = nullptr;
    for (const ProgramOption& o : info.options) {
        if (!parser.isSet(mainName(o)))
            continue;
        r.set << mainName(o);
        if (o.valueName)
            r.values.insert(mainName(o), parser.value(mainName(o)));
        if (o.kind == ProgramOption::Kind::Answer && r.answer.isEmpty())
            r.answer = mainName(o);
        else if (o.kind == ProgramOption::Kind::Headless && !headless)
            headless = &o;
        else if (o.kind == ProgramOption::Kind::RunSetting && !setting)
            setting = &o;
        else if (o.kind == ProgramOption::Kind::Window && !window)
            window = &o;
    }
    if (!r.answer.isEmpty()) {
        r.outcome = CommandLine::Outcome::Answer;
        return r;
    }
    if (window && headless)
        return fail(QStringLiteral("--%1 opens a window; --%2 runs without one.").arg(mainName(*window), mainName(*headless)));
    if (window && parser.positionalArguments().size() == 1)
        r.file = parser.positionalArguments().constFirst();
    else if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));
    if (setting && !headless)
        return fail(QStringLiteral("--%1 goes with a run without a window (--run).").arg(mainName(*setting)));
    r.outcome = headless ? CommandLine::Outcome::Headless : CommandLine::Outcome::Window;
    return r;
}

void writeOut(const QString& text)
{
    writeTo(stdout, text);
}

void writeErr(const QString& text)
{
    writeTo(stderr, text);
}

} // namespace platform
