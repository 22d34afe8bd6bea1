// Feeds arbitrary bytes to the resource script parser as the script and as
// every file it includes (to a bounded depth).
#include <cstddef>
#include <cstdint>

#include "ui/ResourceScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ui::IncludeLoader loader = [&text](const QString& name, const QString&) -> std::optional<QString> {
        if (name == u"resource.h")
            return text;
        return std::nullopt;
    };
    const ui::ParseResult r = ui::parseResourceScript(text, QStringLiteral("fuzz.rc"), loader);
    if (r.ok()) {
        // Walk the result so that anything it holds is touched.
        size_t n = 0;
        for (const auto& [id, d] : r.script->dialogs)
            n += d.controls.size() + size_t(d.caption.size()) + size_t(id & 1);
        for (const auto& [id, s] : r.script->strings)
            n += size_t(s.size());
        return n == size_t(-1);
    }
    return r.error.toString().isEmpty() ? 1 : 0;
}
