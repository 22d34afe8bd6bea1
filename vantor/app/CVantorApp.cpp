#include "CVantorApp.h"

#include <QCoreApplication>

#include "ui/Prompts.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

QString CVantorApp::LoadWarning(const QString& path)
{
    return QStringLiteral("Warning: %1 not Found. Program not able to save option correctly.").arg(path);
}

bool CVantorApp::LoadSettings(const QString& path)
{
    if (LoadSettingsFile(path))
        return true;
    // The program goes on with defaults; later saves have no file to replace.
    ui::messageBox(LoadWarning(path));
    return false;
}

int CVantorApp::InitInstance()
{
    // The framework's registry key; the program keeps its settings in Vantor.ini.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    LoadSettings(DefaultSettingsPath());
    CVantorDlg dlg;
    dlg.doModal();
    return 0;
}

} // namespace vantor
