#include "Language.h"

#include <iterator>

#include "platform/Registry.h"
#include "platform/WideText.h"
#include "ui/Resources.h"

namespace pellam {

const QString& defaultLanguagePrefix()
{
    static const QString prefix = QStringLiteral("EN_");
    return prefix;
}

QString languagePrefix()
{
    platform::RegKey key;
    if (!key.open(platform::Hive::LocalMachine, QString::fromUtf16(kLocalSetupKey)))
        return defaultLanguagePrefix();
    char16_t buffer[256] = {}; // 512 bytes, as the platform's call is given
    const bool read = key.queryString(QString::fromUtf16(kLanguagePrefixValue), buffer, sizeof buffer);
    key.close();
    if (!read)
        return defaultLanguagePrefix();
    return platform::wideTextUntilNul(buffer, qsizetype(std::size(buffer)));
}

QString languageLibraryName(const QString& prefix)
{
    return prefix + QString::fromUtf16(kLanguageLibrarySuffix);
}

bool loadLanguageLibrary(const QString& prefix, const QStringList& searchPath, QString* error)
{
    if (ui::Resources::libraryLoaded())
        ui::Resources::unloadLibrary();
    if (prefix.contains(QLatin1Char('/')) || prefix.contains(QLatin1Char('\\')) || prefix.contains(QLatin1Char(':'))) {
        if (error)
            *error = QStringLiteral("language prefix \"%1\" holds a path separator").arg(prefix);
        return false;
    }
    return ui::Resources::loadLibrary(languageLibraryName(prefix), searchPath, error);
}

} // namespace pellam
