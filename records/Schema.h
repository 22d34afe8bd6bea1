#pragma once
// One schema for SQLite and PostgreSQL, versioned by the table
// schema_version. A database of a newer schema than this program knows is
// refused and never altered.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace records {

constexpr int kSchemaVersion = 1;

enum class Dialect { SQLite, PostgreSQL };

// The statements that create the schema at kSchemaVersion.
QStringList schemaStatements(Dialect dialect);

// The version the database holds; 0 when it has no schema yet, -1 when it
// cannot be read (the error says why).
int storedSchemaVersion(QSqlDatabase& db, QString* error);

// Creates or migrates the schema in one transaction from the version read
// before; refuses a newer one.
bool ensureSchema(QSqlDatabase& db, Dialect dialect, int before, QString* error);

} // namespace records
