#pragma once
// The tests' own reader of per-pulse result lines into series, standing in
// for the measurements' classifier in the plot suites, the plot benchmark and
// the plot screenshot. It knows only the lines those use:
//   "1. in detail 0 [1677]"      platen detail: cycle, pulse from 0, count
//   "1. Total encode = 3733 "    platen total: one value per cycle
//   "1. Forward Encode (2 pass)" then "1. F 1 [1677]" (and "R"): platen life
//   "1. 1 [1677]"                XY cutter cross-web samples
// Samples go straight into their series: nothing is held twice.
#include <QRegularExpression>
#include <QStringList>
#include <QStringView>
#include <cmath>
#include <limits>
#include <vector>

#include "vantor/measure/Series.h"

namespace plottest {

class SeriesReader {
public:
    void add(QStringView line)
    {
        static const QRegularExpression detail(QStringLiteral("^(\\d+)\\. in detail (-?\\d+) \\[(-?\\d+)\\]$"));
        static const QRegularExpression total(QStringLiteral("^(\\d+)\\. Total encode = (-?\\d+) $"));
        static const QRegularExpression pass(QStringLiteral("^(\\d+)\\. (Forward|Reverse) Encode \\((\\d+) pass\\)$"));
        static const QRegularExpression entry(QStringLiteral("^(\\d+)\\. ([FR]) (-?\\d+) \\[(-?\\d+)\\]$"));
        static const QRegularExpression sample(QStringLiteral("^(\\d+)\\. (-?\\d+) \\[(-?\\d+|-)\\]$"));
        QRegularExpressionMatch m;
        if ((m = detail.match(line)).hasMatch()) {
            at(QStringLiteral("Encoder in detail"), m.captured(1).toInt()).push(m.captured(2).toInt(), value(m.captured(3)));
        } else if ((m = total.match(line)).hasMatch()) {
            const int cycle = m.captured(1).toInt();
            at(QStringLiteral("Total encode"), 0).push(cycle, value(m.captured(2)));
        } else if ((m = pass.match(line)).hasMatch()) {
            m_pass = QStringLiteral("%1 Encode (%2 pass)").arg(m.captured(2), m.captured(3));
        } else if ((m = entry.match(line)).hasMatch() && !m_pass.isEmpty()) {
            at(m_pass, m.captured(1).toInt()).push(m.captured(3).toInt(), value(m.captured(4)));
        } else if ((m = sample.match(line)).hasMatch()) {
            at(QStringLiteral("Cross Web"), m.captured(1).toInt()).push(m.captured(2).toInt(), value(m.captured(3)));
        }
    }
    void addAll(const QStringList& lines)
    {
        for (const QString& l : lines)
            add(l);
    }
    std::vector<vantor::measure::Series> take() { return std::move(m_series); }

private:
    struct Into {
        vantor::measure::Series& s;
        void push(int index, float v)
        {
            s.indices.push_back(index);
            s.values.push_back(v);
        }
    };
    static float value(const QString& text)
    {
        bool ok = false;
        const float v = float(text.toLongLong(&ok));
        return ok ? v : std::numeric_limits<float>::quiet_NaN();
    }
    Into at(const QString& name, int cycle)
    {
        if (m_last < m_series.size() && m_series[m_last].name == name && m_series[m_last].cycle == cycle)
            return {m_series[m_last]};
        for (size_t i = 0; i < m_series.size(); ++i)
            if (m_series[i].name == name && m_series[i].cycle == cycle) {
                m_last = i;
                return {m_series[i]};
            }
        vantor::measure::Series s;
        s.name = name;
        s.unit = QStringLiteral("counts");
        s.cycle = cycle;
        m_series.push_back(std::move(s));
        m_last = m_series.size() - 1;
        return {m_series.back()};
    }

    std::vector<vantor::measure::Series> m_series;
    size_t m_last = 0;
    QString m_pass;
};

inline std::vector<vantor::measure::Series> readSeries(const QStringList& lines)
{
    SeriesReader r;
    r.addAll(lines);
    return r.take();
}

} // namespace plottest
