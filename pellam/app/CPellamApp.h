#pragma once
// The application object: start-up chooses the language, then runs the
// "Diagnostics Menu" modally; when it closes the program ends.
#include <QString>
#include <QStringList>

namespace pellam {

class CPellamApp {
public:
    // Where language libraries are looked for; empty: the program's folder
    // (tests point it elsewhere).
    explicit CPellamApp(QStringList librarySearchPath = {});
    ~CPellamApp();
    CPellamApp(const CPellamApp&) = delete;
    CPellamApp& operator=(const CPellamApp&) = delete;

    // The start-up steps and the menu's modal loop. Returns false, so that
    // the process ends without a message loop of its own.
    bool InitInstance();

    // Steps 1 to 4 alone: the settings key, the prefix and the library.
    void chooseLanguage();
    bool resourceLibraryLoaded() const { return m_libraryLoaded; }
    const QString& prefix() const { return m_prefix; }

private:
    QStringList m_searchPath;
    QString m_prefix;
    bool m_libraryLoaded = false; // the language library in force, if any
};

inline constexpr const char* kSettingsRegistryKey = "Local AppWizard-Generated Applications";

} // namespace pellam
