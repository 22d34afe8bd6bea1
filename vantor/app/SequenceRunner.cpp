#include "vantor/app/SequenceRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>

#include "platform/Event.h"
#include "platform/Thread.h"
#include "ui/Resources.h"
#include "vantor/app/TestMenu.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/measure/Measurements.h"
#include "vantor/measure/RecordSink.h"
#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

using measure::Verdict;

namespace {

// The menu label of a button, from the menu's template ("Platen Test").
QString menuLabel(int commandId)
{
    static const std::optional<ui::DialogTemplate> menu = ui::Resources::dialog(IDD_VANTOR_DIALOG);
    if (menu)
        for (const ui::ControlTemplate& c : menu->controls)
            if (c.id == commandId)
                return c.text;
    return {};
}

int distance(const QString& a, const QString& b)
{
    const QString x = a.toLower(), y = b.toLower();
    std::vector<int> row(size_t(y.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= x.size(); ++i) {
        int diag = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= y.size(); ++j) {
            const int up = row[size_t(j)];
            row[size_t(j)] = std::min({up + 1, row[size_t(j - 1)] + 1, diag + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row.back();
}

// A section of the process-wide settings seen through a step's overrides.
// Loading a record reads the base file except where the step sets a key;
// saving the record only records the keys and values it writes, so neither
// the base file nor Vantor.ini ever changes.
class OverlayFile final : public CSettingsFile {
public:
    OverlayFile(CSettingsFile& base, const std::vector<std::pair<QString, QString>>& overrides) : m_base(base)
    {
        for (const auto& [key, value] : overrides)
            m_overrides.insert(key.toLower(), value);
    }

    void SetSection(const char* name) override { SetSection(QString::fromLatin1(name)); }
    void SetSection(const QString& name) override
    {
        CSettingsFile::SetSection(name);
        m_base.SetSection(name);
    }
    QString GetString(const char* key, const char* defaultValue) override
    {
        return GetString(QString::fromLatin1(key), QString::fromLatin1(defaultValue));
    }
    QString GetString(const QString& key, const QString& defaultValue) override
    {
        const auto it = m_overrides.constFind(key.toLower());
        return it != m_overrides.constEnd() ? *it : m_base.GetString(key, defaultValue);
    }
    int32_t GetLong(const QString& key, int32_t defaultValue) override
    {
        const auto it = m_overrides.constFind(key.toLower());
        return it != m_overrides.constEnd() ? ToLong(*it) : m_base.GetLong(key, defaultValue);
    }
    int32_t GetInt(const QString& key, int32_t defaultValue) override
    {
        const auto it = m_overrides.constFind(key.toLower());
        return it != m_overrides.constEnd() ? ToLong(*it) : m_base.GetInt(key, defaultValue);
    }
    void SetInt(const QString& key, int32_t value) override { written.emplace_back(key, QString::number(value)); }
    void SetString(const QString& key, const QString& value) override { written.emplace_back(key, value); }
    bool Save(const QString&) override { return false; }

    std::vector<std::pair<QString, QString>> written;

private:
    CSettingsFile& m_base;
    QHash<QString, QString> m_overrides;
};

struct PlannedStep {
    const RunnableTest* test = nullptr;
    measure::SequenceStep definition;
    std::unique_ptr<OverlayFile> file;
    QString path; // the store keeps a reference
    std::unique_ptr<TestSettingsStore> store;
    CTestSettings* record = nullptr;
    std::vector<std::pair<QString, QString>> settings;
};

// Lines into the step's record and collector, and on to the caller.
class StepSink final : public RunSink {
public:
    StepSink(measure::StepRecord& rec, const SequenceEvents& ev, int step)
        : m_rec(rec), m_events(ev), m_step(step), m_collector(measure::tableFor(rec.section))
    {
    }
    void addLine(QString line) override { add(std::move(line)); }
    void addLines(QStringList lines) override
    {
        for (QString& l : lines)
            add(std::move(l));
    }
    void cycleDone() override
    {
        const int n = ++m_done;
        if (m_events.cycleDone)
            m_events.cycleDone(m_step, n, m_rec.requested);
    }
    void idle() override { m_idle.set(); }
    void finished() override { m_finished.set(); }

    void add(QString line)
    {
        {
            std::lock_guard lock(m_lock);
            m_collector.add(line);
            m_rec.lines.push_back(line);
        }
        if (m_events.line)
            m_events.line(m_step, line);
    }
    // Once the worker is done with the sink.
    void close()
    {
        std::lock_guard lock(m_lock);
        m_rec.measurements = m_collector.take();
        m_rec.done = m_done.load();
    }

    platform::Event m_finished{platform::Event::Reset::Manual};
    platform::Event m_idle{platform::Event::Reset::Manual};

private:
    std::mutex m_lock;
    measure::StepRecord& m_rec;
    const SequenceEvents& m_events;
    const int m_step;
    measure::Collector m_collector;
    std::atomic<int> m_done{0};
};

QString csvPathFor(const QString& recordPath, int step)
{
    if (recordPath.isEmpty())
        return {};
    QString base = recordPath;
    if (base.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        base.chop(5);
    return base + QStringLiteral(".step%1.csv").arg(step);
}

} // namespace

std::vector<RunnableTest> runnableTests()
{
    std::vector<RunnableTest> out;
    for (const TestScreen& s : testScreens())
        if (s.headless)
            out.push_back(
                {&s, menuLabel(s.commandId), QString::fromLatin1(TestSettingsSection(s.headless->settingsIndex))});
    return out;
}

const RunnableTest* findTest(const std::vector<RunnableTest>& tests, const QString& name)
{
    const QString wanted = name.trimmed();
    for (const RunnableTest& c : tests)
        if ((!c.label.isEmpty() && c.label.compare(wanted, Qt::CaseInsensitive) == 0) ||
            c.section.compare(wanted, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QStringList closeMatches(const std::vector<RunnableTest>& tests, const QString& name)
{
    std::vector<std::pair<int, QString>> scored;
    for (const RunnableTest& c : tests) {
        int best = distance(name, c.name());
        best = std::min(best, distance(name, c.section));
        if (c.name().contains(name, Qt::CaseInsensitive) || name.contains(c.section, Qt::CaseInsensitive))
            best = std::min(best, 1);
        if (best <= std::max<int>(3, int(name.size()) / 3))
            scored.emplace_back(best, c.name());
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList out;
    for (const auto& s : scored)
        if (out.size() < 3 && !out.contains(s.second))
            out << s.second;
    return out;
}

int exitCodeOf(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
    case Verdict::Skipped: return 0;
    case Verdict::Fail: return 1;
    case Verdict::Error: return 2;
    case Verdict::Aborted: return 3;
    }
    return 2;
}

struct SequenceRunner::Impl {
    measure::SequenceDefinition definition;
    Options options;
    std::vector<RunnableTest> tests;
    std::vector<std::unique_ptr<PlannedStep>> plan; // stable: each store refers to its step's path
    QString refusal;

    SequenceIdentity who;
    SequenceEvents events;
    std::atomic<bool> stopRequested{false};
    platform::Event stopEvent{platform::Event::Reset::Manual};
    platform::Event done{platform::Event::Reset::Manual};
    platform::WorkerThread thread;

    // The step's runner while its cycles run: Stop reaches it at once, from
    // the caller's thread, so that no further cycle starts while this
    // thread is still waking up to pass the Stop on.
    std::mutex runnerLock;
    TestRunner* runner = nullptr;

    mutable std::mutex lock;
    std::vector<measure::StepRecord> steps;
    QJsonObject record;
    Verdict verdict = Verdict::Pass;

    void runAll();
    void runStep(int i, measure::StepRecord& rec);
};

SequenceRunner::SequenceRunner() : d(std::make_unique<Impl>()) {}

SequenceRunner::~SequenceRunner()
{
    if (d->thread.started()) {
        stop();
        d->thread.join(platform::kInfinite);
    }
}

std::unique_ptr<SequenceRunner> SequenceRunner::load(const QString& path, QString* error, Options options)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: cannot be read: %2").arg(path, f.errorString());
        return nullptr;
    }
    std::optional<measure::SequenceDefinition> definition = measure::readSequence(f.readAll(), path, error);
    if (!definition)
        return nullptr;
    return fromDefinition(std::move(*definition), path, error, std::move(options));
}

std::unique_ptr<SequenceRunner> SequenceRunner::fromDefinition(measure::SequenceDefinition definition, const QString& fileName,
                                                         QString* error, Options options)
{
    std::unique_ptr<SequenceRunner> r(new SequenceRunner);
    Impl& d = *r->d;
    d.definition = std::move(definition);
    d.options = std::move(options);
    d.tests = runnableTests();
    QString problems;
    auto where = [&](size_t i, const QString& test) {
        return d.options.singleRun ? QString()
                                   : QStringLiteral("%1: step %2 (%3): ").arg(fileName).arg(i + 1).arg(test);
    };
    for (size_t i = 0; i < d.definition.steps.size(); ++i) {
        const measure::SequenceStep& s = d.definition.steps[i];
        d.plan.push_back(std::make_unique<PlannedStep>());
        PlannedStep& p = *d.plan.back();
        p.definition = s;
        p.test = findTest(d.tests, s.test);
        if (!p.test) {
            const QStringList near = closeMatches(d.tests, s.test);
            problems += where(i, s.test) + QStringLiteral("no test \"%1\" can run").arg(s.test) +
                        (near.isEmpty() ? QStringLiteral("; --list names them")
                                        : QStringLiteral("; did you mean %1?").arg(near.join(QStringLiteral(", ")))) +
                        QLatin1Char('\n');
            continue;
        }
        const int index = p.test->screen->headless->settingsIndex;
        // The section's keys as the record writes them, before any override.
        std::vector<std::pair<QString, QString>> keys;
        {
            const QString noPath;
            OverlayFile probe(TheSettingsFile(), {});
            TestSettingsStore store(probe, noPath);
            CTestSettings* rec = store.Fetch(index);
            if (rec)
                rec->Save();
            keys = probe.written;
        }
        for (const auto& [key, value] : s.settings) {
            const QString& wanted = key; // a lambda may not capture a binding (clang 14)
            const bool known = std::any_of(keys.begin(), keys.end(), [&](const auto& k) {
                return k.first.compare(wanted, Qt::CaseInsensitive) == 0;
            });
            if (!known) {
                QStringList names;
                for (const auto& k : keys)
                    names << k.first;
                problems += where(i, p.test->name()) +
                            QStringLiteral("no settings key \"%1\" in [%2]; its keys: %3\n")
                                .arg(key, p.test->section, names.join(QStringLiteral(", ")));
            }
        }
        const QString limitProblems = measure::checkLimitNames(p.test->section, s.limits);
        for (const QString& line : limitProblems.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            problems += where(i, p.test->name()) + line + QLatin1Char('\n');

        p.file = std::make_unique<OverlayFile>(TheSettingsFile(), s.settings);
        p.path = SettingsPath();
        p.store = std::make_unique<TestSettingsStore>(*p.file, p.path);
        p.record = p.store->Fetch(index);
        if (!p.record) {
            problems += where(i, p.test->name()) + QStringLiteral("the test has no settings record\n");
            continue;
        }
        if (s.cycles)
            p.record->cycle = *s.cycles;
        if (s.pause)
            p.record->pause = *s.pause;
        // The dialog's own checks, with its texts. The tests that check
        // nothing still need a cycle to run.
        QString refusal = p.test->screen->headless->validate(*p.record);
        if (refusal.isEmpty() && p.record->cycle < 1)
            refusal = checkTotalCycle(p.record->cycle);
        if (!refusal.isEmpty())
            problems += d.options.singleRun ? refusal
                                            : where(i, p.test->name()) + QString(refusal).replace(
                                                  QLatin1Char('\n'), QLatin1String("; ")).chopped(2) +
                                                  QLatin1Char('\n');
        p.file->written.clear();
        p.record->Save();
        p.settings = std::move(p.file->written);
    }
    if (!problems.isEmpty()) {
        if (error)
            *error = problems;
        return nullptr;
    }
    return r;
}

const measure::SequenceDefinition& SequenceRunner::definition() const { return d->definition; }
const std::vector<std::pair<QString, QString>>& SequenceRunner::settingsOf(int step) const
{
    return d->plan[size_t(step)]->settings;
}
const RunnableTest& SequenceRunner::testOf(int step) const { return *d->plan[size_t(step)]->test; }

bool SequenceRunner::start(const SequenceIdentity& who, SequenceEvents events, QString* error)
{
    if (d->thread.started()) {
        if (error)
            *error = QStringLiteral("the sequence has run already\n");
        return false;
    }
    if (d->definition.serialRequired && who.serial.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("the sequence \"%1\" asks for the unit's serial: give --serial\n").arg(d->definition.name);
        return false;
    }
    d->who = who;
    d->events = std::move(events);
    return d->thread.start([impl = d.get()] { impl->runAll(); });
}

void SequenceRunner::stop()
{
    d->stopRequested = true;
    {
        std::lock_guard l(d->runnerLock);
        if (d->runner)
            d->runner->stop();
    }
    d->stopEvent.set();
}

bool SequenceRunner::wait(platform::Millis timeout)
{
    return platform::waitOne(d->done, timeout).status == platform::WaitStatus::Signalled;
}

bool SequenceRunner::finished() const { return d->done.isSet(); }

QJsonObject SequenceRunner::record() const
{
    std::lock_guard lock(d->lock);
    return d->record;
}

Verdict SequenceRunner::verdict() const
{
    std::lock_guard lock(d->lock);
    return d->verdict;
}

int SequenceRunner::exitCode() const { return exitCodeOf(verdict()); }

const std::vector<measure::StepRecord>& SequenceRunner::steps() const { return d->steps; }

QString SequenceRunner::refusal() const
{
    std::lock_guard lock(d->lock);
    return d->refusal;
}

void SequenceRunner::Impl::runStep(int i, measure::StepRecord& rec)
{
    PlannedStep& p = *plan[size_t(i)];
    StepSink sink(rec, events, i);
    PreparedRun prepared = p.test->screen->headless->prepare(*p.record, openDriver());
    if (!prepared) {
        {
            std::lock_guard l(lock);
            refusal = prepared.refusal;
        }
        rec.verdict = Verdict::Error;
        rec.reason = prepared.refusal.isEmpty() ? QStringLiteral("the test could not be prepared")
                                                : prepared.refusal.trimmed().replace(QLatin1Char('\n'), QLatin1String("; "));
        sink.close();
        return;
    }
    for (const QString& line : runStartLines(*prepared.run))
        sink.add(line);
    {
        TestRunner runner(sink);
        runner.start();
        runner.run(std::move(prepared.run), p.record->cycle, p.record->pause);
        {
            std::lock_guard l(runnerLock);
            this->runner = &runner;
        }
        bool stopped = false;
        while (!sink.m_finished.isSet()) {
            platform::waitAny({&sink.m_finished, &stopEvent}, platform::Millis(100));
            if (stopRequested && !stopped) {
                // Like Stop: the cycle in progress finishes, no "== End ==".
                stopped = true;
                runner.stop();
                sink.m_idle.reset();
            }
            if (stopped && sink.m_idle.isSet())
                break;
        }
        {
            std::lock_guard l(runnerLock);
            this->runner = nullptr;
        }
        runner.close();
        if (stopped && !sink.m_finished.isSet()) {
            rec.verdict = Verdict::Aborted;
            rec.reason = QStringLiteral("stopped");
        }
    }
    sink.close();
}

void SequenceRunner::Impl::runAll()
{
    measure::RunHeader header;
    header.kind = options.singleRun ? QStringLiteral("run") : QStringLiteral("sequence");
    header.name = options.singleRun && !plan.empty() ? plan.front()->test->name() : definition.name;
    header.serial = who.serial;
    header.station = who.station;
    header.operatorName = who.operatorName;
    header.start = QDateTime::currentDateTime();

    std::vector<QJsonObject> stepObjects;
    Verdict overall = Verdict::Pass;
    QStringList reasons;
    bool skipRest = false;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlannedStep& p = *plan[i];
        measure::StepRecord rec;
        rec.index = int(i);
        rec.test = p.test->name();
        rec.section = p.test->section;
        rec.settings = p.settings;
        rec.requested = p.record->cycle;
        rec.limits = p.definition.limits;
        rec.start = QDateTime::currentDateTime();
        if (skipRest || stopRequested) {
            rec.verdict = Verdict::Skipped;
            rec.reason = stopRequested ? QStringLiteral("the sequence was stopped")
                                       : QStringLiteral("an earlier step failed");
        } else {
            if (events.stepStarted)
                events.stepStarted(int(i), rec.test, rec.requested);
            runStep(int(i), rec);
            measure::judge(rec);
            if (p.definition.stopOnFail && (rec.verdict == Verdict::Fail || rec.verdict == Verdict::Error))
                skipRest = true;
        }
        rec.end = QDateTime::currentDateTime();
        if (rec.verdict != Verdict::Skipped && events.stepEnded)
            events.stepEnded(int(i), rec.verdict, rec.reason);
        overall = measure::worse(overall, rec.verdict == Verdict::Skipped ? Verdict::Pass : rec.verdict);
        if (!rec.reason.isEmpty() && rec.verdict != Verdict::Skipped && rec.verdict != Verdict::Pass)
            reasons << (plan.size() > 1 ? QStringLiteral("%1: %2").arg(rec.test, rec.reason) : rec.reason);
        stepObjects.push_back(measure::stepJson(rec, csvPathFor(options.recordPath, int(i))));
        std::lock_guard lock(this->lock);
        steps.push_back(std::move(rec));
    }
    header.end = QDateTime::currentDateTime();
    QJsonObject r = measure::runRecord(header, stepObjects, overall, reasons.join(QStringLiteral("; ")));
    {
        std::lock_guard lock(this->lock);
        record = r;
        verdict = overall;
    }
    measure::publishRecord(r);
    if (events.finished)
        events.finished(r);
    done.set();
}

} // namespace vantor
