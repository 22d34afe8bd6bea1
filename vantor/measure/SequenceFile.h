#pragma once
// A sequence file as written: the steps a production line runs, each a test
// with its cycles, settings overrides and limits.
//
//   { "name": "Final test", "serialRequired": true, "steps": [
//     { "test": "Platen Test", "cycles": 5, "pause": 0, "settings": { "TotalPulses": 3000 },
//       "limits": { "Total encode": "1700..1900" } },
//     { "test": "Ejector Test", "cycles": 3, "limits": { "Run": "OK" }, "stopOnFail": true,
//       "plot": "ejector.png" } ] }
//
// Reading checks the form only (JSON, keys, types, limits that parse);
// whether the tests, keys and names exist is the runner's check.
#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "vantor/measure/Limits.h"

namespace vantor::measure {

struct SequenceStep {
    QString test;
    std::optional<int> cycles; // absent: the section's "cycle"
    std::optional<int> pause;  // absent: the section's "pause"
    std::vector<std::pair<QString, QString>> settings; // key as written, value as text
    std::vector<Limit> limits;
    bool stopOnFail = false;
    QString plot; // a PNG of the step's series, drawn after a headless run; "" none
};

struct SequenceDefinition {
    QString name;
    bool serialRequired = false;
    std::vector<SequenceStep> steps;
};

// `fileName` prefixes every error ("line.json:3:14: ..."; a JSON error gives
// the line and column, a wrong key or type the step and key).
std::optional<SequenceDefinition> readSequence(const QByteArray& bytes, const QString& fileName, QString* error);

} // namespace vantor::measure
