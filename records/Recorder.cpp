#include "records/Recorder.h"

#include <algorithm>
#include <memory>

#include "records/Store.h"

namespace records {

using platform::Millis;

Recorder::Options defaultOptions(const Recorder::Notice& notice)
{
    Recorder::Options o;
    o.local = sqliteAt(defaultDatabasePath());
    const QString url = configuredServerUrl();
    if (!url.isEmpty()) {
        Location server;
        QString why;
        if (parseServerUrl(url, server, &why))
            o.server = server;
        else if (notice)
            notice(why + QStringLiteral("; records stay on this station"));
    }
    return o;
}

Recorder::Recorder(Options options, Notice notice) : m_options(std::move(options)), m_notice(std::move(notice))
{
    m_thread.start([this] { body(); });
}

Recorder::~Recorder() { close(Millis(5000)); }

void Recorder::submit(QJsonObject record)
{
    std::lock_guard lock(m_lock);
    m_queue.push_back(std::move(record));
    m_idle.reset();
    m_spooled.reset();
    m_wake.set();
}

bool Recorder::waitIdle(Millis timeout) { return platform::waitOne(m_idle, timeout).status == platform::WaitStatus::Signalled; }

bool Recorder::waitSpooled(Millis timeout)
{
    return platform::waitOne(m_spooled, timeout).status == platform::WaitStatus::Signalled;
}

void Recorder::close(Millis timeout)
{
    if (m_closed)
        return;
    m_closed = true;
    m_quit.set();
    m_thread.join(timeout);
}

int Recorder::notices() const
{
    std::lock_guard lock(m_lock);
    return m_notices;
}

int Recorder::serverFailures() const
{
    std::lock_guard lock(m_lock);
    return m_serverFailures;
}

void Recorder::body()
{
    std::unique_ptr<Store> local, server;
    std::deque<QJsonObject> unsaved; // taken from the queue, not yet in any store
    bool saidLocal = false, saidServer = false;
    bool saidThisPass = false;
    Millis backoff = m_options.firstRetry;
    std::optional<Millis> retryAt;

    auto say = [&](bool& said, const QString& message) {
        if (said)
            return;
        said = true;
        {
            std::lock_guard lock(m_lock);
            ++m_notices;
        }
        if (m_notice)
            m_notice(message);
        saidThisPass = true;
    };
    auto serverFailed = [&](const QString& why) {
        {
            std::lock_guard lock(m_lock);
            ++m_serverFailures;
        }
        // A connection that failed once is not trusted again; reopen next time.
        server.reset();
        say(saidServer, QStringLiteral("Records cannot reach the server (%1); they are kept on this station and sent "
                                       "when it answers.")
                            .arg(why));
    };
    auto openServer = [&]() {
        if (server)
            return true;
        QString why;
        server = Store::open(*m_options.server, &why);
        if (!server)
            serverFailed(why);
        return bool(server);
    };

    for (bool quitting = false; !quitting;) {
        const platform::WaitResult woke =
            retryAt ? platform::waitAnyUntil({&m_quit, &m_wake}, *retryAt) : platform::waitAny({&m_quit, &m_wake}, platform::kInfinite);
        quitting = woke.signalled(0) || m_quit.isSet();
        const bool retrying = retryAt && platform::clock().now() >= *retryAt;
        {
            std::lock_guard lock(m_lock);
            while (!m_queue.empty()) {
                unsaved.push_back(std::move(m_queue.front()));
                m_queue.pop_front();
            }
        }
        // During an outage the server is tried once per back-off, not once
        // per run; new runs still go to the spool at once.
        const bool due = !retryAt || retrying;
        bool failed = false;
        QString why;
        // The spool is opened for runs to keep, or for an outbox to send;
        // without a server the first pass has neither (and the program's
        // start is not made to wait for the database driver).
        if (!unsaved.empty() || (due && m_options.server)) {
            if (!local)
                local = Store::open(m_options.local, &why);
            if (!local) {
                failed = true;
                say(saidLocal, QStringLiteral("Records cannot be kept in %1: %2").arg(m_options.local.path, why));
            }
            while (local && !unsaved.empty()) {
                const Store::Saved r = local->save(unsaved.front(), &why, m_options.server.has_value());
                if (r == Store::Saved::Failed) {
                    failed = true;
                    say(saidLocal, QStringLiteral("Records cannot be kept: %1").arg(why));
                    // A store that failed may be fine after reopening (a disk
                    // made writable again), so the next attempt starts afresh.
                    local.reset();
                    break;
                }
                saidLocal = false;
                unsaved.pop_front();
            }
        }
        if (m_options.server && due) {
            // Without a spool the records go straight to the server.
            while (!local && !unsaved.empty() && openServer()) {
                if (server->save(unsaved.front(), &why) == Store::Saved::Failed) {
                    serverFailed(why);
                    break;
                }
                saidServer = false;
                unsaved.pop_front();
            }
            // The spool's outbox, in order.
            for (bool more = local != nullptr; more;) {
                const QStringList uuids = local->pending(50, &why);
                if (uuids.isEmpty())
                    break;
                if (!openServer()) {
                    failed = true;
                    break;
                }
                for (const QString& uuid : uuids) {
                    const std::optional<QJsonObject> record = local->record(uuid, &why);
                    if (!record) {
                        failed = true;
                        more = false;
                        say(saidLocal, QStringLiteral("Records cannot be read back for the server: %1").arg(why));
                        break;
                    }
                    if (server->save(*record, &why) == Store::Saved::Failed) {
                        serverFailed(why);
                        failed = true;
                        more = false;
                        break;
                    }
                    // Only after the server's commit; a kill before this line
                    // sends the run again and the server keeps it once.
                    saidServer = false;
                    local->markSent(uuid, &why);
                }
            }
        } else if (m_options.server && retryAt) {
            failed = true; // still waiting out the back-off
        }
        if ((failed || !unsaved.empty()) && (due || !retryAt)) {
            retryAt = platform::clock().now() + backoff;
            backoff = std::min(backoff * 2, m_options.maxRetry);
        } else if (!failed && unsaved.empty()) {
            retryAt.reset();
            backoff = m_options.firstRetry;
        }
        {
            std::lock_guard lock(m_lock);
            if (m_queue.empty() && unsaved.empty() && !retryAt)
                m_idle.set();
            if (m_queue.empty() && unsaved.empty() && local)
                m_spooled.set();
        }
        // Only once the retry is scheduled: a waiter that then moves the
        // clock past it must find the writer's deadline already set.
        if (saidThisPass) {
            saidThisPass = false;
            m_noticed.set();
        }
    }
}

} // namespace records
