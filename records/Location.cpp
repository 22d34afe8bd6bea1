#include "records/Location.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>

#include "platform/DevicePath.h"

namespace records {

QString Location::describe() const
{
    if (!isServer())
        return path;
    return QStringLiteral("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

Location sqliteAt(const QString& file)
{
    Location l;
    l.engine = Location::Engine::SQLite;
    l.path = file;
    return l;
}

bool parseServerUrl(const QString& text, Location& out, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("DIAG_RECORDS: %1").arg(why);
        return false;
    };
    // libpq takes a socket folder percent-encoded in the host's place
    // (%2Fvar%2Frun%2Fpostgresql), which QUrl refuses as a host name.
    static const QRegularExpression socketHost(
        QStringLiteral("^(postgres(?:ql)?://(?:[^@/]*@)?)(%2[Ff][^:/?]*)(.*)$"));
    QString plain = text.trimmed();
    QString socketFolder;
    if (const QRegularExpressionMatch m = socketHost.match(plain); m.hasMatch()) {
        socketFolder = QUrl::fromPercentEncoding(m.captured(2).toUtf8());
        plain = m.captured(1) + m.captured(3);
    }
    const QUrl url(plain, QUrl::StrictMode);
    if (!url.isValid())
        return fail(QStringLiteral("not a URL: %1").arg(url.errorString()));
    if (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres"))
        return fail(QStringLiteral("only postgresql:// is understood, not \"%1\"").arg(url.scheme()));
    Location l;
    l.engine = Location::Engine::PostgreSQL;
    l.user = url.userName(QUrl::FullyDecoded);
    l.password = url.password(QUrl::FullyDecoded);
    l.host = socketFolder.isEmpty() ? url.host(QUrl::FullyDecoded) : socketFolder;
    l.port = url.port(5432);
    l.database = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        l.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (l.host.isEmpty()) {
        // libpq's own default: the Debian socket folder.
        l.host = QStringLiteral("/var/run/postgresql");
    }
    if (l.database.isEmpty())
        return fail(QStringLiteral("the URL names no database"));
    out = l;
    return true;
}

QString defaultDatabasePath() { return platform::hostPath(QStringLiteral("\\Store\\Records.db")); }

QString configuredServerUrl()
{
    const QByteArray env = qgetenv("DIAG_RECORDS");
    if (!env.isEmpty())
        return QString::fromUtf8(env);
    const QString ini = platform::hostPath(QStringLiteral("\\Store\\Records.ini"));
    if (ini.isEmpty())
        return {};
    const QSettings settings(ini, QSettings::IniFormat);
    return settings.value(QStringLiteral("DIAG_RECORDS")).toString();
}

} // namespace records
