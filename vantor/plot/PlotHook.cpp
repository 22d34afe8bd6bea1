#include "vantor/plot/PlotHook.h"

#include <QJsonArray>

#include "vantor/plot/PlotView.h"

namespace vantor::plot {

void openPlotFor(const ui::ResultList& list, std::vector<Series> series)
{
    QWidget* owner = list.window();
    const QString caption = owner ? owner->windowTitle() : QString();
    const QString title = caption.isEmpty() ? QStringLiteral("Plot") : QStringLiteral("Plot - %1").arg(caption);
    // Moved, not copied: the window is the one owner of the samples. As a
    // window of the dialog it closes with it, and a modal dialog lets it be used.
    openPlotWindow(std::make_shared<const std::vector<Series>>(std::move(series)), title, owner);
}

void installPlotHandler(SeriesReader read)
{
    if (!read) {
        ui::ResultList::setDefaultPlotHandler({});
        return;
    }
    ui::ResultList::setDefaultPlotHandler([read = std::move(read)](const ui::ResultList& list) {
        openPlotFor(list, read(list));
    });
}

PlotView* plotOfStep(const QJsonObject& step, const LinesReader& collect, QWidget* parent)
{
    QStringList lines;
    for (const QJsonValue& v : step.value(QStringLiteral("lines")).toArray())
        lines << v.toString();
    std::vector<Series> series = collect ? collect(step.value(QStringLiteral("section")).toString(), lines)
                                         : std::vector<Series>{};
    return new PlotView(std::make_shared<const std::vector<Series>>(std::move(series)), parent);
}

} // namespace vantor::plot
