#pragma once
// One run's record, read-only: who, where and when, the verdict, each step
// with its measurements and their limits, and the lines of the chosen step.
#include <QDialog>
#include <QJsonObject>

class QLabel;
class QTreeWidget;

namespace ui {
class ResultList;
}

namespace vantor::station {

class RecordView : public QDialog {
    Q_OBJECT
public:
    explicit RecordView(QJsonObject record, QWidget* parent = nullptr);

    const QJsonObject& record() const { return m_record; }
    QLabel* summary() const { return m_summary; }
    QTreeWidget* steps() const { return m_steps; }
    ui::ResultList* lines() const { return m_lines; }
    // Shows the lines of step `index` (the first at opening).
    void showLines(int index);

private:
    QJsonObject m_record;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_steps = nullptr;
    ui::ResultList* m_lines = nullptr;
};

} // namespace vantor::station
