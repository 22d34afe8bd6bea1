#pragma once
// The plot's numbers as a table, for those who cannot see the curve: one
// row per sample ("Curve", "Index", "Value", "Unit"), every series after the
// other. Rows are read from the series when the view asks for them; nothing
// is copied, so a table of ten million samples costs a few bytes a series.
#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "vantor/plot/Curves.h"

namespace vantor::plot {

class SeriesTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum ColumnId { CurveColumn, IndexColumn, ValueColumn, UnitColumn, ColumnCount };

    explicit SeriesTableModel(std::shared_ptr<const std::vector<Series>> series, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The series and sample position of a row; {-1, 0} outside the table.
    std::pair<int, size_t> locate(int row) const;
    // The first row of a series' samples.
    int firstRowOf(int series) const;

private:
    std::shared_ptr<const std::vector<Series>> m_series;
    std::vector<qint64> m_starts; // first row of each series, then the total
    int m_rows = 0;
};

} // namespace vantor::plot
