#pragma once
// The writer thread of a program's records. submit() only queues, so a
// cycle or the user-interface thread never waits on a database. The writer
// stores each run in the station's SQLite file; with a fleet server it also
// forwards the file's outbox to the server in order, retrying with back-off
// on the clock in force, and marks a run sent only after the server's
// commit. A store that fails is said once (until it works again) through
// the notice, and the run goes on.
#include <QJsonObject>
#include <QString>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/Event.h"
#include "platform/Thread.h"
#include "records/Location.h"

namespace records {

class Recorder {
public:
    struct Options {
        Location local;                 // the store, or with a server its spool
        std::optional<Location> server; // the fleet's PostgreSQL server
        platform::Millis firstRetry{500};
        platform::Millis maxRetry{30000};
    };
    // Called on the writer thread, once per failure until the store works again.
    using Notice = std::function<void(const QString& message)>;

    Recorder(Options options, Notice notice);
    ~Recorder(); // close(5000 ms)
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void submit(QJsonObject record);
    // Everything submitted is stored (and acknowledged by the server).
    bool waitIdle(platform::Millis timeout);
    // Everything submitted is in the station's file (the server may still
    // be behind): what a kill from now on cannot lose.
    bool waitSpooled(platform::Millis timeout);
    // One last pass over what is queued, then the writer ends; what the
    // server has not acknowledged stays in the spool for the next start.
    void close(platform::Millis timeout);

    int notices() const;
    // Set after each notice (auto reset), once the writer has scheduled its
    // next attempt: lets a test wait for a failure, then move the clock.
    platform::Event& noticed() { return m_noticed; }
    // Forward attempts that reached the server and failed, for tests.
    int serverFailures() const;

private:
    void body();

    const Options m_options;
    const Notice m_notice;
    mutable std::mutex m_lock;
    std::deque<QJsonObject> m_queue; // guarded by m_lock
    int m_notices = 0;               // guarded by m_lock
    int m_serverFailures = 0;        // guarded by m_lock
    platform::Event m_wake{platform::Event::Reset::Auto, true};
    platform::Event m_quit{platform::Event::Reset::Manual};
    platform::Event m_idle{platform::Event::Reset::Manual};
    platform::Event m_spooled{platform::Event::Reset::Manual};
    platform::Event m_noticed{platform::Event::Reset::Auto};
    platform::WorkerThread m_thread;
    bool m_closed = false;
};

// The program's recorder, from DIAG_RECORDS or \Store\Records.ini: the
// station's \Store\Records.db, spooling to the server when one is set.
// A bad URL is said through the notice and records stay local.
Recorder::Options defaultOptions(const Recorder::Notice& notice);

} // namespace records
