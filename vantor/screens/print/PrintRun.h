#pragma once
// The print, aging print and print-to-cut tests without widgets: the
// records a run sends (IOCTL_PRN_PRINT, target 34), the command of each
// choice, the data file name of a cycle and the print-to-cut lines.
#include <cstdint>
#include <vector>

#include <QString>

#include "platform/CallerMemory.h"
#include "protocol/DriverRecord.h"
#include "protocol/PrintParams.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::print {

enum class PrintKind { Print, Aging };

// 18/19/20 for the print test, 52/53/54 for the aging print test: default
// pattern single pass, multi pass, customised pattern.
uint32_t PrintCommand(PrintKind kind, const CPrintSettings& values);

// "%s%03d.txt": the prefix and the cycle number within the run, from 1.
QString CycleFileName(const QString& prefix, int cycle);

// "%d. Run print to cut test - OK" / "- FAIL".
QString PrintToCutLine(int cycle, bool ok);

// A UTF-16LE text ended by a 0 character, in caller memory.
platform::CallerBuffer WideText(const QString& text);

// "Box Length (in):" as a decimal number; a text that is not one reads 0.0.
float BoxLength(const QString& text);

class PrintRun : public TestRun {
public:
    PrintRun(PrintKind kind, DriverRef driver) : m_kind(kind), m_driver(std::move(driver)) {}

    // What PRINT does with the values: the records reset and filled, the
    // packed image built from the image file for a customised pattern.
    void build(const CPrintSettings& values);

    int startDelayMs() const override { return m_delayMs; }
    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::PrintPatternParams>& pattern() const { return m_pattern; }
    const protocol::DriverRecord<protocol::PrintImageParams>& image() const { return m_image; }
    uint32_t command() const { return m_command; }

private:
    PrintKind m_kind;
    DriverRef m_driver;
    uint32_t m_command = 0;
    bool m_custom = false;
    int m_delayMs = 0;
    QString m_prefix;
    protocol::DriverRecord<protocol::PrintPatternParams> m_pattern;
    protocol::DriverRecord<protocol::PrintImageParams> m_image;
    platform::CallerBuffer m_packed;
    platform::CallerBuffer m_emptyText = WideText(QString());
    platform::CallerBuffer m_fileName; // this cycle's, replaced every cycle
};

class PrintToCutRun : public TestRun {
public:
    explicit PrintToCutRun(DriverRef driver) : m_driver(std::move(driver)) {}

    void build(const CPrintToCutSettings& values);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;

    const protocol::DriverRecord<protocol::PrintToCutParams>& record() const { return m_params; }

private:
    DriverRef m_driver;
    QString m_prefix;
    protocol::DriverRecord<protocol::PrintToCutParams> m_params;
    platform::CallerBuffer m_fileName;
};

// Neither test validates its fields (a text that is not a number reads 0);
// the print and aging print tests never write a cycle line.
extern const TestDefinition<CPrintSettings> kPrintTest;
extern const TestDefinition<CPrintSettings> kAgingPrintTest;
extern const TestDefinition<CPrintToCutSettings> kPrintToCutTest;

} // namespace vantor::print
