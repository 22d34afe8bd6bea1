// Feeds arbitrary bytes to the sequence reader as a sequence file, and each
// line of them to the limit parser. Checks: no crash; an error always says
// where (the file name first); a sequence that reads has a name and at least
// one step with a test; every limit that parses names something, and its
// condition parses again to the same limit; a range's ends are in order.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "vantor/measure/Limits.h"
#include "vantor/measure/SequenceFile.h"

namespace {

void checkLimit(const vantor::measure::Limit& l)
{
    using vantor::measure::Limit;
    fuzzing::check(!l.name.isEmpty());
    if (l.op == Limit::Op::Range)
        fuzzing::check(l.low <= l.high);
    const std::optional<Limit> again = vantor::measure::parseLimit(l.text, nullptr);
    fuzzing::check(again.has_value());
    if (again) {
        fuzzing::check(again->op == l.op && again->aggregate == l.aggregate);
        fuzzing::check(again->low == l.low && again->high == l.high);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const auto definition = vantor::measure::readSequence(bytes, QStringLiteral("f.json"), &error);
    if (!definition) {
        fuzzing::check(error.startsWith(QStringLiteral("f.json:")));
    } else {
        fuzzing::check(!definition->name.trimmed().isEmpty() && !definition->steps.empty());
        for (const auto& step : definition->steps) {
            fuzzing::check(!step.test.isEmpty());
            fuzzing::check(!step.pause || *step.pause >= 0);
            for (const auto& l : step.limits)
                checkLimit(l);
        }
    }
    for (const QByteArray& line : bytes.split('\n')) {
        QString why;
        const auto l = vantor::measure::parseLimit(QString::fromUtf8(line), &why);
        if (l)
            checkLimit(*l);
        else
            fuzzing::check(!why.isEmpty());
    }
    return 0;
}
