#include "CPellamApp.h"

#include <QCoreApplication>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/Language.h"
#include "ui/Resources.h"

namespace pellam {

CPellamApp::CPellamApp(QStringList librarySearchPath) : m_searchPath(std::move(librarySearchPath)) {}

CPellamApp::~CPellamApp()
{
    if (m_libraryLoaded)
        ui::Resources::unloadLibrary();
}

void CPellamApp::chooseLanguage()
{
    // The framework keeps application settings under this name.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsRegistryKey));
    m_libraryLoaded = false;
    m_prefix = languagePrefix();
    QString why;
    m_libraryLoaded = loadLanguageLibrary(m_prefix, m_searchPath, &why);
    if (!m_libraryLoaded)
        qWarning("language library %s: %s; the built-in resources serve",
                 qPrintable(languageLibraryName(m_prefix)), qPrintable(why));
}

bool CPellamApp::InitInstance()
{
    chooseLanguage();
    {
        CDiagnosticsMenuDlg menu;
        menu.doModal();
    }
    return false;
}

} // namespace pellam
