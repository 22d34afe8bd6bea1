#pragma once
// Result lines as data. Every line a cycling test writes is classified by its
// test's table (LineTables.cpp): framing, plain text, a numeric or pass/fail
// measurement, or a sample of a per-pulse series. The tables are the one
// place where a line's text and its value meet, so the list, the records and
// the plots never disagree.
//
//     measure::Measurements m = measure::collect(QStringLiteral("Platen"), lines);
//     for (const measure::Series& s : m.series) plot(s);
//
// A long run is collected as it goes (Collector::add per line) rather than
// from a finished list, so its samples are held once.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

#include "vantor/measure/Series.h"

namespace vantor::measure {

enum class LineKind {
    Framing,     // "== Start ==", the time line, "== End ==", " ", headers
    Text,        // words without a value ("1. log file is save.")
    Measurement, // at least one numeric or pass/fail value
    Sample,      // one index of one or more series
    Unknown,     // no row of the test's table matches
};

struct Measurement {
    QString name; // the line's own words ("Total encode", "Run motor")
    QString unit; // "counts", "ms", "rev", ...; empty for pass/fail
    int cycle = 0;
    bool passFail = false; // true: `ok` holds the result; false: `value` does
    bool ok = false;
    double value = 0;
};

struct Measurements {
    std::vector<Measurement> values;
    std::vector<Series> series; // one per (name, cycle), in order of appearance
    QStringList unknown;        // lines no row classified
    int failLines = 0;          // lines ending in "FAIL" (or "FAIL,-")

    const Series* findSeries(const QString& name, int cycle) const;
};

// A name a test can report, for `--measurements` and for checking limits.
struct NameInfo {
    QString name;
    QString unit;
    enum Kind { Numeric, PassFail, SeriesName } kind = Numeric;
};

class LineTable;

// The table of a settings section ("Platen", "Tape Rewind"); every section
// has one, falling back to the framing rows only for a section without lines
// of its own. nullptr for a name that is not a section.
const LineTable* tableFor(const QString& section);
// The sections that have tables of their own.
QStringList tableSections();
// Every name the section's lines can give, in table order, without repeats.
std::vector<NameInfo> namesOf(const QString& section);

// True when a line reports a failure: it ends in "FAIL" or "FAIL,-",
// trailing blanks aside.
bool isFailLine(QStringView line);

// Classifies lines one at a time into measurements and series.
class Collector {
public:
    explicit Collector(const LineTable* table);
    ~Collector();
    Collector(Collector&&) noexcept;
    Collector& operator=(Collector&&) noexcept;

    LineKind add(QStringView line);
    // The next lines belong to cycle `n` (the cycle-done notice of the one
    // before); lines that carry no cycle number of their own use it.
    void setCycle(int n);

    const Measurements& result() const;
    Measurements take();

private:
    struct State;
    std::unique_ptr<State> d;
};

// The measurements and series of a finished list of lines.
Measurements collect(const QString& section, const QStringList& lines);
// What a plot draws of a run: its per-pulse series, then one curve per
// numeric measurement across the cycles (index = cycle, cycle 0), in order
// of first appearance. Pass/fail results are not curves.
std::vector<Series> plottable(Measurements m);

// Classifies one line alone (no series kept): for the checks and tools.
LineKind classify(const LineTable* table, QStringView line);

} // namespace vantor::measure
