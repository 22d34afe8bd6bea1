#include "CTestDlg.h"

#include <algorithm>
#include <limits>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "ui/ResultList.h"
#include "vantor/measure/RecordSink.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

namespace {
// Not a message of the tests: the worker's "I am idle" notice.
constexpr int WM_WORKER_IDLE = ui::WM_USER + 150;

// Reads a section through its owner file and keeps what a record writes:
// every key of the section, as the file spells it, with its value as text.
class CaptureFile final : public CSettingsFile {
public:
    explicit CaptureFile(CSettingsFile& base) : m_base(base) {}
    void SetSection(const char* name) override { SetSection(QString::fromLatin1(name)); }
    void SetSection(const QString& name) override
    {
        CSettingsFile::SetSection(name);
        m_base.SetSection(name);
    }
    QString GetString(const char* key, const char* def) override { return m_base.GetString(key, def); }
    QString GetString(const QString& key, const QString& def) override { return m_base.GetString(key, def); }
    int32_t GetLong(const QString& key, int32_t def) override { return m_base.GetLong(key, def); }
    int32_t GetInt(const QString& key, int32_t def) override { return m_base.GetInt(key, def); }
    void SetInt(const QString& key, int32_t value) override { written.emplace_back(key, QString::number(value)); }
    void SetString(const QString& key, const QString& value) override { written.emplace_back(key, value); }
    bool Save(const QString&) override { return false; }
    std::vector<std::pair<QString, QString>> written;

private:
    CSettingsFile& m_base;
};

// The record's values under their keys. The record goes into the settings
// file in memory first, as its destructor's store would put it there.
std::vector<std::pair<QString, QString>> settingsOf(CTestSettings& record)
{
    record.Save();
    CaptureFile capture(record.Owner());
    const QString noPath;
    TestSettingsStore store(capture, noPath);
    CTestSettings* copy = store.Fetch(record.Index());
    if (!copy)
        return {};
    capture.written.clear();
    copy->Save();
    return std::move(capture.written);
}
} // namespace

const QString CTestDlg::kResultFilter = QStringLiteral("Text (*.txt)|*.txt|All Files (*.*)|*.*||");
const QString CTestDlg::kBrowseFilter = QStringLiteral("All Files (*.*)|*.*||");

// The worker's reports become posted messages. It holds the port, not the
// dialog: once the dialog stops taking messages, late posts are dropped.
class CTestDlg::Sink final : public RunSink {
public:
    Sink(ui::MessagePort port, std::atomic<int>& posted) : m_port(std::move(port)), m_posted(posted) {}
    void setRunner(const TestRunner* runner) { m_runner = runner; }

    void addLine(QString line) override { m_port.post(WM_ADD_LINE, 0, 0, ui::Payload::of(std::move(line))); }
    // Sent, one batch at a time: the worker waits until the list took each,
    // so the window never has more than one batch to take in. Once the dialog
    // stops taking messages the send fails and the lines go with it.
    void addLines(QStringList lines) override
    {
        for (qsizetype from = 0; from < lines.size(); from += kLineBatch) {
            QStringList batch = lines.size() <= kLineBatch ? std::move(lines) : lines.mid(from, kLineBatch);
            if (!m_port.send(WM_ADD_LINE, 0, 1, ui::Payload::of(std::move(batch))))
                return;
        }
    }
    void cycleDone() override
    {
        m_posted.fetch_add(1);
        m_port.post(WM_CYCLE_DONE);
    }
    void idle() override { m_port.post(WM_WORKER_IDLE, m_runner->idleGeneration()); }

private:
    ui::MessagePort m_port;
    std::atomic<int>& m_posted;
    const TestRunner* m_runner = nullptr;
};

CTestDlg::CTestDlg(int templateId, int settingsIndex, QWidget* parent, Commit commit)
    : ui::Dialog(templateId, parent), m_settingsIndex(settingsIndex), m_runId(common::kRun), m_commit(commit)
{
    if (settingsIndex >= 0)
        m_record = FetchTestSettings(settingsIndex);
    if (m_record) {
        m_totalCycles = m_record->cycle;
        m_pauseMs = m_record->pause;
    }
    bind(common::kTotalCycle, m_totalCycles);
    bind(common::kPause, m_pauseMs);
    useResultList(common::kResultList);

    onCommand(common::kRun, [this] { OnRun(); });
    onCommand(common::kStop, [this] { OnStop(); });
    onCommand(common::kReset, [this] { OnReset(); });
    onCommand(common::kClear, [this] { OnClear(); });
    onCommand(common::kSaveToFile, [this] { OnSaveToFile(); });
    onMessage(WM_ADD_LINE, &CTestDlg::onAddLine);
    onMessage(WM_CYCLE_DONE, &CTestDlg::onCycleDone);
    onMessage(WM_WORKER_IDLE, &CTestDlg::onIdle);

    m_sink = std::make_unique<Sink>(port(), m_cyclesPosted);
    m_runner = std::make_unique<TestRunner>(*m_sink);
    m_sink->setRunner(m_runner.get());
}

