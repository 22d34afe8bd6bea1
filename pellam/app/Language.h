#pragma once
// The language of the user interface: a prefix from the registry names the
// resource library <prefix>Pellam.so, whose templates and strings replace
// the built-in English ones.
#include <QString>
#include <QStringList>

namespace pellam {

inline constexpr const char16_t* kLocalSetupKey = u"Software\\ZXQ\\SysSetup\\LocalSetup";
inline constexpr const char16_t* kLanguagePrefixValue = u"LanguagePrefix";
inline constexpr const char16_t* kLanguageLibrarySuffix = u"Pellam.so";

// "EN_", made once on first use.
const QString& defaultLanguagePrefix();
// The value "LanguagePrefix" of HKEY_LOCAL_MACHINE\Software\ZXQ\SysSetup\LocalSetup
// (at most 255 characters), or the default when the key or value is missing.
QString languagePrefix();
// The prefix followed by "Pellam.so".
QString languageLibraryName(const QString& prefix);

// Frees the library in force, then loads the one of `prefix` by its absolute
// path in the program's folder (or the first folder of `searchPath` that has
// it), never through the system's library search. False when none loads: the
// built-in resources serve. A prefix that holds a path separator names no
// library, so the registry cannot point the program at code elsewhere.
bool loadLanguageLibrary(const QString& prefix, const QStringList& searchPath = {}, QString* error = nullptr);

} // namespace pellam
