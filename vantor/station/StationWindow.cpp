#include "vantor/station/StationWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QSysInfo>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/HandlerGuard.h"
#include "ui/Prompts.h"
#include "ui/ResultList.h"
#include "vantor/station/RecordView.h"
#include "vantor/station/StationInbox.h"

namespace vantor::station {

namespace {

const QString kCaption = QStringLiteral("Vantor Station");
constexpr int kHistoryRuns = 10;

enum StepColumn { ColIndex, ColTest, ColLimits, ColState, ColFailing, ColCycles, ColumnCount };

// Cycles done of total, drawn as a bar in its cell; the cell's text ("3 of 5")
// is what assistive clients read.
class CyclesDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionProgressBar bar;
        bar.rect = option.rect.adjusted(2, 2, -2, -2);
        bar.minimum = 0;
        bar.maximum = std::max(index.data(Qt::UserRole + 1).toInt(), 1);
        bar.progress = std::min(index.data(Qt::UserRole).toInt(), bar.maximum);
        bar.text = index.data(Qt::DisplayRole).toString();
        bar.textVisible = true;
        bar.state = option.state | QStyle::State_Horizontal;
        const QWidget* w = option.widget;
        (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ProgressBar, &bar, painter, w);
    }
};

QColor stateColour(StepState s)
{
    switch (s) {
    case StepState::Pass: return QColor(0x1b, 0x7a, 0x2e);
    case StepState::Fail: return QColor(0xc6, 0x28, 0x28);
    case StepState::Error: return QColor(0xb2, 0x4a, 0x00);
    case StepState::Aborted: return QColor(0x5f, 0x5f, 0x5f);
    case StepState::Running: return QColor(0x15, 0x65, 0xc0);
    case StepState::Waiting:
    case StepState::Skipped: break;
    }
    return {};
}

// Background and text colour of the verdict.
std::pair<QString, QString> verdictColours(const QString& verdict)
{
    if (verdict == QStringLiteral("PASS"))
        return {QStringLiteral("#1b7a2e"), QStringLiteral("white")};
    if (verdict == QStringLiteral("FAIL"))
        return {QStringLiteral("#c62828"), QStringLiteral("white")};
    if (verdict == QStringLiteral("ERROR"))
        return {QStringLiteral("#b24a00"), QStringLiteral("white")};
    if (verdict == QStringLiteral("ABORTED"))
        return {QStringLiteral("#5f5f5f"), QStringLiteral("white")};
    if (verdict == QStringLiteral("RUNNING"))
        return {QStringLiteral("#1565c0"), QStringLiteral("white")};
    return {QStringLiteral("#e0e0e0"), QStringLiteral("black")};
}

// "2026-12-09 18:02:03" in local time, from the record's ISO 8601 text.
QString startText(const QString& iso)
{
    const QDateTime t = QDateTime::fromString(iso, Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : iso;
}

void announce(QWidget* w, QAccessible::Event what)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent e(w, what);
    QAccessible::updateAccessibility(&e);
}

} // namespace

QString StationWindow::verdictCaption(const QString& verdict)
{
    return verdict.isEmpty() ? QStringLiteral("READY") : verdict;
}

StationWindow::StationWindow(SequenceEngine& engine, StationHistory* history, RecentSequences recent,
                             QWidget* parent)
    : QMainWindow(parent), m_engine(engine), m_history_source(history), m_recent(std::move(recent)),
      m_station(QSysInfo::machineHostName())
{
    m_inbox = std::make_unique<StationInbox>([this] {
        QMetaObject::invokeMethod(this, [this] { ui::guarded([this] { drain(); }); }, Qt::QueuedConnection);
    });
    build();
    fillChooser();
    showSequence();
    refreshHistory();
}

StationWindow::~StationWindow()
{
    shutDown();
}

