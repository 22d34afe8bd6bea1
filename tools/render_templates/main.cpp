// render_templates <script.rc> <output folder>
//
// Builds every dialog template of a resource script, offscreen, and saves
// each as <name>.png (the template's symbol, else its number), for review
// and for the user guide. Exits non-zero when the script does not parse or a
// picture cannot be written.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "ui/Dialog.h"
#include "ui/Resources.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: render_templates <script.rc> <output folder>\n");
        return 2;
    }
    ui::ParseResult r = ui::parseResourceFile(args[1]);
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error.toString()));
        return 1;
    }
    QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args[2]));
        return 1;
    }
    std::vector<int> ids;
    for (const auto& [id, d] : r.script->dialogs)
        ids.push_back(id);
    ui::Resources::setBuiltin(std::move(*r.script));

    int failures = 0;
    for (int id : ids) {
        ui::Dialog dlg(id);
        if (!dlg.create()) {
            ++failures;
            continue;
        }
        const ui::DialogTemplate* t = dlg.dialogTemplate();
        const QString name = t->idName.isEmpty() ? QString::number(id) : t->idName;
        const QString file = out.filePath(name + QStringLiteral(".png"));
        dlg.show();
        QCoreApplication::processEvents();
        if (!dlg.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        } else {
            std::printf("%s  %s\n", qPrintable(file), qPrintable(t->caption));
        }
        dlg.hide();
    }
    return failures == 0 ? 0 : 1;
}