CTestDlg::~CTestDlg()
{
    // Normally closed already. A dialog destroyed open stops its worker
    // here: the worker holds only its run, the sink and the handle, none of
    // which is part of a derived dialog, so this is safe at any point.
    stopWorker();
    m_runner.reset();
    publishRun(measure::Verdict::Aborted);
    if (m_record)
        StoreTestSettings(m_settingsIndex);
}

bool CTestDlg::onInitDialog()
{
    updateData(false);
    setInt(common::kCumulativeCycle, m_record ? m_record->cumulativeCycle : m_cumulative);
    setInt(common::kCycle, 0);
    showRecord();
    applyRules();
    m_driver = openDriver();
    m_runner->start();
    return true;
}

bool CTestDlg::isRunning() const
{
    return m_runner && m_runner->running();
}

QString CTestDlg::section() const
{
    const char* name = m_settingsIndex >= 0 ? TestSettingsSection(m_settingsIndex) : nullptr;
    return name ? QString::fromLatin1(name) : QString();
}

ui::ResultList* CTestDlg::results() const
{
    return resultList(common::kResultList);
}

QString CTestDlg::validate()
{
    QString messages;
    if (m_totalCycles < 1)
        messages += QStringLiteral("\"Total Cycle\" must greater than 0.\n");
    return messages;
}

int CTestDlg::message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon)
{
    return ui::messageBox(text, kProgramName, icon, buttons);
}

void CTestDlg::addLine(const QString& line)
{
    send(WM_ADD_LINE, 0, 0, ui::Payload::of(line));
}

void CTestDlg::OnRun()
{
    if (!m_workerIdle)
        return;
    updateData(true);
    QString refusal = validate();
    PreparedRun prepared;
    if (refusal.isEmpty()) {
        prepared = prepareRun();
        refusal = prepared.refusal;
        if (!prepared && refusal.isEmpty())
            refusal = QStringLiteral("The test could not be prepared.\n");
    }
    // A refused run changes nothing: not the record, not "Cycle:".
    if (!refusal.isEmpty()) {
        message(refusal);
        return;
    }
    if (m_commit == Commit::AtRun)
        commitValues();
    enable(m_runId, false);
    m_cycle = 0;
    setInt(common::kCycle, 0);
    // Sent, not posted: these lines come before the worker's first.
    beginRecord();
    for (const QString& line : runStartLines(*prepared.run))
        addLine(line);
    m_workerIdle = false;
    m_runner->run(std::move(prepared.run), m_totalCycles, m_pauseMs);
}

void CTestDlg::commitValues()
{
    if (m_record) {
        m_record->cycle = m_totalCycles;
        m_record->pause = m_pauseMs;
    }
}

void CTestDlg::addRule(std::function<void()> rule, std::initializer_list<int> triggers)
{
    m_rules.push_back(rule);
    for (int id : triggers)
        if (id)
            onCommand(id, rule);
}

void CTestDlg::applyRules()
{
    for (const auto& rule : m_rules)
        rule();
}

void CTestDlg::OnStop()
{
    m_runner->stop();
    // The record waits for the cycle in progress: it is published when the
    // worker is idle again.
    if (m_collector)
        m_stopPressed = true;
}

void CTestDlg::beginRecord()
{
    m_step = measure::StepRecord();
    m_step.test = windowTitle();
    m_step.section = section();
    if (m_record)
        m_step.settings = settingsOf(*m_record);
    m_step.requested = m_totalCycles;
    m_step.start = QDateTime::currentDateTime();
    m_collector = std::make_unique<measure::Collector>(measure::tableFor(m_step.section));
    m_stopPressed = false;
}

void CTestDlg::recordLine(const QString& line)
{
    if (!m_collector)
        return;
    const bool closing = line == QLatin1String(" ") && !m_step.lines.isEmpty() &&
                         m_step.lines.back() == QLatin1String("== End ==");
    m_collector->add(line);
    m_step.lines.push_back(line);
    if (closing)
        publishRun(measure::Verdict::Pass);
}