void StationWindow::build()
{
    setWindowTitle(kCaption);
    setObjectName(QStringLiteral("VantorStation"));
    auto* central = new QWidget(this);
    auto* top = new QVBoxLayout(central);

    // The sequence: chooser, Open..., its name.
    auto* seqRow = new QHBoxLayout;
    auto* seqLabel = new QLabel(QStringLiteral("&Sequence:"), central);
    m_chooser = new QComboBox(central);
    m_chooser->setAccessibleName(QStringLiteral("Sequence"));
    m_chooser->setMinimumContentsLength(40);
    m_chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    seqLabel->setBuddy(m_chooser);
    m_open = new QPushButton(QStringLiteral("&Open..."), central);
    m_open->setAccessibleName(QStringLiteral("Open sequence"));
    m_sequenceName = new QLabel(central);
    m_sequenceName->setAccessibleName(QStringLiteral("Sequence name"));
    QFont nameFont = m_sequenceName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.3);
    m_sequenceName->setFont(nameFont);
    seqRow->addWidget(seqLabel);
    seqRow->addWidget(m_chooser, 1);
    seqRow->addWidget(m_open);
    top->addLayout(seqRow);
    top->addWidget(m_sequenceName);

    // Serial, Start, Stop: large, the operator's whole job.
    auto* runRow = new QHBoxLayout;
    auto* serialLabel = new QLabel(QStringLiteral("Serial &number:"), central);
    m_serial = new QLineEdit(central);
    m_serial->setAccessibleName(QStringLiteral("Serial number"));
    serialLabel->setBuddy(m_serial);
    QFont big = m_serial->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    m_serial->setFont(big);
    serialLabel->setFont(big);
    m_start = new QPushButton(QStringLiteral("Start"), central);
    m_start->setAccessibleName(QStringLiteral("Start"));
    m_stop = new QPushButton(QStringLiteral("Stop"), central);
    m_stop->setAccessibleName(QStringLiteral("Stop"));
    for (QPushButton* b : {m_start, m_stop}) {
        b->setFont(big);
        b->setMinimumWidth(140);
        b->setAutoDefault(false);
    }
    runRow->addWidget(serialLabel);
    runRow->addWidget(m_serial, 1);
    runRow->addWidget(m_start);
    runRow->addWidget(m_stop);
    top->addLayout(runRow);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    m_steps = new QTreeWidget(central);
    m_steps->setAccessibleName(QStringLiteral("Steps"));
    m_steps->setColumnCount(ColumnCount);
    m_steps->setHeaderLabels({QStringLiteral("Step"), QStringLiteral("Test"), QStringLiteral("Limits"),
                              QStringLiteral("State"), QStringLiteral("Failing measurement"),
                              QStringLiteral("Cycles")});
    m_steps->setRootIsDecorated(false);
    m_steps->setUniformRowHeights(true);
    m_steps->setItemDelegateForColumn(ColCycles, new CyclesDelegate(m_steps));
    m_steps->header()->setStretchLastSection(false);
    m_steps->header()->setSectionResizeMode(ColFailing, QHeaderView::Stretch);
    m_steps->setColumnWidth(ColIndex, 40);
    m_steps->setColumnWidth(ColTest, 130);
    m_steps->setColumnWidth(ColLimits, 150);
    m_steps->setColumnWidth(ColState, 75);
    m_steps->setColumnWidth(ColCycles, 100);
    left->addWidget(m_steps, 2);

    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(central);
    m_progress->setAccessibleName(QStringLiteral("Sequence progress"));
    m_progress->setFormat(QStringLiteral("%v of %m cycles"));
    m_elapsed = new QLabel(central);
    m_elapsed->setAccessibleName(QStringLiteral("Elapsed time"));
    m_elapsed->setMinimumWidth(120);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_elapsed);
    left->addLayout(progressRow);

    m_results = new ui::ResultList(central);
    m_results->setAccessibleName(QStringLiteral("Results"));
    left->addWidget(m_results, 3);
    body->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    m_verdict = new QLabel(central);
    m_verdict->setAccessibleName(QStringLiteral("Verdict"));
    m_verdict->setAlignment(Qt::AlignCenter);
    m_verdict->setMinimumHeight(150);
    QFont huge = m_verdict->font();
    huge.setBold(true);
    huge.setPixelSize(96);
    m_verdict->setFont(huge);
    right->addWidget(m_verdict);
    m_reason = new QLabel(central);
    m_reason->setAccessibleName(QStringLiteral("Verdict reason"));
    m_reason->setWordWrap(true);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    right->addWidget(m_reason);
    auto* historyBox = new QGroupBox(QStringLiteral("History"), central);
    auto* historyLayout = new QVBoxLayout(historyBox);
    m_history = new QTreeWidget(historyBox);
    m_history->setAccessibleName(QStringLiteral("History"));
    m_history->setHeaderLabels(
        {QStringLiteral("Start"), QStringLiteral("Serial"), QStringLiteral("Sequence"), QStringLiteral("Verdict")});
    m_history->setUniformRowHeights(true);
    m_history->setColumnWidth(0, 190);
    historyLayout->addWidget(m_history);
    right->addWidget(historyBox, 1);
    body->addLayout(right, 2);
    top->addLayout(body, 1);
    setCentralWidget(central);
    resize(1280, 780);

    // Keyboard only: serial, Start, (Stop while running), steps, history.
    setTabOrder(m_serial, m_start);
    setTabOrder(m_start, m_stop);
    setTabOrder(m_stop, m_steps);
    setTabOrder(m_steps, m_history);
    setTabOrder(m_history, m_results);
    setTabOrder(m_results, m_chooser);
    setTabOrder(m_chooser, m_open);

    m_tick = new QTimer(this);
    m_tick->setInterval(100);
    connect(m_tick, &QTimer::timeout, this, [this] { showElapsed(); });

    connect(m_open, &QPushButton::clicked, this, [this] { ui::guarded([this] { browse(); }); });
    connect(m_chooser, &QComboBox::activated, this, [this](int i) { ui::guarded([this, i] { chooserActivated(i); }); });
    connect(m_start, &QPushButton::clicked, this, [this] { ui::guarded([this] { start(); }); });
    connect(m_stop, &QPushButton::clicked, this, [this] { ui::guarded([this] { stop(); }); });
    // A scanner types the serial and presses Enter.
    connect(m_serial, &QLineEdit::returnPressed, this, [this] {
        ui::guarded([this] {
            if (!m_model.running())
                start();
        });
    });
    // Only a new serial asks again: a refresh rebuilds the list, which would
    // lose a double click that took the focus from the edit.
    connect(m_serial, &QLineEdit::editingFinished, this, [this] {
        if (m_serial->text().trimmed() != m_historySerial)
            ui::guarded([this] { refreshHistory(); });
    });
    connect(m_history, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) {
        const QString uuid = item ? item->data(0, Qt::UserRole).toString() : QString();
        if (!uuid.isEmpty())
            ui::guarded([this, uuid] { openRecord(uuid); });
    });
    m_serial->setFocus();
}

