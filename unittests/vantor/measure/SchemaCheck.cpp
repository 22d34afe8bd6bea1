#include "SchemaCheck.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cmath>

namespace vantor::testing {

namespace {

struct Checker {
    const QJsonObject& root;
    QStringList out;

    bool hasType(const QJsonValue& v, const QString& t) const
    {
        if (t == QLatin1String("object"))
            return v.isObject();
        if (t == QLatin1String("array"))
            return v.isArray();
        if (t == QLatin1String("string"))
            return v.isString();
        if (t == QLatin1String("boolean"))
            return v.isBool();
        if (t == QLatin1String("null"))
            return v.isNull();
        if (t == QLatin1String("number"))
            return v.isDouble();
        if (t == QLatin1String("integer"))
            return v.isDouble() && std::floor(v.toDouble()) == v.toDouble();
        return false;
    }

    QJsonObject resolve(const QJsonObject& s) const
    {
        const QString ref = s.value(QStringLiteral("$ref")).toString();
        if (ref.isEmpty())
            return s;
        QJsonValue at = root;
        for (const QString& part : ref.mid(2).split(QLatin1Char('/'), Qt::SkipEmptyParts))
            at = at.toObject().value(part);
        return at.toObject();
    }

    void check(const QJsonObject& schemaIn, const QJsonValue& v, const QString& path)
    {
        const QJsonObject s = resolve(schemaIn);
        if (s.contains(QStringLiteral("type"))) {
            const QJsonValue t = s.value(QStringLiteral("type"));
            QStringList types;
            if (t.isArray())
                for (const QJsonValue& x : t.toArray())
                    types << x.toString();
            else
                types << t.toString();
            bool ok = false;
            for (const QString& x : types)
                ok = ok || hasType(v, x);
            if (!ok) {
                out << QStringLiteral("%1: not of type %2").arg(path, types.join(QLatin1Char('|')));
                return;
            }
        }
        if (s.contains(QStringLiteral("enum")) && !s.value(QStringLiteral("enum")).toArray().contains(v))
            out << QStringLiteral("%1: %2 not in the enum").arg(path, QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)));
        if (s.contains(QStringLiteral("pattern")) && v.isString() &&
            !QRegularExpression(s.value(QStringLiteral("pattern")).toString()).match(v.toString()).hasMatch())
            out << QStringLiteral("%1: \"%2\" does not match the pattern").arg(path, v.toString());
        if (s.contains(QStringLiteral("minimum")) && v.isDouble() &&
            v.toDouble() < s.value(QStringLiteral("minimum")).toDouble())
            out << QStringLiteral("%1: below the minimum").arg(path);
        if (v.isObject()) {
            const QJsonObject o = v.toObject();
            for (const QJsonValue& r : s.value(QStringLiteral("required")).toArray())
                if (!o.contains(r.toString()))
                    out << QStringLiteral("%1: lacks \"%2\"").arg(path, r.toString());
            const QJsonObject props = s.value(QStringLiteral("properties")).toObject();
            for (auto it = o.begin(); it != o.end(); ++it) {
                const QString at = path + QLatin1Char('.') + it.key();
                if (props.contains(it.key()))
                    check(props.value(it.key()).toObject(), it.value(), at);
                else if (s.value(QStringLiteral("additionalProperties")).isObject())
                    check(s.value(QStringLiteral("additionalProperties")).toObject(), it.value(), at);
            }
        }
        if (v.isArray()) {
            const QJsonArray a = v.toArray();
            if (s.contains(QStringLiteral("minItems")) && a.size() < s.value(QStringLiteral("minItems")).toInt())
                out << QStringLiteral("%1: fewer items than %2").arg(path).arg(s.value(QStringLiteral("minItems")).toInt());
            if (s.value(QStringLiteral("items")).isObject())
                for (qsizetype i = 0; i < a.size(); ++i)
                    check(s.value(QStringLiteral("items")).toObject(), a[i], QStringLiteral("%1[%2]").arg(path).arg(i));
        }
        if (s.contains(QStringLiteral("oneOf"))) {
            int matching = 0;
            for (const QJsonValue& alt : s.value(QStringLiteral("oneOf")).toArray()) {
                Checker sub{root, {}};
                sub.check(alt.toObject(), v, path);
                matching += sub.out.isEmpty();
            }
            if (matching != 1)
                out << QStringLiteral("%1: matches %2 of oneOf, not 1").arg(path).arg(matching);
        }
    }
};

} // namespace

QStringList schemaViolations(const QJsonObject& schema, const QJsonValue& document)
{
    Checker c{schema, {}};
    c.check(schema, document, QStringLiteral("$"));
    return c.out;
}

QJsonObject recordSchema()
{
    QFile f(QStringLiteral(DIAG_SOURCE_DIR "/docs/record.schema.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

} // namespace vantor::testing
