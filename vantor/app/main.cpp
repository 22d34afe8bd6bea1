// The engineering program's composition root: the simulated printer answers
// PRN1: unless configured absent (docs/simulator.md).
#include <QApplication>
#include <memory>

#include "platform/DataFolder.h"
#include "platform/ProgramOptions.h"
#include "platform/Trace.h"
#include "ui/Resources.h"
#include "ui/StartupProbe.h"
#include "sim/printer/SimulatedDevices.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/app/CommandLine.h"
#include "vantor/app/HeadlessRun.h"
#include "vantor/app/HistoryCommand.h"
#include "vantor/app/ProgramRecords.h"
#include "vantor/measure/Measurements.h"
#include "vantor/measure/RecordSink.h"
#include "vantor/res/VantorResources.h"
#include "vantor/station/RecordView.h"
#include "vantor/station/StationMain.h"
#ifdef DIAG_HAVE_PLOT
#include "vantor/plot/PlotHook.h"
#include "vantor/plot/PlotView.h"
#include "vantor/plot/Render.h"
#endif

#ifndef DIAG_PACKAGE_NAME
#define DIAG_PACKAGE_NAME "printer-diagnostics"
#define DIAG_PACKAGE_VERSION ""
#endif

namespace {

// The installed program keeps its data in the user's folder; the first
// start says where it came from, once.
void prepareData()
{
    const platform::DataFolderChoice data = platform::prepareDataFolder();
    if (data.seeded)
        platform::writeErr(QStringLiteral("vantor: first start: %1 filled from %2\n").arg(data.folder, data.starter));
    if (!data.error.isEmpty())
        platform::writeErr(QStringLiteral("vantor: %1 not filled from %2: %3\n").arg(data.folder, data.starter, data.error));
}

#ifdef DIAG_HAVE_PLOT
std::vector<vantor::measure::Series> plottableLines(const QString& section, const QStringList& lines)
{
    return vantor::measure::plottable(vantor::measure::collect(section, lines));
}

// A result list's "Plot": its lines read by the table of their test.
std::vector<vantor::measure::Series> seriesOf(const ui::ResultList& list)
{
    return plottableLines(vantor::station::sectionOfLines(list), list.lines());
}
#endif

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any application object exists: --help and --version
    // work in a terminal without a display.
    const platform::ProgramInfo& info = vantor::commandLineInfo();
    const platform::CommandLine cl = platform::parseCommandLine(info, platform::argumentList(argc, argv));
    switch (cl.outcome) {
    case platform::CommandLine::Outcome::Error:
        platform::writeErr(QStringLiteral("vantor: %1\n").arg(cl.error) + platform::usageText(info));
        return 2;
    case platform::CommandLine::Outcome::Answer:
        if (cl.answer == QLatin1String("help"))
            platform::writeOut(platform::helpText(info));
        else if (cl.answer == QLatin1String("version"))
            platform::writeOut(platform::versionText(info));
        else if (cl.answer == QLatin1String("man"))
            platform::writeOut(platform::manPage(info, QStringLiteral(DIAG_PACKAGE_NAME),
                                                 QStringLiteral(DIAG_PACKAGE_VERSION)));
        return 0;
    case platform::CommandLine::Outcome::Headless: {
        // No window, so no display needed: automation and production lines.
        // A plot is drawn offscreen, which takes a GUI application.
        std::unique_ptr<QCoreApplication> app;
        if (cl.isSet("plot") || (cl.isSet("sequence") && vantor::sequenceDrawsPlots(cl.value("sequence")))) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QApplication>(argc, argv);
#ifdef DIAG_HAVE_PLOT
            vantor::setHeadlessPlotter([](const std::vector<vantor::measure::Series>& series, const QString& path) {
                return vantor::plot::renderPng(series, path);
            });
#endif
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
        prepareData();
        if (cl.isSet("history") || cl.isSet("record"))
            return vantor::runHistory(QCoreApplication::arguments());
        platform::trace::initFromEnvironment();
        sim::SimulatedDevices devices = sim::registerSimulatedDevices();
        vantor::installBuiltinResources();
        vantor::measure::setRecordListener(vantor::recordListener());
        const int code = vantor::runHeadless(QCoreApplication::arguments());
        vantor::closeProgramRecords();
        sim::unregisterSimulatedDevices(devices);
        return code;
    }
    case platform::CommandLine::Outcome::Window:
        break;
    }
    // The menu's templates are read while the application object and the
    // simulator start.
    vantor::installBuiltinResources();
    ui::Resources::prefetchBuiltin();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    prepareData();
    ui::StartupProbe::installIfAsked();
    platform::trace::initFromEnvironment();
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    QApplication::setWindowIcon(vantor::vantorIcon());

    vantor::measure::setRecordListener(vantor::recordListener());
#ifdef DIAG_HAVE_PLOT
    vantor::plot::installPlotHandler(seriesOf);
    vantor::station::RecordView::setStepPlotter(
        [](const QJsonObject& step, QWidget* parent) -> QWidget* { return vantor::plot::plotOfStep(step, plottableLines, parent); });
#endif

    vantor::CVantorApp theApp;
    // `--station [line.json]`: the production line's window instead of the menu.
    const int code = cl.isSet("station") ? vantor::station::runStation(cl.file) : theApp.InitInstance();
    vantor::closeProgramRecords();
    sim::unregisterSimulatedDevices(devices);
    return code;
}
