#include "vantor/station/StationMain.h"

#include <QApplication>

#include "vantor/app/CVantorApp.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/station/RecentSequences.h"
#include "vantor/station/RecordsHistory.h"
#include "vantor/station/StationEngine.h"
#include "vantor/station/StationWindow.h"

namespace vantor::station {

bool wantsStation(const QStringList& arguments)
{
    return arguments.mid(1).contains(QStringLiteral("--station"));
}

QString stationFile(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--station"), 1);
    if (at < 0 || at + 1 >= arguments.size() || arguments[at + 1].startsWith(QStringLiteral("--")))
        return {};
    return arguments[at + 1];
}

int runStation(const QStringList& arguments)
{
    CVantorApp::LoadSettings(DefaultSettingsPath());
    StationEngine engine;
    RecentSequences recent(RecentSequences::defaultFile());
    const QString lastUsed = recent.paths().isEmpty() ? QString() : recent.paths().front();
    RecordsHistory history;
    StationWindow window(engine, &history, std::move(recent));
    const QString file = stationFile(arguments);
    if (!file.isEmpty())
        window.openSequence(file);
    else if (!lastUsed.isEmpty())
        window.openSequence(lastUsed);
    window.show();
    return QApplication::exec();
}

} // namespace vantor::station