void StationWindow::fillChooser()
{
    // The command line's file is the first of the recent ones once loaded.
    m_filling = true;
    m_chooser->clear();
    for (const QString& p : m_recent.paths()) {
        m_chooser->addItem(QFileInfo(p).fileName(), p);
        m_chooser->setItemData(m_chooser->count() - 1, p, Qt::ToolTipRole);
    }
    const QString current = m_model.sequence() ? m_model.sequence()->path : QString();
    m_chooser->setCurrentIndex(current.isEmpty() ? -1 : m_chooser->findData(QFileInfo(current).absoluteFilePath()));
    m_filling = false;
}

void StationWindow::browse()
{
    ui::FileDialogRequest ask;
    ask.title = QStringLiteral("Open a sequence");
    ask.filter = QStringLiteral("Sequences (*.json)|*.json|All Files (*.*)|*.*||");
    if (m_model.sequence())
        ask.fileName = m_model.sequence()->path;
    const std::optional<QString> path = ui::fileDialog(ask);
    if (path && !path->isEmpty())
        openSequence(*path);
}

void StationWindow::chooserActivated(int index)
{
    if (m_filling || index < 0)
        return;
    const QString path = m_chooser->itemData(index).toString();
    if (!path.isEmpty() && !openSequence(path))
        fillChooser(); // back to the sequence that stayed
}

bool StationWindow::openSequence(const QString& path)
{
    if (m_model.running()) {
        ui::messageBox(QStringLiteral("A sequence is running: stop it before choosing another."), kCaption,
                       ui::MsgIcon::Warning);
        return false;
    }
    LoadResult loaded = m_engine.load(path);
    if (!loaded.plan) {
        ui::messageBox(loaded.error.isEmpty() ? QStringLiteral("%1 could not be loaded.").arg(path) : loaded.error,
                       kCaption, ui::MsgIcon::Error);
        return false;
    }
    if (loaded.plan->path.isEmpty())
        loaded.plan->path = path;
    m_model.setSequence(std::move(*loaded.plan));
    m_recent.add(path);
    m_results->clear();
    m_resultsStep = -1;
    fillChooser();
    showSequence();
    return true;
}

