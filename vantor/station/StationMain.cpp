#include "vantor/station/StationMain.h"

#include <QApplication>

#include "ui/ResultList.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/station/RecentSequences.h"
#include "vantor/station/RecordView.h"
#include "vantor/station/RecordsHistory.h"
#include "vantor/station/StationEngine.h"
#include "vantor/station/StationWindow.h"

namespace vantor::station {

QString sectionOfLines(const ui::ResultList& list)
{
    if (const auto* dialog = dynamic_cast<const CTestDlg*>(list.window()))
        return dialog->section();
    if (const auto* view = dynamic_cast<const RecordView*>(list.window()))
        return view->step(view->shownStep()).value(QStringLiteral("section")).toString();
    if (const auto* station = dynamic_cast<const StationWindow*>(list.window())) {
        const int step = station->resultsStep();
        const auto& plan = station->model().sequence();
        if (plan && step >= 0 && step < int(plan->steps.size()))
            return plan->steps[size_t(step)].section;
    }
    return QString();
}

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
