#include "CompiledCheck.h"

#include <QFile>

#include "ui/CompiledScript.h"

namespace ui::testing {

QString compiledFormMismatch(const QString& script)
{
    QFile compiled(compiledScriptPath(script));
    if (!compiled.open(QIODevice::ReadOnly))
        return QStringLiteral("no compiled form beside %1").arg(script);
    const auto read = readCompiledScript(compiled.readAll());
    if (!read)
        return QStringLiteral("the compiled form of %1 does not read").arg(script);
    const ParseResult parsed = parseResourceFile(script);
    if (!parsed.ok())
        return parsed.error.toString();
    if (read->dialogs.empty())
        return QStringLiteral("%1 holds no templates").arg(script);
    for (const auto& [id, d] : parsed.script->dialogs) {
        const DialogTemplate* mine = read->dialog(id);
        if (!mine || !(*mine == d))
            return QStringLiteral("template %1 (%2) differs").arg(id).arg(d.idName);
    }
    if (!(*read == *parsed.script))
        return QStringLiteral("the strings, the symbols or the set of templates differ");
    return QString();
}

} // namespace ui::testing
