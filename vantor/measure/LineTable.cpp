#include "vantor/measure/LineTable.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace vantor::measure {

const std::vector<RowPattern>& commonRows(); // LineTables.cpp

namespace {

QStringView rtrimmed(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == QLatin1Char(' ') || s[n - 1] == QLatin1Char('\t')))
        --n;
    return s.first(n);
}

// A signed decimal number at `p`; false when there is no digit.
bool scanInt(QStringView s, qsizetype& p, long long& out)
{
    qsizetype i = p;
    bool negative = false;
    if (i < s.size() && s[i] == QLatin1Char('-')) {
        negative = true;
        ++i;
    }
    const qsizetype digits = i;
    long long v = 0;
    while (i < s.size()) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        if (i - digits < 18)
            v = v * 10 + (c - u'0');
        ++i;
    }
    if (i == digits)
        return false;
    out = negative ? -v : v;
    p = i;
    return true;
}

bool startsAt(QStringView s, qsizetype p, const QString& lit)
{
    return s.size() - p >= lit.size() && s.sliced(p, lit.size()) == QStringView(lit);
}

} // namespace

std::vector<LineTable::Token> LineTable::compile(const char* pattern)
{
    std::vector<Token> out;
    const QString text = QString::fromUtf8(pattern);
    const QStringView pat = rtrimmed(text);
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            out.push_back({Tok::Literal, literal});
        literal.clear();
    };
    for (qsizetype i = 0; i < pat.size(); ++i) {
        if (pat[i] != QLatin1Char('{')) {
            literal.append(pat[i]);
            continue;
        }
        const qsizetype close = pat.indexOf(QLatin1Char('}'), i);
        if (close < 0)
            throw BadPattern{text};
        const QStringView field = pat.sliced(i + 1, close - i - 1);
        Tok t;
        if (field == u"cycle")
            t = Tok::Cycle;
        else if (field == u"index")
            t = Tok::Index;
        else if (field == u"v")
            t = Tok::Value;
        else if (field == u"ok")
            t = Tok::Ok;
        else if (field == u"int")
            t = Tok::Int;
        else if (field == u"text")
            t = Tok::Text;
        else
            throw BadPattern{text};
        flush();
        out.push_back({t, QString()});
        i = close;
    }
    flush();
    for (size_t k = 0; k < out.size(); ++k)
        if (out[k].tok == Tok::Text && k + 1 < out.size() && out[k + 1].tok != Tok::Literal)
            throw BadPattern{text};
    return out;
}

LineTable::LineTable(QString section, const std::vector<RowPattern>& rows) : m_section(std::move(section))
{
    auto addRow = [&](const RowPattern& source) {
        Row r;
        r.kind = source.kind;
        r.tokens = compile(source.pattern);
        r.okName = QString::fromUtf8(source.okName);
        int values = 0, oks = 0;
        bool hasIndex = false;
        for (const Token& t : r.tokens) {
            values += t.tok == Tok::Value;
            oks += t.tok == Tok::Ok;
            hasIndex = hasIndex || t.tok == Tok::Index;
        }
        for (int k = 0; k < 3; ++k) {
            r.valueNames[size_t(k)] = QString::fromUtf8(source.values[size_t(k)].name);
            r.valueUnits[size_t(k)] = QString::fromUtf8(source.values[size_t(k)].unit);
        }
        // A value without a name, a name without a value, a sample row
        // without an index: the table is wrong.
        const int named = int(std::count_if(source.values.begin(), source.values.end(),
                                            [](const ValueField& v) { return v.name != nullptr; }));
        if (values > 3 || named != values || oks > 1 || (oks == 1 && r.okName.isEmpty()) ||
            (source.kind == LineKind::Sample) != hasIndex || (source.kind == LineKind::Sample && oks) ||
            ((source.kind == LineKind::Framing || source.kind == LineKind::Text) && (values || oks)))
            throw BadPattern{QString::fromUtf8(source.pattern)};
        auto addName = [&](const QString& name, const QString& unit, NameInfo::Kind kind) {
            for (const NameInfo& n : m_names)
                if (n.name == name && n.kind == kind)
                    return;
            m_names.push_back({name, unit, kind});
        };
        if (oks)
            addName(r.okName, QString(), NameInfo::PassFail);
        for (int k = 0; k < values; ++k)
            addName(r.valueNames[size_t(k)], r.valueUnits[size_t(k)],
                    source.kind == LineKind::Sample ? NameInfo::SeriesName : NameInfo::Numeric);
        m_rows.push_back(std::move(r));
    };
    for (const RowPattern& source : rows)
        addRow(source);
    for (const RowPattern& source : commonRows())
        addRow(source);
}

