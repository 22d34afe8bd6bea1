#include "records/HistoryFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace records {

namespace {

struct Column {
    const char* title;
    const char* key;
};
constexpr Column kColumns[] = {
    {"start", "start"},     {"verdict", "verdict"}, {"name", "name"},          {"section", "section"},
    {"serial", "serial"},   {"station", "station"}, {"operator", "operator"},  {"measurements", "measurementCount"},
    {"failed", "failedCount"}, {"lines", "lineCount"}, {"uuid", "uuid"},
};

QString cell(const QJsonObject& run, const char* key)
{
    const QJsonValue v = run.value(QLatin1String(key));
    return v.isDouble() ? QString::number(qint64(v.toDouble())) : v.toString();
}

QString csvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')))
        return s;
    QString quoted = s;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

bool parseHistoryFormat(const QString& name, HistoryFormat& out)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("table"))
        out = HistoryFormat::Table;
    else if (n == QLatin1String("csv"))
        out = HistoryFormat::Csv;
    else if (n == QLatin1String("json"))
        out = HistoryFormat::Json;
    else
        return false;
    return true;
}

QString formatHistory(const QList<QJsonObject>& runs, HistoryFormat format)
{
    if (format == HistoryFormat::Json) {
        QJsonArray all;
        for (const QJsonObject& r : runs)
            all.append(r);
        return QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented));
    }
    QList<QStringList> rows;
    QStringList header;
    for (const Column& c : kColumns)
        header << QString::fromLatin1(c.title);
    rows << header;
    for (const QJsonObject& r : runs) {
        QStringList row;
        for (const Column& c : kColumns)
            row << cell(r, c.key);
        rows << row;
    }
    QString out;
    if (format == HistoryFormat::Csv) {
        for (const QStringList& row : rows) {
            QStringList fields;
            for (const QString& f : row)
                fields << csvField(f);
            out += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
        }
        return out;
    }
    std::vector<qsizetype> width(header.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            width[size_t(i)] = std::max(width[size_t(i)], row[i].size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += (i + 1 < row.size() ? row[i].leftJustified(width[size_t(i)] + 2) : row[i]);
        out += line + QLatin1Char('\n');
    }
    return out;
}

} // namespace records
