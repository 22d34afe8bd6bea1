#pragma once
// A calibration or a save of calibration values as a run record of its own
// (kind "calibration"): one step whose measurements are the values after,
// each with the value before beside it ("before"), and the lines a person
// reads ("name: before -> after").
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <vector>

namespace records {

struct CalibrationValue {
    QString name;
    QJsonValue before; // null when the screen never knew it
    QJsonValue after;
    QString unit;
};

struct Calibration {
    QString program = QStringLiteral("pellam");
    QString caption; // the screen's caption: the record's name
    QString section; // where its settings come from
    QJsonObject settings;
    std::vector<CalibrationValue> values;
    QStringList refused; // why values were not taken; any makes the verdict FAIL
    QDateTime start, end;
};

QJsonObject calibrationRecord(const Calibration& c);

} // namespace records
