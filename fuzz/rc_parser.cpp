// Feeds arbitrary bytes to the resource script parser as the script and as
// every file it includes, then builds each dialog it parsed (offscreen), as
// the programs do when a screen opens. Whatever parses also goes through the
// compiled form a build embeds and must come back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <QApplication>

#include "ui/CompiledScript.h"
#include "ui/Dialog.h"
#include "ui/ResourceScript.h"
#include "ui/Resources.h"

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "rc_parser";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *a;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    app();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ui::IncludeLoader loader = [&text](const QString& name, const QString&) -> std::optional<QString> {
        if (name == u"resource.h")
            return text;
        return std::nullopt;
    };
    ui::ParseResult r = ui::parseResourceScript(text, QStringLiteral("fuzz.rc"), loader);
    if (!r.ok()) {
        if (r.error.toString().isEmpty())
            std::abort();
        return 0;
    }
    const auto compiled = ui::readCompiledScript(ui::compileScript(*r.script));
    if (!compiled || !(*compiled == *r.script))
        std::abort();
    std::vector<int> ids;
    for (const auto& [id, d] : r.script->dialogs) {
        // Coordinates reach the widgets clamped to the template's range.
        for (const ui::ControlTemplate& c : d.controls)
            if (c.rect.x() < -32768 || c.rect.x() > 32767 || c.rect.width() < -32768 || c.rect.width() > 32767)
                std::abort();
        ids.push_back(id);
    }
    ui::Resources::setBuiltin(std::move(*r.script));
    // A few dialogs per input keep the rate up; the corpus spreads them.
    for (size_t i = 0; i < ids.size() && i < 4; ++i) {
        ui::Dialog d(ids[i]);
        if (d.create())
            (void)d.controlIds();
    }
    return 0;
}
