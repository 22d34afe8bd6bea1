#include "PgServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <pwd.h>
#include <unistd.h>

namespace records::fixture {

namespace {
const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
}

PgServer::PgServer() : m_bin(kBin), m_dir(QDir::tempPath() + QStringLiteral("/records-pg-XXXXXX"))
{
    m_port = 40000 + int(::getpid() % 20000);
}

PgServer::~PgServer() { stop(); }

bool PgServer::binariesPresent() { return QFile::exists(kBin + QStringLiteral("initdb")); }

bool PgServer::run(const QString& program, const QStringList& args, QString* output, bool asOwner)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (asOwner && ::geteuid() == 0) {
        // initdb and postgres refuse root; the Debian package made this user.
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                                       QStringLiteral("--"), m_bin + program} + args);
    } else {
        p.start(m_bin + program, args);
    }
    const bool done = p.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start(QString* why)
{
    auto fail = [&](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    if (!binariesPresent())
        return fail(QStringLiteral("no %1initdb (Debian package postgresql)").arg(m_bin));
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary folder"));
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (!pw)
            return fail(QStringLiteral("running as root and there is no postgres user to run the server"));
        if (::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
            return fail(QStringLiteral("cannot hand %1 to the postgres user").arg(m_dir.path()));
    }
    QString out;
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), m_dir.path() + QStringLiteral("/data"), QStringLiteral("-U"), QStringLiteral("diag"),
              QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
             &out))
        return fail(QStringLiteral("initdb failed: %1").arg(out));
    if (!startAgain())
        return fail(QStringLiteral("the server did not start: %1").arg(QString::fromLocal8Bit([&] {
            QFile log(m_dir.path() + QStringLiteral("/log"));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        }())));
    if (!run(QStringLiteral("createdb"),
             {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
              QStringLiteral("diag"), QStringLiteral("records")},
             &out, false))
        return fail(QStringLiteral("createdb failed: %1").arg(out));
    return true;
}

bool PgServer::startAgain()
{
    // Only the socket in our folder: no TCP port, nothing another test sees.
    const QString options = QStringLiteral("-k %1 -c listen_addresses= -p %2 -c fsync=off").arg(m_dir.path()).arg(m_port);
    m_running = run(QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), m_dir.path() + QStringLiteral("/data"), QStringLiteral("-l"),
                     m_dir.path() + QStringLiteral("/log"), QStringLiteral("-o"), options, QStringLiteral("-w"),
                     QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")});
    return m_running;
}

bool PgServer::stopImmediate()
{
    const bool ok = run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir.path() + QStringLiteral("/data"),
                                                   QStringLiteral("-m"), QStringLiteral("immediate"),
                                                   QStringLiteral("-w"), QStringLiteral("stop")});
    if (ok)
        m_running = false;
    return ok;
}

void PgServer::stop()
{
    if (!m_running)
        return;
    run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_dir.path() + QStringLiteral("/data"), QStringLiteral("-m"),
                                   QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    m_running = false;
}

Location PgServer::location(const QString& user, const QString& database) const
{
    Location l;
    l.engine = Location::Engine::PostgreSQL;
    l.host = m_dir.path();
    l.port = m_port;
    l.user = user;
    l.database = database;
    return l;
}

QString PgServer::url(const QString& user) const
{
    return QStringLiteral("postgresql://%1@:%2/records?host=%3").arg(user).arg(m_port).arg(m_dir.path());
}

} // namespace records::fixture
