#include "vantor/plot/PlotView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>
#include <qcustomplot.h>

#include "ui/Prompts.h"
#include "vantor/plot/SeriesPlottable.h"
#include "vantor/plot/SeriesTable.h"

namespace vantor::plot {

namespace {

// Forward passes in blues and greens, reverse passes in reds and oranges.
const QColor kForward[] = {QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c), QColor(0x17, 0xbe, 0xcf),
                           QColor(0x94, 0x67, 0xbd), QColor(0x0b, 0x3d, 0x91), QColor(0x6b, 0x8e, 0x23)};
const QColor kReverse[] = {QColor(0xd6, 0x27, 0x28), QColor(0xff, 0x7f, 0x0e), QColor(0xe3, 0x77, 0xc2),
                           QColor(0x8c, 0x56, 0x4b), QColor(0xb2, 0x22, 0x22), QColor(0xcd, 0x85, 0x3f)};

QString number(double v)
{
    return QString::number(v, 'g', 9);
}

QString describe(const Series& s, const Extremes& e)
{
    QString text = curveName(s);
    if (!s.unit.isEmpty())
        text += QStringLiteral(" (%1)").arg(s.unit);
    text += QStringLiteral(": %1 samples").arg(s.size());
    if (e.any)
        text += QStringLiteral(", %1 to %2").arg(number(e.minValue), number(e.maxValue));
    return text;
}

} // namespace

PlotView::PlotView(SharedSeries series, QWidget* parent) : QWidget(parent), m_series(std::move(series))
{
    if (!m_series)
        m_series = std::make_shared<const std::vector<Series>>();
    build();
}

PlotView::~PlotView() = default;

QString PlotView::nothingToPlot()
{
    return QStringLiteral("Nothing to plot in these lines.");
}

void PlotView::build()
{
    auto* outer = new QVBoxLayout(this);
    bool any = false;
    for (const Series& s : *m_series)
        any = any || s.size() > 0;
    if (!any) {
        auto* label = new QLabel(nothingToPlot(), this);
        label->setAlignment(Qt::AlignCenter);
        label->setAccessibleName(nothingToPlot());
        outer->addWidget(label);
        return;
    }

    m_tabs = new QTabWidget(this);
    outer->addWidget(m_tabs);

    auto* page = new QWidget(m_tabs);
    auto* pageLayout = new QVBoxLayout(page);
    auto* buttons = new QHBoxLayout;
    auto* reset = new QPushButton(tr("Reset"), page);
    auto* png = new QPushButton(tr("Export PNG..."), page);
    auto* csv = new QPushButton(tr("Export CSV..."), page);
    buttons->addWidget(reset);
    buttons->addWidget(png);
    buttons->addWidget(csv);
    buttons->addStretch();
    m_cursorLabel = new QLabel(page);
    m_cursorLabel->setAccessibleName(tr("Cursor"));
    m_cursorLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    buttons->addWidget(m_cursorLabel);
    pageLayout->addLayout(buttons);

    auto* body = new QHBoxLayout;
    m_plot = new QCustomPlot(page);
    m_plot->setMinimumSize(320, 200);
    m_plot->setFocusPolicy(Qt::StrongFocus);
    m_plot->setAccessibleName(tr("Plot"));
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    m_plot->setSelectionRectMode(QCP::srmZoom);
    m_plot->setNoAntialiasingOnDrag(true);
    m_plot->xAxis->setLabel(tr("Index"));
    m_plot->installEventFilter(this);
    body->addWidget(m_plot, 1);

    m_list = new QListWidget(page);
    m_list->setAccessibleName(tr("Curves"));
    m_list->setWordWrap(true);
    m_list->setFixedWidth(250);
    body->addWidget(m_list);
    pageLayout->addLayout(body, 1);

    size_t forward = 0, reverse = 0;
    QStringList units, names;
    for (const Series& s : *m_series) {
        auto* curve = new SeriesPlottable(m_plot->xAxis, m_plot->yAxis, s);
        const bool back = isReverse(s);
        const QColor colour = back ? kReverse[reverse++ % std::size(kReverse)] : kForward[forward++ % std::size(kForward)];
        curve->setPen(QPen(colour, 1));
        m_curves.push_back(curve);
        const QString text = describe(s, curve->whole());
        names << text;
        auto* item = new QListWidgetItem(text, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setForeground(colour);
        item->setData(Qt::AccessibleTextRole, text);
        if (!s.unit.isEmpty() && !units.contains(s.unit))
            units << s.unit;
    }
    m_plot->yAxis->setLabel(units.join(QStringLiteral(", ")));
    m_plot->setAccessibleDescription(names.join(QStringLiteral("; ")));
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        curveShown(m_list->row(item), item->checkState() == Qt::Checked);
    });

    m_tracer = new QCPItemTracer(m_plot);
    m_tracer->setStyle(QCPItemTracer::tsCrosshair);
    m_tracer->setPen(QPen(QColor(0x55, 0x55, 0x55), 1, Qt::DashLine));
    m_tracer->position->setType(QCPItemPosition::ptPlotCoords);
    m_tracer->setVisible(false);
    // On a layer of its own: moving the cursor redraws it alone, not ten
    // million samples.
    m_plot->addLayer(QStringLiteral("cursor"), nullptr, QCustomPlot::limAbove);
    m_plot->layer(QStringLiteral("cursor"))->setMode(QCPLayer::lmBuffered);
    m_tracer->setLayer(QStringLiteral("cursor"));
    setCursor(-1, -1);

    m_tabs->addTab(page, tr("Plot"));

    m_tablePage = new QWidget(m_tabs);
    new QVBoxLayout(m_tablePage);
    m_tablePage->layout()->setContentsMargins(0, 0, 0, 0);
    m_tabs->addTab(m_tablePage, tr("Table"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (m_tabs->widget(tab) == m_tablePage)
            buildTable();
    });

    connect(reset, &QPushButton::clicked, this, &PlotView::resetView);
    connect(png, &QPushButton::clicked, this, &PlotView::askAndExportPng);
    connect(csv, &QPushButton::clicked, this, &PlotView::askAndExportCsv);
    resetView();
}

