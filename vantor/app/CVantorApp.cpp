#include "CVantorApp.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "ui/Prompts.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

QString CVantorApp::LoadWarning(const QString& path)
{
    return QStringLiteral("Warning: %1 not Found. Program not able to save option correctly.").arg(path);
}

QString CVantorApp::UnreadableWarning(const QString& path)
{
    return QStringLiteral("Warning: %1 could not be read. Program not able to save option correctly.").arg(path);
}

QString CVantorApp::SaveWarning(const QString& path)
{
    return QStringLiteral("Warning: the settings could not be saved to %1.").arg(path);
}

bool CVantorApp::LoadSettings(const QString& path)
{
    SetSettingsSaveFailureHandler([](const QString& failed) { ui::messageBox(SaveWarning(failed)); });
    if (LoadSettingsFile(path))
        return true;
    // The program goes on with defaults; the file, if any, is left as it is.
    ui::messageBox(!path.isEmpty() && QFileInfo::exists(path) ? UnreadableWarning(path) : LoadWarning(path));
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
