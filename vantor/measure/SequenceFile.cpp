#include "vantor/measure/SequenceFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>
#include <cmath>
#include <limits>

namespace vantor::measure {

namespace {

// The line and column (both from 1) of a byte offset.
std::pair<int, int> position(const QByteArray& bytes, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, bytes.size());
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i)
        if (bytes[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    // Columns count characters, not bytes.
    return {line, int(QString::fromUtf8(bytes.constData() + lineStart, offset - lineStart).size()) + 1};
}

QString expectation(QJsonParseError::ParseError e)
{
    switch (e) {
    case QJsonParseError::UnterminatedObject: return QStringLiteral("expected , or } in an object");
    case QJsonParseError::MissingNameSeparator: return QStringLiteral("expected : after a key");
    case QJsonParseError::UnterminatedArray: return QStringLiteral("expected , or ] in an array");
    case QJsonParseError::MissingValueSeparator: return QStringLiteral("expected , between values");
    case QJsonParseError::IllegalValue:
        return QStringLiteral("expected a value: a string, a number, an object, an array, true, false or null");
    case QJsonParseError::TerminationByNumber:
    case QJsonParseError::IllegalNumber: return QStringLiteral("expected a number");
    case QJsonParseError::IllegalEscapeSequence:
    case QJsonParseError::IllegalUTF8String:
    case QJsonParseError::UnterminatedString: return QStringLiteral("expected a string closed by \"");
    case QJsonParseError::MissingObject: return QStringLiteral("expected a key after ,");
    case QJsonParseError::GarbageAtEnd: return QStringLiteral("expected the end of the document");
    default: break;
    }
    return QStringLiteral("expected JSON");
}

QString typeName(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("true or false");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a string");
    case QJsonValue::Array: return QStringLiteral("an array");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("nothing");
}

struct Reader {
    QString file;
    QString* error;

    bool fail(const QString& where, const QString& what)
    {
        if (error)
            *error = QStringLiteral("%1: %2: %3").arg(file, where, what);
        return false;
    }
    bool wholeNumber(const QJsonValue& v, const QString& where, int& out)
    {
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || std::floor(d) != d || d < std::numeric_limits<int>::min() ||
            d > std::numeric_limits<int>::max())
            return fail(where, QStringLiteral("expected a whole number, found %1").arg(v.isDouble() ? QString::number(d) : typeName(v)));
        out = int(d);
        return true;
    }
    // A settings value: a number or a string, kept as the file would hold it.
    bool settingText(const QJsonValue& v, const QString& where, QString& out)
    {
        if (v.isString()) {
            out = v.toString();
            return true;
        }
        if (v.isDouble()) {
            const double d = v.toDouble();
            out = std::floor(d) == d && std::fabs(d) < 1e15 ? QString::number(qint64(d)) : QString::number(d, 'g', 15);
            return true;
        }
        if (v.isBool()) {
            out = v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
            return true;
        }
        return fail(where, QStringLiteral("expected a number or a string, found %1").arg(typeName(v)));
    }
    bool known(const QJsonObject& o, const QStringList& keys, const QString& where)
    {
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!keys.contains(it.key()))
                return fail(where, QStringLiteral("unknown key \"%1\"; expected one of %2")
                                       .arg(it.key(), keys.join(QStringLiteral(", "))));
        return true;
    }
};

} // namespace

