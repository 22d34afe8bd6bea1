#pragma once
// The history of runs as text: an aligned table for people, CSV for a
// spreadsheet, JSON for scripts (one array of the summaries).
#include <QJsonObject>
#include <QList>
#include <QString>

namespace records {

enum class HistoryFormat { Table, Csv, Json };

// "table", "csv", "json"; false for anything else.
bool parseHistoryFormat(const QString& name, HistoryFormat& out);

QString formatHistory(const QList<QJsonObject>& runs, HistoryFormat format);

} // namespace records
