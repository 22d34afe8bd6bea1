#pragma once
// The part of JSON Schema that docs/record.schema.json uses: type, enum,
// required, properties, additionalProperties, items, minItems, minimum,
// pattern, oneOf and local $ref. Returns each violation with its JSON path.
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

namespace vantor::testing {

QStringList schemaViolations(const QJsonObject& schema, const QJsonValue& document);
// docs/record.schema.json of the source tree.
QJsonObject recordSchema();

} // namespace vantor::testing