QTableView* PlotView::table()
{
    buildTable();
    return m_table;
}

void PlotView::buildTable()
{
    if (m_table || !m_tablePage)
        return;
    m_model = new SeriesTableModel(m_series, this);
    m_table = new QTableView(m_tablePage);
    m_table->setAccessibleName(tr("Table"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(SeriesTableModel::CurveColumn, 220);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tablePage->layout()->addWidget(m_table);
}

void PlotView::resetView()
{
    if (!m_plot)
        return;
    bool any = false;
    QCPRange keys, values;
    for (const SeriesPlottable* c : m_curves) {
        if (!c->visible() || !c->whole().any)
            continue;
        const Extremes& e = c->whole();
        if (!any) {
            keys = QCPRange(e.minKey, e.maxKey);
            values = QCPRange(e.minValue, e.maxValue);
            any = true;
        } else {
            keys.expand(QCPRange(e.minKey, e.maxKey));
            values.expand(QCPRange(e.minValue, e.maxValue));
        }
    }
    if (!any) {
        keys = QCPRange(0, 1);
        values = QCPRange(0, 1);
    }
    // A single sample or a flat line still gets a span to be drawn in.
    if (keys.size() < 1)
        keys = QCPRange(keys.lower - 0.5, keys.upper + 0.5);
    const double pad = values.size() > 0 ? values.size() * 0.05 : std::max(1.0, std::abs(values.lower) * 0.05);
    values = QCPRange(values.lower - pad, values.upper + pad);
    m_plot->xAxis->setRange(keys);
    m_plot->yAxis->setRange(values);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void PlotView::curveShown(int curve, bool shown)
{
    if (curve < 0 || size_t(curve) >= m_curves.size())
        return;
    m_curves[size_t(curve)]->setVisible(shown);
    if (!shown && curve == m_cursorCurve)
        setCursor(-1, -1);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

bool PlotView::cursorAt(const QPointF& pos)
{
    if (!m_plot)
        return false;
    QCPAxis* const x = m_plot->xAxis;
    QCPAxis* const y = m_plot->yAxis;
    constexpr double kReach = 8; // pixels
    const double key = x->pixelToCoord(pos.x());
    const double reach = std::max(0.5, std::abs(x->pixelToCoord(pos.x() + kReach) - key));
    int bestCurve = -1;
    std::ptrdiff_t bestSample = -1;
    double bestDistance = 0;
    for (size_t i = 0; i < m_curves.size(); ++i) {
        const SeriesPlottable* c = m_curves[i];
        if (!c->visible())
            continue;
        const std::ptrdiff_t at = nearestSample(c->series(), c->ascending(), key, reach);
        if (at < 0)
            continue;
        const double dx = x->coordToPixel(c->series().indices[size_t(at)]) - pos.x();
        const double dy = y->coordToPixel(c->series().values[size_t(at)]) - pos.y();
        const double d = std::hypot(dx, dy);
        if (bestCurve < 0 || d < bestDistance) {
            bestCurve = int(i);
            bestSample = at;
            bestDistance = d;
        }
    }
    setCursor(bestCurve, bestSample);
    return bestCurve >= 0;
}

bool PlotView::stepCursor(int steps)
{
    if (m_cursorCurve < 0)
        return false;
    const Series& s = m_curves[size_t(m_cursorCurve)]->series();
    std::ptrdiff_t at = m_cursorSample;
    const int direction = steps < 0 ? -1 : 1;
    for (int n = std::abs(steps); n > 0;) {
        at += direction;
        if (at < 0 || size_t(at) >= s.size())
            return false;
        if (!std::isnan(s.values[size_t(at)]))
            --n;
    }
    setCursor(m_cursorCurve, at);
    return true;
}

void PlotView::setCursor(int curve, std::ptrdiff_t sample)
{
    m_cursorCurve = curve;
    m_cursorSample = curve >= 0 ? sample : -1;
    if (m_tracer) {
        m_tracer->setVisible(curve >= 0);
        if (curve >= 0) {
            const Series& s = m_curves[size_t(curve)]->series();
            m_tracer->position->setCoords(s.indices[size_t(sample)], s.values[size_t(sample)]);
        }
        if (m_plot->isVisible())
            m_tracer->layer()->replot();
    }
    if (m_cursorLabel)
        m_cursorLabel->setText(cursorText());
}

QString PlotView::cursorText() const
{
    if (m_cursorCurve < 0)
        return tr("Point at a curve to read its values.");
    const Series& s = m_curves[size_t(m_cursorCurve)]->series();
    const size_t at = size_t(m_cursorSample);
    QString text = QStringLiteral("%1: index %2, value %3")
                       .arg(curveName(s))
                       .arg(s.indices[at])
                       .arg(number(s.values[at]));
    if (!s.unit.isEmpty())
        text += QLatin1Char(' ') + s.unit;
    return text;
}

bool PlotView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_plot) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            // A plain drag draws the zoom band; with Shift it pans.
            const auto* e = static_cast<QMouseEvent*>(event);
            m_plot->setSelectionRectMode(e->modifiers() & Qt::ShiftModifier ? QCP::srmNone : QCP::srmZoom);
            break;
        }
        case QEvent::MouseMove: {
            const auto* e = static_cast<QMouseEvent*>(event);
            if (e->buttons() == Qt::NoButton)
                cursorAt(e->position());
            break;
        }
        case QEvent::KeyPress: {
            const auto* e = static_cast<QKeyEvent*>(event);
            if (e->key() == Qt::Key_Home) {
                resetView();
                return true;
            }
            if ((e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) && m_cursorCurve >= 0) {
                stepCursor(e->key() == Qt::Key_Left ? -1 : 1);
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool PlotView::exportPng(const QString& path, QSize size)
{
    if (!m_plot)
        return grab().save(path, "PNG");
    if (!size.isValid())
        size = m_plot->size();
    return m_plot->savePng(path, size.width(), size.height());
}

bool PlotView::exportCsv(const QString& path) const
{
    return writeCsv(*m_series, path);
}

void PlotView::askAndExportPng()
{
    ui::FileDialogRequest ask;
    ask.save = true;
    ask.title = tr("Export PNG");
    ask.filter = QStringLiteral("PNG Files (*.png)|*.png|All Files (*.*)|*.*||");
    ask.defaultExtension = QStringLiteral("png");
    ask.overwritePrompt = true;
    if (const std::optional<QString> path = ui::fileDialog(ask); path && !exportPng(*path))
        ui::messageBox(tr("Could not write %1.").arg(*path));
}

void PlotView::askAndExportCsv()
{
    ui::FileDialogRequest ask;
    ask.save = true;
    ask.title = tr("Export CSV");
    ask.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    ask.defaultExtension = QStringLiteral("csv");
    ask.overwritePrompt = true;
    if (const std::optional<QString> path = ui::fileDialog(ask); path && !exportCsv(*path))
        ui::messageBox(tr("Could not write %1.").arg(*path));
}

PlotView* openPlotWindow(SharedSeries series, const QString& title, QWidget* parent)
{
    auto* view = new PlotView(std::move(series), parent);
    view->setWindowFlag(Qt::Window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(title);
    view->resize(960, 600);
    view->show();
    return view;
}

} // namespace vantor::plot