bool LineTable::matchRow(const Row& row, QStringView s, Match& out)
{
    qsizetype p = 0;
    const size_t n = row.tokens.size();
    out.cycle = -1;
    out.ok = -1;
    out.valueCount = 0;
    for (size_t k = 0; k < n; ++k) {
        const Token& t = row.tokens[k];
        switch (t.tok) {
        case Tok::Literal:
            if (!startsAt(s, p, t.literal))
                return false;
            p += t.literal.size();
            break;
        case Tok::Cycle:
            if (!scanInt(s, p, out.cycle))
                return false;
            break;
        case Tok::Index:
            if (!scanInt(s, p, out.index))
                return false;
            break;
        case Tok::Value:
            if (!scanInt(s, p, out.values[size_t(out.valueCount)]))
                return false;
            ++out.valueCount;
            break;
        case Tok::Int: {
            long long ignored;
            if (!scanInt(s, p, ignored))
                return false;
            break;
        }
        case Tok::Ok:
            if (s.sliced(p).startsWith(u"OK")) {
                out.ok = 1;
                p += 2;
            } else if (s.sliced(p).startsWith(u"SUCCESS")) {
                out.ok = 1;
                p += 7;
            } else if (s.sliced(p).startsWith(u"FAIL")) {
                out.ok = 0;
                p += 4;
            } else {
                return false;
            }
            break;
        case Tok::Text:
            if (k + 1 == n) {
                p = s.size();
            } else {
                // The last place the next words occur: the ignored text may
                // hold them too ("Cycle failed: a - b - FAIL").
                const QString& next = row.tokens[k + 1].literal;
                const qsizetype at = s.lastIndexOf(next);
                if (at < p)
                    return false;
                p = at;
            }
            break;
        }
    }
    return p == s.size();
}

bool LineTable::match(QStringView line, Match& out) const
{
    const QStringView s = rtrimmed(line);
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (matchRow(m_rows[r], s, out)) {
            out.row = int(r);
            return true;
        }
    out.row = -1;
    return false;
}

// --- the tables by section ---------------------------------------------------

namespace {
struct Tables {
    std::vector<LineTable> tables;
    Tables()
    {
        for (const TablePattern& source : tablePatterns())
            tables.emplace_back(QString::fromUtf8(source.section), source.rows);
    }
};
const Tables& allTables()
{
    static const Tables t;
    return t;
}
} // namespace