std::optional<SequenceDefinition> readSequence(const QByteArray& bytes, const QString& fileName, QString* error)
{
    Reader r{fileName, error};
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &pe);
    if (pe.error != QJsonParseError::NoError) {
        // Qt's offset is one past the character it stopped at, except for
        // text after the document.
        const qsizetype at = pe.error == QJsonParseError::GarbageAtEnd || pe.offset == 0 ? pe.offset : pe.offset - 1;
        const auto [line, column] = position(bytes, at);
        if (error)
            *error = QStringLiteral("%1:%2:%3: %4 (%5)")
                         .arg(fileName)
                         .arg(line)
                         .arg(column)
                         .arg(expectation(pe.error), pe.errorString());
        return std::nullopt;
    }
    if (!doc.isObject()) {
        r.fail(QStringLiteral("1:1"), QStringLiteral("expected an object { \"name\": ..., \"steps\": [...] }"));
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    SequenceDefinition definition;
    if (!r.known(root, {QStringLiteral("name"), QStringLiteral("serialRequired"), QStringLiteral("steps"),
                        QStringLiteral("description")},
                 QStringLiteral("the sequence")))
        return std::nullopt;
    const QJsonValue name = root.value(QStringLiteral("name"));
    if (!name.isString() || name.toString().trimmed().isEmpty()) {
        r.fail(QStringLiteral("\"name\""), QStringLiteral("expected the sequence's name as a string, found %1").arg(typeName(name)));
        return std::nullopt;
    }
    definition.name = name.toString();
    const QJsonValue serial = root.value(QStringLiteral("serialRequired"));
    if (!serial.isUndefined() && !serial.isBool()) {
        r.fail(QStringLiteral("\"serialRequired\""), QStringLiteral("expected true or false, found %1").arg(typeName(serial)));
        return std::nullopt;
    }
    definition.serialRequired = serial.toBool(false);
    const QJsonValue steps = root.value(QStringLiteral("steps"));
    if (!steps.isArray() || steps.toArray().isEmpty()) {
        r.fail(QStringLiteral("\"steps\""), QStringLiteral("expected an array of at least one step, found %1").arg(typeName(steps)));
        return std::nullopt;
    }
    const QJsonArray list = steps.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("step %1").arg(i + 1);
        if (!list[i].isObject()) {
            r.fail(where, QStringLiteral("expected an object, found %1").arg(typeName(list[i])));
            return std::nullopt;
        }
        const QJsonObject o = list[i].toObject();
        if (!r.known(o, {QStringLiteral("test"), QStringLiteral("cycles"), QStringLiteral("pause"),
                         QStringLiteral("settings"), QStringLiteral("limits"), QStringLiteral("stopOnFail"),
                         QStringLiteral("plot")},
                     where))
            return std::nullopt;
        SequenceStep step;
        const QJsonValue test = o.value(QStringLiteral("test"));
        if (!test.isString() || test.toString().trimmed().isEmpty()) {
            r.fail(where + QStringLiteral(" \"test\""), QStringLiteral("expected the test's name, found %1").arg(typeName(test)));
            return std::nullopt;
        }
        step.test = test.toString().trimmed();
        int n = 0;
        if (o.contains(QStringLiteral("cycles"))) {
            if (!r.wholeNumber(o.value(QStringLiteral("cycles")), where + QStringLiteral(" \"cycles\""), n))
                return std::nullopt;
            step.cycles = n;
        }
        if (o.contains(QStringLiteral("pause"))) {
            if (!r.wholeNumber(o.value(QStringLiteral("pause")), where + QStringLiteral(" \"pause\""), n))
                return std::nullopt;
            if (n < 0) {
                r.fail(where + QStringLiteral(" \"pause\""), QStringLiteral("expected 0 or more milliseconds"));
                return std::nullopt;
            }
            step.pause = n;
        }
        const QJsonValue settings = o.value(QStringLiteral("settings"));
        if (!settings.isUndefined()) {
            if (!settings.isObject()) {
                r.fail(where + QStringLiteral(" \"settings\""), QStringLiteral("expected an object of keys, found %1").arg(typeName(settings)));
                return std::nullopt;
            }
            const QJsonObject s = settings.toObject();
            for (auto it = s.begin(); it != s.end(); ++it) {
                QString value;
                if (!r.settingText(it.value(), where + QStringLiteral(" setting \"%1\"").arg(it.key()), value))
                    return std::nullopt;
                step.settings.emplace_back(it.key(), value);
            }
        }
        const QJsonValue limits = o.value(QStringLiteral("limits"));
        if (!limits.isUndefined()) {
            if (!limits.isObject()) {
                r.fail(where + QStringLiteral(" \"limits\""), QStringLiteral("expected an object of limits, found %1").arg(typeName(limits)));
                return std::nullopt;
            }
            const QJsonObject l = limits.toObject();
            for (auto it = l.begin(); it != l.end(); ++it) {
                QString text;
                if (it.value().isDouble())
                    text = QString::number(it.value().toDouble(), 'g', 15);
                else if (it.value().isString())
                    text = it.value().toString();
                else {
                    r.fail(where + QStringLiteral(" limit \"%1\"").arg(it.key()),
                           QStringLiteral("expected a condition such as \"1700..1900\", found %1").arg(typeName(it.value())));
                    return std::nullopt;
                }
                QString why;
                std::optional<Limit> parsed = parseLimit(it.key(), text, &why);
                if (!parsed) {
                    r.fail(where, why);
                    return std::nullopt;
                }
                step.limits.push_back(std::move(*parsed));
            }
        }
        const QJsonValue stop = o.value(QStringLiteral("stopOnFail"));
        if (!stop.isUndefined() && !stop.isBool()) {
            r.fail(where + QStringLiteral(" \"stopOnFail\""), QStringLiteral("expected true or false, found %1").arg(typeName(stop)));
            return std::nullopt;
        }
        step.stopOnFail = stop.toBool(false);
        const QJsonValue plot = o.value(QStringLiteral("plot"));
        if (!plot.isUndefined()) {
            if (!plot.isString() || plot.toString().trimmed().isEmpty()) {
                r.fail(where + QStringLiteral(" \"plot\""),
                       QStringLiteral("expected the PNG file's name, found %1").arg(typeName(plot)));
                return std::nullopt;
            }
            step.plot = plot.toString().trimmed();
        }
        definition.steps.push_back(std::move(step));
    }
    return definition;
}

} // namespace vantor::measure
