#include "vantor/app/HistoryCommand.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <cstdio>
#include <cstring>

#include "records/HistoryFormat.h"
#include "records/Store.h"
#include "vantor/app/CommandLine.h"

namespace vantor {

namespace {

// "2026-12-01" is that day's local midnight; a full date and time is taken
// as written (with its offset, or as local time without one).
QDateTime parseSince(const QString& text)
{
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid() && text.size() == 10)
        return day.startOfDay();
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

void writeTo(FILE* to, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

} // namespace

bool wantsHistory(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--history") == 0 || std::strcmp(argv[i], "--record") == 0 ||
            std::strncmp(argv[i], "--record=", 9) == 0)
            return true;
    return false;
}

int historyCommand(const QStringList& arguments, QString& out, QString& err)
{
    // The program's one option table: what --help and the manual name is what parses here.
    QCommandLineParser parser;
    platform::addOptions(parser, commandLineInfo());
    const QCommandLineOption record = commandLineOption("record");
    const QCommandLineOption test = commandLineOption("test");
    const QCommandLineOption serial = commandLineOption("serial");
    const QCommandLineOption since = commandLineOption("since");
    const QCommandLineOption verdict = commandLineOption("verdict");
    const QCommandLineOption format = commandLineOption("format");
    const QCommandLineOption last = commandLineOption("last");
    const QCommandLineOption db = commandLineOption("db");
    if (!parser.parse(arguments)) {
        err = parser.errorText() + QLatin1Char('\n');
        return 2;
    }

    records::HistoryFilter filter;
    filter.test = parser.value(test);
    filter.serial = parser.value(serial);
    if (parser.isSet(since)) {
        filter.since = parseSince(parser.value(since));
        if (!filter.since.isValid()) {
            err = QStringLiteral("--since takes a date (2026-12-01) or a date and time\n");
            return 2;
        }
    }
    if (parser.isSet(verdict)) {
        filter.verdict = parser.value(verdict).toUpper();
        static const QStringList verdicts = {QStringLiteral("PASS"), QStringLiteral("FAIL"), QStringLiteral("ERROR"),
                                             QStringLiteral("ABORTED")};
        if (!verdicts.contains(filter.verdict)) {
            err = QStringLiteral("--verdict takes PASS, FAIL, ERROR or ABORTED\n");
            return 2;
        }
    }
    {
        bool ok = false;
        filter.limit = parser.isSet(last) ? parser.value(last).toInt(&ok) : (ok = true, 100);
        if (!ok || filter.limit < 0) {
            err = QStringLiteral("--last takes a whole number\n");
            return 2;
        }
    }
    records::HistoryFormat fmt{};
    if (!records::parseHistoryFormat(parser.isSet(format) ? parser.value(format) : QStringLiteral("table"), fmt)) {
        err = QStringLiteral("--format takes table, csv or json\n");
        return 2;
    }

    records::Location where = records::sqliteAt(records::defaultDatabasePath());
    QString why;
    if (parser.isSet(db)) {
        where = records::sqliteAt(parser.value(db));
    } else if (const QString url = records::configuredServerUrl(); !url.isEmpty()) {
        if (!records::parseServerUrl(url, where, &why)) {
            err = why + QLatin1Char('\n');
            return 2;
        }
    }
    std::unique_ptr<records::Store> store = records::Store::open(where, &why);
    if (!store) {
        err = QStringLiteral("Records: %1\n").arg(why);
        return 2;
    }

    if (parser.isSet(record)) {
        const std::optional<QJsonObject> run = store->record(parser.value(record).trimmed(), &why);
        if (!run) {
            err = why + QLatin1Char('\n');
            return 1;
        }
        out = QString::fromUtf8(QJsonDocument(*run).toJson(QJsonDocument::Indented));
        return 0;
    }
    const std::optional<QList<QJsonObject>> runs = store->history(filter, &why);
    if (!runs) {
        err = QStringLiteral("Records: %1\n").arg(why);
        return 2;
    }
    out = records::formatHistory(*runs, fmt);
    return 0;
}

int runHistory(const QStringList& arguments)
{
    QString out, err;
    const int code = historyCommand(arguments, out, err);
    writeTo(stdout, out);
    writeTo(stderr, err);
    return code;
}

} // namespace vantor
