#include "vantor/station/RecordView.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ResultList.h"

namespace vantor::station {

namespace {

RecordView::StepPlotter& stepPlotter()
{
    static RecordView::StepPlotter p;
    return p;
}

QString str(const QJsonObject& o, const char* key)
{
    return o.value(QLatin1String(key)).toString();
}

QString number(const QJsonValue& v)
{
    return v.isDouble() ? QString::number(v.toDouble(), 'g', 10) : QString();
}

// Value and unit of a measurement, or the aggregates of a series.
QString valueText(const QJsonObject& m)
{
    const QString unit = str(m, "unit");
    QString v;
    if (m.contains(QStringLiteral("value")))
        v = number(m.value(QStringLiteral("value")));
    else if (m.contains(QStringLiteral("ok")))
        v = m.value(QStringLiteral("ok")).toBool() ? QStringLiteral("OK") : QStringLiteral("FAIL");
    else if (m.contains(QStringLiteral("count")))
        v = QStringLiteral("%1 samples, min %2, max %3, mean %4")
                .arg(number(m.value(QStringLiteral("count"))), number(m.value(QStringLiteral("min"))),
                     number(m.value(QStringLiteral("max"))), number(m.value(QStringLiteral("mean"))));
    return unit.isEmpty() || v.isEmpty() ? v : v + u' ' + unit;
}

} // namespace

RecordView::RecordView(QJsonObject record, QWidget* parent) : QDialog(parent), m_record(std::move(record))
{
    setWindowTitle(QStringLiteral("Record: %1 %2").arg(str(m_record, "name"), str(m_record, "serial")).trimmed());
    auto* layout = new QVBoxLayout(this);

    QStringList rows;
    auto row = [&](const QString& label, const QString& value) {
        if (!value.isEmpty())
            rows << QStringLiteral("%1: %2").arg(label, value);
    };
    row(QStringLiteral("Name"), str(m_record, "name"));
    row(QStringLiteral("Serial"), str(m_record, "serial"));
    row(QStringLiteral("Verdict"), str(m_record, "verdict"));
    row(QStringLiteral("Reason"), str(m_record, "reason"));
    row(QStringLiteral("Station"), str(m_record, "station"));
    row(QStringLiteral("Operator"), str(m_record, "operator"));
    row(QStringLiteral("Start"), str(m_record, "start"));
    row(QStringLiteral("End"), str(m_record, "end"));
    row(QStringLiteral("Record"), str(m_record, "uuid"));
    m_summary = new QLabel(rows.join(u'\n'), this);
    m_summary->setAccessibleName(QStringLiteral("Record"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_summary);

    m_steps = new QTreeWidget(this);
    m_steps->setAccessibleName(QStringLiteral("Steps"));
    m_steps->setHeaderLabels({QStringLiteral("Step / measurement"), QStringLiteral("Cycle"), QStringLiteral("Value"),
                              QStringLiteral("Limit"), QStringLiteral("Verdict")});
    m_steps->setColumnWidth(0, 260);
    m_steps->setColumnWidth(2, 260);
    const QJsonArray steps = m_record.value(QStringLiteral("steps")).toArray();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject s = steps[i].toObject();
        const QJsonObject cycles = s.value(QStringLiteral("cycles")).toObject();
        auto* item = new QTreeWidgetItem(
            m_steps, {QStringLiteral("%1. %2").arg(i + 1).arg(str(s, "test")), QString(),
                      QStringLiteral("%1 of %2 cycles")
                          .arg(cycles.value(QStringLiteral("done")).toInt())
                          .arg(cycles.value(QStringLiteral("requested")).toInt()),
                      str(s, "reason"), str(s, "verdict")});
        item->setData(0, Qt::UserRole, int(i));
        for (const char* key : {"measurements", "series"})
            for (const QJsonValue& v : s.value(QLatin1String(key)).toArray()) {
                const QJsonObject m = v.toObject();
                auto* child = new QTreeWidgetItem(item, {str(m, "name"), number(m.value(QStringLiteral("cycle"))),
                                                         valueText(m), str(m, "limit"), str(m, "verdict")});
                child->setData(0, Qt::UserRole, int(i));
            }
        item->setExpanded(true);
    }
    layout->addWidget(m_steps, 2);

    m_tabs = new QTabWidget(this);
    m_tabs->setAccessibleName(QStringLiteral("Step"));
    m_lines = new ui::ResultList(m_tabs);
    m_lines->setAccessibleName(QStringLiteral("Lines"));
    m_tabs->addTab(m_lines, QStringLiteral("Lines"));
    if (stepPlotter()) {
        m_plotPage = new QWidget(m_tabs);
        m_plotPage->setAccessibleName(QStringLiteral("Plot"));
        auto* plotLayout = new QVBoxLayout(m_plotPage);
        plotLayout->setContentsMargins(0, 0, 0, 0);
        m_tabs->addTab(m_plotPage, QStringLiteral("Plot"));
        // Drawn when looked at: a step of a million lines costs nothing
        // until then.
        connect(m_tabs, &QTabWidget::currentChanged, this, [this] { showPlot(); });
    }
    layout->addWidget(m_tabs, 2);
    connect(m_steps, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            showLines(item->data(0, Qt::UserRole).toInt());
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 700);
    showLines(0);
}

void RecordView::setStepPlotter(StepPlotter plotter)
{
    stepPlotter() = std::move(plotter);
}

QJsonObject RecordView::step(int index) const
{
    const QJsonArray steps = m_record.value(QStringLiteral("steps")).toArray();
    return index >= 0 && index < steps.size() ? steps[index].toObject() : QJsonObject();
}

void RecordView::showLines(int index)
{
    if (index == m_shown)
        return;
    m_lines->clear();
    const QJsonObject s = step(index);
    if (s.isEmpty())
        return;
    m_shown = index;
    QStringList lines;
    for (const QJsonValue& v : s.value(QStringLiteral("lines")).toArray())
        lines << v.toString();
    m_lines->appendLines(lines);
    showPlot();
}

void RecordView::showPlot()
{
    if (!m_plotPage || m_tabs->currentWidget() != m_plotPage || m_plotted == m_shown || !stepPlotter())
        return;
    delete m_plot;
    m_plot = stepPlotter()(step(m_shown), m_plotPage);
    m_plotted = m_shown;
    if (m_plot)
        m_plotPage->layout()->addWidget(m_plot);
}

} // namespace vantor::station
