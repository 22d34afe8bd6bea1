#pragma once
// A test's line table: rows of line patterns and what each yields. A pattern
// is the line's fixed words with fields in braces:
//   {cycle}  the run's cycle number         {index}  a sample's index
//   {v}      a value (the row names it)     {ok}     "OK", "SUCCESS" or "FAIL"
//   {int}    a number the row ignores       {text}   words the row ignores
// Blanks at the end of a line do not count. Matching is plain comparison and
// digit scanning, no regular expressions: the platen detail run writes
// 300,000 lines in three cycles.
#include <QString>
#include <QStringView>
#include <array>
#include <vector>

#include "vantor/measure/Measurements.h"

namespace vantor::measure {

struct ValueField {
    const char* name = nullptr; // nullptr: no value in this slot
    const char* unit = "";
};

struct RowPattern {
    LineKind kind;               // Framing, Text, Measurement or Sample
    const char* pattern;
    const char* okName = "";     // the pass/fail measurement of {ok}
    std::array<ValueField, 3> values{}; // the {v} fields in order: measurements, or series of a Sample row
};

struct TablePattern {
    const char* section;
    std::vector<RowPattern> rows;
};

// What one line gave.
struct Match {
    int row = -1;
    long long cycle = -1; // -1: the line has no {cycle}
    long long index = 0;
    int ok = -1;          // -1 none, 0 FAIL, 1 OK
    int valueCount = 0;
    std::array<long long, 3> values{};
};

class LineTable {
public:
    LineTable(QString section, const std::vector<RowPattern>& rows);

    const QString& section() const { return m_section; }
    // The first row that matches, or false.
    bool match(QStringView line, Match& out) const;
    LineKind kindOf(int row) const { return m_rows[size_t(row)].kind; }
    const QString& okName(int row) const { return m_rows[size_t(row)].okName; }
    const QString& valueName(int row, int slot) const { return m_rows[size_t(row)].valueNames[size_t(slot)]; }
    const QString& valueUnit(int row, int slot) const { return m_rows[size_t(row)].valueUnits[size_t(slot)]; }
    int rowCount() const { return int(m_rows.size()); }
    const std::vector<NameInfo>& names() const { return m_names; }

    // A pattern that does not compile (an unknown field, {text} not followed
    // by words): thrown at start-up, so a bad table never ships.
    struct BadPattern {
        QString pattern;
    };

private:
    enum class Tok : unsigned char { Literal, Cycle, Index, Value, Ok, Int, Text };
    struct Token {
        Tok tok;
        QString literal;
    };
    struct Row {
        LineKind kind;
        std::vector<Token> tokens;
        QString okName;
        std::array<QString, 3> valueNames;
        std::array<QString, 3> valueUnits;
    };
    static std::vector<Token> compile(const char* pattern);
    static bool matchRow(const Row& row, QStringView line, Match& out);

    QString m_section;
    std::vector<Row> m_rows;
    std::vector<NameInfo> m_names;
};

// The tables themselves (LineTables.cpp).
const std::vector<TablePattern>& tablePatterns();

} // namespace vantor::measure