void StationWindow::showSequence()
{
    m_steps->clear();
    const auto& seq = m_model.sequence();
    m_sequenceName->setText(seq ? seq->name + (seq->serialRequired ? QStringLiteral("  (serial required)") : QString())
                                : QStringLiteral("No sequence loaded"));
    for (size_t i = 0; i < m_model.steps().size(); ++i) {
        auto* item = new QTreeWidgetItem(m_steps);
        item->setText(ColIndex, QString::number(i + 1));
        item->setText(ColTest, m_model.steps()[i].plan.test);
        item->setText(ColLimits, limitsText(m_model.steps()[i].plan));
        item->setToolTip(ColLimits, item->text(ColLimits));
        showStep(int(i));
    }
    showProgress();
    showVerdict();
    showElapsed();
    updateButtons();
}

void StationWindow::showStep(int index)
{
    QTreeWidgetItem* item = m_steps->topLevelItem(index);
    if (!item || index >= int(m_model.steps().size()))
        return;
    const StepRow& row = m_model.steps()[size_t(index)];
    item->setText(ColState, stateText(row.state));
    const QColor c = stateColour(row.state);
    item->setForeground(ColState, c.isValid() ? QBrush(c) : QBrush());
    QFont f = item->font(ColState);
    f.setBold(row.state != StepState::Waiting);
    item->setFont(ColState, f);
    item->setText(ColFailing, row.failing);
    item->setToolTip(ColFailing, row.failing);
    item->setText(ColCycles, QStringLiteral("%1 of %2").arg(row.done).arg(row.total));
    item->setData(ColCycles, Qt::UserRole, row.done);
    item->setData(ColCycles, Qt::UserRole + 1, row.total);
}

void StationWindow::showProgress()
{
    m_progress->setMaximum(std::max(m_model.cyclesTotal(), 1));
    m_progress->setValue(std::min(m_model.cyclesDone(), m_progress->maximum()));
}

void StationWindow::showVerdict()
{
    const QString caption = verdictCaption(m_model.verdict());
    const auto [background, text] = verdictColours(m_model.verdict());
    m_verdict->setText(caption);
    m_verdict->setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border-radius: 8px; }")
                                 .arg(background, text));
    QString description = QStringLiteral("Verdict: ") + caption;
    if (!m_model.reason().isEmpty())
        description += QStringLiteral(". ") + m_model.reason();
    m_reason->setText(m_model.reason());
    if (m_verdict->accessibleDescription() != description) {
        m_verdict->setAccessibleDescription(description);
        announce(m_verdict, QAccessible::DescriptionChanged);
    }
}

void StationWindow::showElapsed()
{
    m_elapsed->setText(QStringLiteral("Elapsed ") + StationModel::formatElapsed(m_model.elapsed()));
}

void StationWindow::updateButtons()
{
    const bool running = m_model.running();
    m_start->setEnabled(m_model.loaded() && !running);
    m_stop->setEnabled(running);
    m_chooser->setEnabled(!running);
    m_open->setEnabled(!running);
    if (running)
        m_tick->start();
    else
        m_tick->stop();
}

void StationWindow::start()
{
    if (m_model.running() || m_shutDown)
        return;
    if (!m_model.loaded()) {
        ui::messageBox(QStringLiteral("Choose a sequence first."), kCaption, ui::MsgIcon::Warning);
        return;
    }
    const QString serial = m_serial->text().trimmed();
    if (serial.isEmpty() && m_model.sequence()->serialRequired) {
        ui::messageBox(QStringLiteral("\"%1\" needs a serial number: scan or type it, then Start.")
                           .arg(m_model.sequence()->name),
                       kCaption, ui::MsgIcon::Warning);
        m_serial->setFocus();
        return;
    }
    m_model.begin(serial);
    m_results->clear();
    m_resultsStep = -1;
    const QString refusal = m_engine.start(*m_model.sequence(), serial, *m_inbox);
    if (!refusal.isEmpty()) {
        m_model.refused();
        showSequence();
        ui::messageBox(refusal, kCaption, ui::MsgIcon::Warning);
        return;
    }
    for (int i = 0; i < int(m_model.steps().size()); ++i)
        showStep(i);
    showProgress();
    showVerdict();
    showElapsed();
    updateButtons();
    refreshHistory();
}

void StationWindow::stop()
{
    if (m_model.running())
        m_engine.stop();
}

