#include "vantor/plot/SeriesTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor::plot {

SeriesTableModel::SeriesTableModel(std::shared_ptr<const std::vector<Series>> series, QObject* parent)
    : QAbstractTableModel(parent), m_series(std::move(series))
{
    qint64 total = 0;
    for (const Series& s : *m_series) {
        m_starts.push_back(total);
        total += qint64(std::min(s.indices.size(), s.values.size()));
    }
    m_starts.push_back(total);
    // A view counts rows in int; the rest stays in the plot and the CSV.
    m_rows = int(std::min<qint64>(total, std::numeric_limits<int>::max()));
}

int SeriesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SeriesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

std::pair<int, size_t> SeriesTableModel::locate(int row) const
{
    if (row < 0 || row >= m_rows)
        return {-1, 0};
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), qint64(row)) - 1;
    const int series = int(it - m_starts.begin());
    return {series, size_t(row - *it)};
}

int SeriesTableModel::firstRowOf(int series) const
{
    if (series < 0 || size_t(series) >= m_series->size())
        return -1;
    return int(std::min<qint64>(m_starts[size_t(series)], m_rows));
}

QVariant SeriesTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::TextAlignmentRole))
        return {};
    const auto [which, at] = locate(index.row());
    if (which < 0)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == IndexColumn || index.column() == ValueColumn
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    const Series& s = (*m_series)[size_t(which)];
    switch (index.column()) {
    case CurveColumn: return curveName(s);
    case IndexColumn: return s.indices[at];
    case ValueColumn: {
        const float v = s.values[at];
        if (std::isnan(v)) // a gap, said as one rather than shown as a zero
            return role == Qt::AccessibleTextRole ? QVariant(tr("no value")) : QVariant(QString());
        return double(v);
    }
    case UnitColumn: return s.unit;
    default: return {};
    }
}

QVariant SeriesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case CurveColumn: return tr("Curve");
    case IndexColumn: return tr("Index");
    case ValueColumn: return tr("Value");
    case UnitColumn: return tr("Unit");
    default: return {};
    }
}

} // namespace vantor::plot
