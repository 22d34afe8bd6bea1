// Build-time tool: parses a resource script and writes its compiled form.
//   ui_script_compiler <script.rc> <embedded path> <output>
// The script is parsed under the path it is embedded at (":/vantor/vantor.rc"),
// its includes read beside it in the source tree, so that the compiled
// templates name their files as a parse of the embedded script would. A
// script that does not parse fails the build with the resource compiler's
// "file(line): message".
#include "ui/CompiledScript.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: ui_script_compiler <script.rc> <embedded path> <output>\n");
        return 2;
    }
    const QString sourceFolder = QFileInfo(args[1]).absolutePath();
    const QString embedded = args[2];
    const QString embeddedFolder = QFileInfo(embedded).path();
    const ui::IncludeLoader beside = ui::folderIncludeLoader();
    // An including file's embedded name, mapped back to where it lies here.
    const ui::IncludeLoader loader = [&](const QString& name, const QString& from) {
        QString here = from;
        if (here.startsWith(embeddedFolder + u'/'))
            here = sourceFolder + here.mid(embeddedFolder.size());
        return beside(name, here);
    };
    const std::optional<QString> text = beside(QFileInfo(args[1]).fileName(), sourceFolder + QStringLiteral("/x"));
    if (!text) {
        std::fprintf(stderr, "%s: cannot open the resource script\n", qPrintable(args[1]));
        return 1;
    }
    const ui::ParseResult r = ui::parseResourceScript(*text, embedded, loader);
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error.toString()));
        return 1;
    }
    const QByteArray bytes = ui::compileScript(*r.script);
    QSaveFile out(args[3]);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args[3]), qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