void StationWindow::drain()
{
    for (RunReport& r : m_inbox->take()) {
        switch (r.kind) {
        case RunReport::StepStarted:
            m_model.stepStarted(r.step);
            m_results->clear();
            m_resultsStep = r.step;
            showStep(r.step);
            if (QTreeWidgetItem* item = m_steps->topLevelItem(r.step))
                m_steps->scrollToItem(item);
            break;
        case RunReport::Lines:
            m_results->appendBatch(r.lines);
            break;
        case RunReport::CycleDone:
            m_model.cycleDone(r.step, r.done, r.total);
            showStep(r.step);
            showProgress();
            break;
        case RunReport::StepEnded:
            m_model.stepEnded(r.step, r.record);
            showStep(r.step);
            showProgress();
            announce(m_steps, QAccessible::TableModelChanged);
            break;
        case RunReport::Finished: {
            m_model.finished(r.record);
            for (int i = 0; i < int(m_model.steps().size()); ++i)
                showStep(i);
            showProgress();
            showVerdict();
            if (!r.record.value(QStringLiteral("uuid")).toString().isEmpty()) {
                m_sessionRuns.prepend(r.record);
                while (m_sessionRuns.size() > kHistoryRuns)
                    m_sessionRuns.removeLast();
            }
            updateButtons();
            refreshHistory();
            // Ready for the next unit: the scanner's next serial replaces this one.
            m_serial->setFocus();
            m_serial->selectAll();
            break;
        }
        }
    }
    showElapsed();
}

void StationWindow::refreshHistory()
{
    m_history->clear();
    const QString serial = m_serial->text().trimmed();
    m_historySerial = serial;
    auto group = [&](const QString& title, const QString& bySerial, const QString& byStation) {
        auto* top = new QTreeWidgetItem(m_history, {title});
        top->setFirstColumnSpanned(true);
        QList<QJsonObject> runs;
        QString error;
        if (m_history_source)
            runs = m_history_source->runs(bySerial, byStation, kHistoryRuns, &error);
        // This window's runs first when the store has not got them yet.
        QStringList known;
        for (const QJsonObject& r : runs)
            known << r.value(QStringLiteral("uuid")).toString();
        int added = 0;
        for (const QJsonObject& r : m_sessionRuns) {
            const bool matches = bySerial.isEmpty() ? r.value(QStringLiteral("station")).toString() == byStation
                                                    : r.value(QStringLiteral("serial")).toString() == bySerial;
            if (matches && !known.contains(r.value(QStringLiteral("uuid")).toString()))
                runs.insert(added++, r);
        }
        std::sort(runs.begin(), runs.end(), [](const QJsonObject& a, const QJsonObject& b) {
            return a.value(QStringLiteral("start")).toString() > b.value(QStringLiteral("start")).toString();
        });
        if (runs.size() > kHistoryRuns)
            runs.erase(runs.begin() + kHistoryRuns, runs.end());
        for (const QJsonObject& r : runs) {
            const QString verdict = r.value(QStringLiteral("verdict")).toString();
            auto* item = new QTreeWidgetItem(
                top, {startText(r.value(QStringLiteral("start")).toString()), r.value(QStringLiteral("serial")).toString(),
                      r.value(QStringLiteral("name")).toString(), verdict});
            item->setData(0, Qt::UserRole, r.value(QStringLiteral("uuid")).toString());
            const QColor c = stateColour(stateOfVerdict(verdict));
            if (c.isValid())
                item->setForeground(3, c);
        }
        if (runs.isEmpty())
            new QTreeWidgetItem(top, {error.isEmpty() ? QStringLiteral("No runs yet") : error});
        top->setExpanded(true);
    };
    if (!serial.isEmpty())
        group(QStringLiteral("Serial %1").arg(serial), serial, QString());
    group(QStringLiteral("Station %1").arg(m_station), QString(), m_station);
}

void StationWindow::openRecord(const QString& uuid)
{
    std::optional<QJsonObject> record;
    for (const QJsonObject& r : m_sessionRuns)
        if (r.value(QStringLiteral("uuid")).toString() == uuid)
            record = r;
    if (!record && m_history_source)
        record = m_history_source->record(uuid);
    if (!record) {
        ui::messageBox(QStringLiteral("The record %1 is not in the store.").arg(uuid), kCaption, ui::MsgIcon::Warning);
        return;
    }
    auto* view = new RecordView(*record, this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
}

void StationWindow::closeEvent(QCloseEvent* e)
{
    shutDown();
    QMainWindow::closeEvent(e);
}

void StationWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // No report reaches a closing window; a worker waiting for an operator's
    // box is released, then the runner ends the cycle in progress.
    m_inbox->close();
    ui::cancelWorkerPrompts();
    m_engine.stop();
    m_engine.close();
    ui::reopenWorkerPrompts();
    m_tick->stop();
}

} // namespace vantor::station
