#pragma once
// The station's runner: the program's sequence runner behind the window's
// SequenceEngine. A sequence is read again for every unit (a runner runs
// once), so an edit to the file counts from the next Start.
#include <memory>

#include "vantor/station/SequenceEngine.h"

namespace vantor {
class SequenceRunner;
}

namespace vantor::station {

class StationEngine final : public SequenceEngine {
public:
    explicit StationEngine(QString operatorName = QString());
    ~StationEngine() override;

    LoadResult load(const QString& path) override;
    QString start(const SequencePlan& plan, const QString& serial, RunEvents& events) override;
    void stop() override;
    void close() override;

    // The text of the first step's ERROR when PRN1: has no driver.
    static QString noDriverReason();

private:
    // The run a missing driver gives: ERROR on the first step, the others
    // skipped, the record kept like any other.
    void reportNoDriver(const SequencePlan& plan, const QString& serial, RunEvents& events);

    QString m_operator;
    std::unique_ptr<SequenceRunner> m_runner;
};

} // namespace vantor::station
