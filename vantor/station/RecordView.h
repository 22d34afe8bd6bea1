#pragma once
// One run's record, read-only: who, where and when, the verdict, each step
// with its measurements and their limits, and the lines and plot of the
// chosen step.
#include <QDialog>
#include <QJsonObject>
#include <functional>

class QLabel;
class QTabWidget;
class QTreeWidget;

namespace ui {
class ResultList;
}

namespace vantor::station {

class RecordView : public QDialog {
    Q_OBJECT
public:
    explicit RecordView(QJsonObject record, QWidget* parent = nullptr);

    // What draws a step's series (the program's plotting library), installed
    // once; without one the view has no "Plot" tab.
    using StepPlotter = std::function<QWidget*(const QJsonObject& step, QWidget* parent)>;
    static void setStepPlotter(StepPlotter plotter);

    const QJsonObject& record() const { return m_record; }
    QLabel* summary() const { return m_summary; }
    QTreeWidget* steps() const { return m_steps; }
    ui::ResultList* lines() const { return m_lines; }
    // "Lines" and, with a plotter, "Plot".
    QTabWidget* tabs() const { return m_tabs; }
    // The shown step's plot: made when its tab is first shown for that step.
    QWidget* plot() const { return m_plot; }
    int shownStep() const { return m_shown; }
    QJsonObject step(int index) const;
    // Shows the lines (and the plot) of step `index` (the first at opening).
    void showLines(int index);

private:
    void showPlot();

    QJsonObject m_record;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_steps = nullptr;
    QTabWidget* m_tabs = nullptr;
    ui::ResultList* m_lines = nullptr;
    QWidget* m_plotPage = nullptr;
    QWidget* m_plot = nullptr;
    int m_shown = -1;
    int m_plotted = -1; // the step m_plot shows
};

} // namespace vantor::station