void CTestDlg::publishRun(measure::Verdict ended)
{
    if (!m_collector)
        return;
    m_step.done = m_cycle;
    m_step.end = QDateTime::currentDateTime();
    m_step.measurements = m_collector->take();
    m_collector.reset();
    m_step.verdict = ended;
    if (ended == measure::Verdict::Aborted)
        m_step.reason = m_closed ? QStringLiteral("closed") : QStringLiteral("stopped");
    measure::judge(m_step);
    measure::RunHeader header;
    header.name = m_step.test;
    header.start = m_step.start;
    header.end = m_step.end;
    measure::publishRecord(
        measure::runRecord(header, {measure::stepJson(m_step)}, m_step.verdict, m_step.reason));
    m_step = measure::StepRecord();
}

void CTestDlg::OnReset()
{
    setCumulative(0);
}

void CTestDlg::OnClear()
{
    listClear(common::kResultList);
}

void CTestDlg::useRunButton(int id)
{
    m_runId = id;
    onCommand(id, [this] { OnRun(); });
}

void CTestDlg::OnSaveToFile()
{
    ui::FileDialogRequest ask;
    ask.save = true;
    ask.defaultExtension = QStringLiteral("txt");
    ask.filter = kResultFilter;
    ask.hideReadOnly = true;
    ask.overwritePrompt = true;
    const std::optional<QString> path = ui::fileDialog(ask);
    if (!path || path->isEmpty())
        return;
    // A save that did not happen is said, or the operator would take the
    // results for kept.
    ui::ResultList* list = results();
    if (list && !list->saveToFile(platform::userFilePath(*path)))
        message(QStringLiteral("Couldn't save the results to %1.").arg(*path), ui::MsgButtons::Ok, ui::MsgIcon::Warning);
}

void CTestDlg::onAddLine(ui::Message& m)
{
    ui::ResultList* list = results();
    if (!list)
        return;
    if (m.lParam == 1) {
        if (auto* lines = m.payload.get<QStringList>()) {
            list->appendBatch(*lines);
            for (const QString& l : *lines)
                recordLine(l);
        }
    } else if (auto* line = m.payload.get<QString>()) {
        list->appendLine(*line);
        recordLine(*line);
    }
}

void CTestDlg::onCycleDone(ui::Message&)
{
    ++m_cyclesApplied;
    setInt(common::kCycle, ++m_cycle);
    setCumulative((m_record ? m_record->cumulativeCycle : m_cumulative) + 1LL);
}

void CTestDlg::onIdle(ui::Message& m)
{
    // Only a notice from after the last RUN counts (see TestRunner::generation()).
    if (m.wParam != m_runner->generation() || m_runner->running())
        return;
    if (!m_workerIdle) {
        m_workerIdle = true;
        if (m_stopPressed)
            publishRun(measure::Verdict::Aborted);
        enable(m_runId, true);
        onWorkerIdle();
    }
}

void CTestDlg::setCumulative(long long value)
{
    // Stops at the largest count the settings key holds instead of wrapping.
    value = std::clamp<long long>(value, 0, std::numeric_limits<int32_t>::max());
    if (m_record)
        m_record->cumulativeCycle = value;
    m_cumulative = value;
    setInt(common::kCumulativeCycle, value);
}

void CTestDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (!button || !isAncestorOf(button)) {
            e->accept();
            return;
        }
    }
    ui::Dialog::keyPressEvent(e);
}

void CTestDlg::onCancel()
{
    if (!m_closed) {
        onClosing();
        if (m_commit == Commit::AtClose) {
            updateData(true);
            commitValues();
        }
    }
    stopWorker();
    // A run still in progress when the dialog closed.
    publishRun(measure::Verdict::Aborted);
    ui::Dialog::onCancel();
}

void CTestDlg::stopWorker()
{
    if (m_closed || !m_runner)
        return;
    m_closed = true;
    // First stop taking messages, so that a worker blocked in a send or a
    // prompt is released and can see the quit event.
    closeMessages();
    if (!m_runner->close()) {
        // Still inside a request after the three waits: the request always
        // ends, and until it has, the worker may use what the dialog owns.
        onCloseOverdue();
        m_runner->join(platform::kInfinite);
    }
    // Cycles whose notices were dropped by the closing still count.
    const int dropped = m_cyclesPosted.load() - m_cyclesApplied;
    if (dropped > 0) {
        m_cyclesApplied += dropped;
        const long long total = (m_record ? m_record->cumulativeCycle : m_cumulative) + (long long)dropped;
        const int32_t kept = int32_t(std::min<long long>(total, std::numeric_limits<int32_t>::max()));
        if (m_record)
            m_record->cumulativeCycle = kept;
        m_cumulative = kept;
    }
}

} // namespace vantor
