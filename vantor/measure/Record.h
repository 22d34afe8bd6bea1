#pragma once
// The run record: one JSON document per run (a dialog run, `vantor --run`, a
// sequence), the shape the records store, the plots and the station read.
// docs/record.schema.json describes it.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "vantor/measure/Limits.h"
#include "vantor/measure/Measurements.h"

namespace vantor::measure {

// Verdicts, worst last: a run is the worst of its steps.
enum class Verdict { Pass, Skipped, Fail, Error, Aborted };
QString verdictText(Verdict v); // "PASS", "SKIPPED", "FAIL", "ERROR", "ABORTED"
Verdict worse(Verdict a, Verdict b);

// Series with more samples than this go to a CSV file beside the record.
constexpr size_t kInlineSampleLimit = 10000;

struct StepRecord {
    int index = 0;
    QString test;    // menu label
    QString section; // settings section
    std::vector<std::pair<QString, QString>> settings; // every key, as the file spells it
    int requested = 0;
    int done = 0;
    QDateTime start, end;
    Verdict verdict = Verdict::Pass;
    QString reason;
    QStringList lines;
    Measurements measurements;
    std::vector<Limit> limits;
};

// Applies the limits and the FAIL lines: PASS or FAIL (a step already
// refused, stopped or skipped keeps its verdict), with the failing
// measurements as the reason.
void judge(StepRecord& step);
// The measurements or series (name, cycle) that failed their limits, or a
// limit that had no value at all; empty when none.
QStringList failures(const StepRecord& step);

// The step as the record keeps it. `csvPath`: when the step's samples exceed
// kInlineSampleLimit they are written there (name,cycle,index,value) and
// its file name goes into each series; empty = never written.
QJsonObject stepJson(const StepRecord& step, const QString& csvPath = QString());

struct RunHeader {
    QString program = QStringLiteral("vantor");
    QString kind = QStringLiteral("run"); // "run", "sequence", "calibration"
    QString name;
    QString serial;
    QString station;  // empty: the host name
    QString operatorName; // empty: the login
    QString version;  // empty: the application's version
    QDateTime start, end;
};

// The whole record; `steps` are stepJson() objects. The verdict is the
// worst of the steps'.
QJsonObject runRecord(const RunHeader& header, const std::vector<QJsonObject>& steps, Verdict verdict,
                      const QString& reason = QString());

// ISO 8601 with milliseconds and the zone offset ("2026-12-09T17:02:03.123+00:00").
QString isoTime(const QDateTime& t);
QString hostName();
QString loginName();

// Writes a JSON document through a temporary file renamed into place.
bool writeJsonFile(const QString& path, const QJsonObject& record);

} // namespace vantor::measure
