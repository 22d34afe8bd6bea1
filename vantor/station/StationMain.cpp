#include "vantor/station/StationMain.h"

#include <QApplication>

#include "vantor/app/CVantorApp.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/station/RecentSequences.h"
#include "vantor/station/RecordsHistory.h"
#include "vantor/station/StationEngine.h"
#include "vantor/station/StationWindow.h"

namespace vantor::station {

int runStation(const QString& file)
{
    CVantorApp::LoadSettings(DefaultSettingsPath());
    StationEngine engine;
    RecentSequences recent(RecentSequences::defaultFile());
    const QString lastUsed = recent.paths().isEmpty() ? QString() : recent.paths().front();
    RecordsHistory history;
    StationWindow window(engine, &history, std::move(recent));
    if (!file.isEmpty())
        window.openSequence(file);
    else if (!lastUsed.isEmpty())
        window.openSequence(lastUsed);
    window.show();
    return QApplication::exec();
}

} // namespace vantor::station