const LineTable* tableFor(const QString& section)
{
    for (const LineTable& t : allTables().tables)
        if (t.section().compare(section, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList tableSections()
{
    QStringList out;
    for (const LineTable& t : allTables().tables)
        out << t.section();
    return out;
}

std::vector<NameInfo> namesOf(const QString& section)
{
    const LineTable* t = tableFor(section);
    return t ? t->names() : std::vector<NameInfo>{};
}

bool isFailLine(QStringView line)
{
    const QStringView s = rtrimmed(line);
    return s.endsWith(u"FAIL") || s.endsWith(u"FAIL,-");
}

// --- collecting --------------------------------------------------------------

const Series* Measurements::findSeries(const QString& name, int cycle) const
{
    for (const Series& s : series)
        if (s.cycle == cycle && s.name == name)
            return &s;
    return nullptr;
}

struct Collector::State {
    const LineTable* table;
    Measurements m;
    int cycle = 0;
    // The series each sample slot of each row appended to last: a run's
    // samples come in long stretches of one series, so the lookup is rare.
    struct Last {
        int cycle = -1;
        size_t series = 0;
    };
    std::vector<std::array<Last, 3>> last;
    QHash<QPair<QString, int>, size_t> byName;

    size_t seriesFor(int row, int slot, int cyc)
    {
        Last& l = last[size_t(row)][size_t(slot)];
        if (l.cycle == cyc)
            return l.series;
        const QString& name = table->valueName(row, slot);
        const auto key = qMakePair(name, cyc);
        auto it = byName.constFind(key);
        size_t idx;
        if (it != byName.constEnd()) {
            idx = *it;
        } else {
            idx = m.series.size();
            Series s;
            s.name = name;
            s.unit = table->valueUnit(row, slot);
            s.cycle = cyc;
            m.series.push_back(std::move(s));
            byName.insert(key, idx);
        }
        l.cycle = cyc;
        l.series = idx;
        return idx;
    }
};

Collector::Collector(const LineTable* table) : d(std::make_unique<State>())
{
    d->table = table;
    if (table)
        d->last.resize(size_t(table->rowCount()));
}
Collector::~Collector() = default;
Collector::Collector(Collector&&) noexcept = default;
Collector& Collector::operator=(Collector&&) noexcept = default;

void Collector::setCycle(int n) { d->cycle = n; }

LineKind Collector::add(QStringView line)
{
    State& st = *d;
    if (isFailLine(line))
        ++st.m.failLines;
    Match mt;
    if (!st.table || !st.table->match(line, mt)) {
        st.m.unknown.append(line.toString());
        return LineKind::Unknown;
    }
    if (mt.cycle >= 0)
        st.cycle = int(mt.cycle);
    const LineKind kind = st.table->kindOf(mt.row);
    if (kind == LineKind::Sample) {
        for (int k = 0; k < mt.valueCount; ++k) {
            Series& s = st.m.series[st.seriesFor(mt.row, k, st.cycle)];
            s.indices.push_back(int32_t(mt.index));
            s.values.push_back(float(mt.values[size_t(k)]));
        }
    } else if (kind == LineKind::Measurement) {
        if (mt.ok >= 0) {
            Measurement r;
            r.name = st.table->okName(mt.row);
            r.cycle = st.cycle;
            r.passFail = true;
            r.ok = mt.ok == 1;
            st.m.values.push_back(std::move(r));
        }
        for (int k = 0; k < mt.valueCount; ++k) {
            Measurement r;
            r.name = st.table->valueName(mt.row, k);
            r.unit = st.table->valueUnit(mt.row, k);
            r.cycle = st.cycle;
            r.value = double(mt.values[size_t(k)]);
            st.m.values.push_back(std::move(r));
        }
    }
    return kind;
}

const Measurements& Collector::result() const { return d->m; }

Measurements Collector::take()
{
    Measurements out = std::move(d->m);
    for (Series& s : out.series) {
        s.indices.shrink_to_fit();
        s.values.shrink_to_fit();
    }
    d->m = Measurements{};
    d->byName.clear();
    for (auto& l : d->last)
        l = {};
    return out;
}

Measurements collect(const QString& section, const QStringList& lines)
{
    Collector c(tableFor(section));
    for (const QString& l : lines)
        c.add(l);
    return c.take();
}

std::vector<Series> plottable(Measurements m)
{
    std::vector<Series> out = std::move(m.series);
    const size_t perPulse = out.size();
    for (const Measurement& v : m.values) {
        if (v.passFail)
            continue;
        auto it = std::find_if(out.begin() + qsizetype(perPulse), out.end(),
                               [&](const Series& s) { return s.name == v.name; });
        if (it == out.end()) {
            out.push_back(Series{v.name, v.unit, 0, {}, {}});
            it = out.end() - 1;
        }
        it->indices.push_back(v.cycle);
        it->values.push_back(float(v.value));
    }
    return out;
}

LineKind classify(const LineTable* table, QStringView line)
{
    Match mt;
    if (!table || !table->match(line, mt))
        return LineKind::Unknown;
    return table->kindOf(mt.row);
}

} // namespace vantor::measure
