// The summary as a tree for the window: the report's rows with their
// sub-rows behind expanders, then the total lines, which stay at the end
// whatever the order. The rows under a month, week or day are made when it
// is first opened. Sorting by a column sorts every level and keeps what was
// expanded expanded.
#pragma once

#include "reports/summary.h"

#include <QAbstractItemModel>

#include <optional>

namespace quillory {

class SummaryModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit SummaryModel(QObject* parent = nullptr);

    void setSummary(CSummary* summary);
    // The report row an index shows; nothing for a total line.
    std::optional<int> rowOf(const QModelIndex& index) const;
    QModelIndex indexOf(int row, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct TotalLine {
        std::string label;
        std::optional<std::int64_t> minutes;
        Cents amount;
    };
    std::vector<TotalLine> totalLines() const;
    const std::vector<int>& siblingsOf(int row) const;

    // Sorting happens in the report, which the window owns.
    CSummary* m_summary = nullptr;
};

} // namespace quillory
