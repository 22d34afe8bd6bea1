#pragma once
// A real PostgreSQL 15 server for the tests: a fresh cluster made with
// initdb in a temporary folder (as the postgres user when run as root, which
// initdb refuses), listening only on a Unix socket in that folder, stopped
// and removed at the end.
#include <QString>
#include <QTemporaryDir>

#include "records/Location.h"

namespace records::fixture {

class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    static bool binariesPresent();
    // initdb, start, and a database "records" owned by the user "diag".
    bool start(QString* why);
    bool stopImmediate(); // pg_ctl stop -m immediate: a crash, as far as clients see
    bool startAgain();    // the same cluster again
    void stop();

    Location location(const QString& user = QStringLiteral("diag"),
                      const QString& database = QStringLiteral("records")) const;
    QString url(const QString& user = QStringLiteral("diag")) const;
    QString socketFolder() const { return m_dir.path(); }
    int port() const { return m_port; }

private:
    bool run(const QString& program, const QStringList& args, QString* output = nullptr, bool asOwner = true);
    QString m_bin;
    QTemporaryDir m_dir;
    int m_port;
    bool m_running = false;
};

} // namespace records::fixture

// In a test: the server, or the test fails under CI (CI=true) and is skipped
// with the reason elsewhere when the PostgreSQL binaries are not installed.
#define DIAG_START_PG(server)                                                                                   \
    do {                                                                                                        \
        QString whyNot_;                                                                                        \
        if (!records::fixture::PgServer::binariesPresent() && qgetenv("CI") != "true")                          \
            GTEST_SKIP() << "PostgreSQL 15 is not installed (Debian package postgresql)";                       \
        ASSERT_TRUE((server).start(&whyNot_)) << qPrintable(whyNot_);                                           \
    } while (0)
