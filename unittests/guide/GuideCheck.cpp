#include "GuideCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "ui/ResourceScript.h"

namespace guide {

namespace {

QStringList quoted(const QString& line)
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral("\"([^\"]+)\""));
    for (auto it = re.globalMatch(line); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

QStringList backticked(const QString& cell)
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral("`([^`]+)`"));
    for (auto it = re.globalMatch(cell); it.hasNext();)
        out << it.next().captured(1).trimmed();
    return out;
}

// A table row's cells; "\|" stays inside its cell.
QStringList cells(const QString& row)
{
    QStringList out;
    QString cell;
    const QString line = row.trimmed();
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\') && i + 1 < line.size() && line[i + 1] == QLatin1Char('|')) {
            cell += QLatin1Char('|');
            ++i;
        } else if (line[i] == QLatin1Char('|')) {
            out << cell.trimmed();
            cell.clear();
        } else {
            cell += line[i];
        }
    }
    if (!cell.trimmed().isEmpty())
        out << cell.trimmed();
    return out;
}

bool isTableRow(const QString& line) { return line.trimmed().startsWith(QLatin1Char('|')); }

} // namespace

Page parsePage(const QString& file, const QString& markdown)
{
    Page page;
    page.file = file;
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)"));
    int keyColumn = -1; // in the table being read
    bool inFence = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        if (line.trimmed().startsWith(QLatin1String("```"))) {
            inFence = !inFence;
            continue;
        }
        if (inFence) {
            static const QRegularExpression run(QStringLiteral("vantor --run \"([^\"]+)\""));
            if (const auto m = run.match(line); m.hasMatch())
                page.runs << m.captured(1);
            continue;
        }
        if (line.startsWith(QLatin1String("**Menu button")))
            page.buttons << quoted(line.mid(line.indexOf(QLatin1String(":**"))));
        if (line.startsWith(QLatin1String("**Settings section")))
            page.sections << quoted(line.mid(line.indexOf(QLatin1String(":**"))));
        for (auto it = picture.globalMatch(line); it.hasNext();)
            page.pictures << it.next().captured(1);

        if (!isTableRow(line)) {
            keyColumn = -1;
            continue;
        }
        const QStringList row = cells(line);
        if (keyColumn < 0) {
            // A header row names its columns; the separator row follows it.
            const bool header = n + 1 < lines.size() && lines[n + 1].contains(QLatin1String("---"));
            if (header)
                keyColumn = static_cast<int>(row.indexOf(QStringLiteral("Settings key")));
            if (keyColumn < 0)
                keyColumn = -2; // a table without keys: skip its rows
            continue;
        }
        if (keyColumn >= 0 && keyColumn < row.size() && !line.contains(QLatin1String("---")))
            page.keys << backticked(row[keyColumn]);
    }
    return page;
}

QStringList checkPages(const QString& folder, const QStringList& buttons, const KnowsKey& knows,
                       const QStringList& runnable)
{
    QStringList problems;
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        problems << QStringLiteral("%1: no pages").arg(folder);

    QStringList covered;
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            problems << QStringLiteral("%1: cannot be read").arg(name);
            continue;
        }
        const Page page = parsePage(name, QString::fromUtf8(f.readAll()));
        for (const QString& b : page.buttons) {
            if (!buttons.contains(b))
                problems << QStringLiteral("%1: names the menu button \"%2\", which the menu does not have").arg(name, b);
            covered << b;
            if (runnable.contains(b) && !page.runs.contains(b))
                problems << QStringLiteral("%1: gives no headless command for \"%2\"").arg(name, b);
        }
        for (const QString& r : page.runs) {
            if (!runnable.contains(r))
                problems << QStringLiteral("%1: names --run \"%2\", which does not run without a window").arg(name, r);
        }
        for (const QString& p : page.pictures) {
            if (p.contains(QLatin1String("://")))
                continue;
            if (!QFileInfo::exists(dir.filePath(p)))
                problems << QStringLiteral("%1: the picture %2 does not exist").arg(name, p);
        }
        if (!page.keys.isEmpty() && page.sections.isEmpty()) {
            problems << QStringLiteral("%1: settings keys but no settings section").arg(name);
            continue;
        }
        for (const QString& key : page.keys) {
            bool known = false;
            for (const QString& section : page.sections)
                known = known || knows(section, key);
            if (!known)
                problems << QStringLiteral("%1: the settings key %2 is not kept in %3")
                                .arg(name, key, page.sections.join(QStringLiteral(", ")));
        }
    }
    for (const QString& b : buttons) {
        if (!covered.contains(b))
            problems << QStringLiteral("%1: no page for the menu button \"%2\"").arg(folder, b);
    }
    return problems;
}

QStringList menuButtonLabels(const QString& script, int dialogId, const std::function<bool(int id)>& keep,
                             QString* error)
{
    const ui::ParseResult parsed = ui::parseResourceFile(script);
    if (!parsed.ok()) {
        if (error)
            *error = parsed.error.toString();
        return {};
    }
    const ui::DialogTemplate* menu = parsed.script->dialog(dialogId);
    if (!menu) {
        if (error)
            *error = QStringLiteral("%1 has no dialog %2").arg(script).arg(dialogId);
        return {};
    }
    QStringList labels;
    for (const ui::ControlTemplate& c : menu->controls) {
        const bool pushButton = c.className == QLatin1String("Button")
            && (c.style & ui::style::BS_TYPEMASK) <= ui::style::BS_DEFPUSHBUTTON;
        if (pushButton && keep(c.id))
            labels << c.text;
    }
    return labels;
}

} // namespace guide
