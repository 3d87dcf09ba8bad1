#include "reports/summarymodel.h"

#include <QFont>

#include <algorithm>

namespace quillory {

namespace {
// Total lines are told apart from report rows by their ids.
constexpr quintptr kTotalId = quintptr{1} << 40;
} // namespace

SummaryModel::SummaryModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

void SummaryModel::setSummary(CSummary* summary)
{
    beginResetModel();
    m_summary = summary;
    endResetModel();
}

std::vector<SummaryModel::TotalLine> SummaryModel::totalLines() const
{
    if (!m_summary)
        return {};
    const SummaryTotals& t = m_summary->totals();
    std::vector<TotalLine> lines{{"Total", t.minutes, t.total}};
    if (t.salesTax) {
        lines.push_back({t.taxLabel, std::nullopt, t.tax});
        lines.push_back({t.totalWithTaxLabel, std::nullopt, t.totalWithTax});
    }
    return lines;
}

const std::vector<int>& SummaryModel::siblingsOf(int row) const
{
    const int parent = m_summary->row(row).parent;
    return parent == -1 ? m_summary->roots() : m_summary->row(parent).children;
}

std::optional<int> SummaryModel::rowOf(const QModelIndex& index) const
{
    if (!index.isValid() || !m_summary || index.internalId() >= kTotalId)
        return std::nullopt;
    return static_cast<int>(index.internalId());
}

QModelIndex SummaryModel::indexOf(int row, int column) const
{
    const std::vector<int>& siblings = siblingsOf(row);
    const auto at = std::find(siblings.begin(), siblings.end(), row) - siblings.begin();
    return createIndex(static_cast<int>(at), column, static_cast<quintptr>(row));
}

QModelIndex SummaryModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!m_summary || row < 0 || column < 0 || column >= kSummaryColumns)
        return {};
    if (!parent.isValid()) {
        const auto& roots = m_summary->roots();
        if (static_cast<std::size_t>(row) < roots.size())
            return createIndex(row, column, static_cast<quintptr>(roots[static_cast<std::size_t>(row)]));
        const std::size_t line = static_cast<std::size_t>(row) - roots.size();
        return line < totalLines().size() ? createIndex(row, column, kTotalId + line) : QModelIndex();
    }
    const auto above = rowOf(parent);
    if (!above)
        return {};
    const auto& children = m_summary->row(*above).children;
    if (static_cast<std::size_t>(row) >= children.size())
        return {};
    return createIndex(row, column, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex SummaryModel::parent(const QModelIndex& child) const
{
    const auto row = rowOf(child);
    if (!row)
        return {};
    const int parent = m_summary->row(*row).parent;
    return parent == -1 ? QModelIndex() : indexOf(parent);
}

int SummaryModel::rowCount(const QModelIndex& parent) const
{
    if (!m_summary)
        return 0;
    if (!parent.isValid())
        return static_cast<int>(m_summary->roots().size() + totalLines().size());
    if (parent.column() != 0)
        return 0;
    const auto row = rowOf(parent);
    return row ? static_cast<int>(m_summary->row(*row).children.size()) : 0;
}

bool SummaryModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return true;
    const auto row = rowOf(parent);
    return parent.column() == 0 && row && (!m_summary->row(*row).children.empty() || m_summary->CanExpand(*row));
}

bool SummaryModel::canFetchMore(const QModelIndex& parent) const
{
    const auto row = rowOf(parent);
    return row && m_summary->CanExpand(*row);
}

void SummaryModel::fetchMore(const QModelIndex& parent)
{
    const auto row = rowOf(parent);
    if (!row || !m_summary->CanExpand(*row))
        return;
    // A period's rows are made when it is opened.
    beginInsertRows(parent, 0, m_summary->PendingChildren(*row) - 1);
    m_summary->Expand(*row);
    endInsertRows();
}

int SummaryModel::columnCount(const QModelIndex&) const
{
    return kSummaryColumns;
}

QVariant SummaryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_summary)
        return {};
    const auto row = rowOf(index);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((index.column() == kSummaryName ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    if (role == Qt::FontRole) {
        // The top rows are the groups' sub-totals; the total lines close the report.
        QFont font;
        font.setBold(!row || m_summary->row(*row).parent == -1);
        font.setItalic(row && m_summary->IsPlaceholder(*row));
        return font;
    }
    if (role != Qt::DisplayRole)
        return {};
    std::string text;
    if (row) {
        const SummaryRow& r = m_summary->row(*row);
        text = index.column() == kSummaryName ? m_summary->Label(*row)
            : index.column() == kSummaryTime  ? m_summary->TimeText(r.minutes)
                                              : m_summary->MoneyText(r.charges);
    } else {
        const TotalLine line = totalLines()[static_cast<std::size_t>(index.internalId() - kTotalId)];
        text = index.column() == kSummaryName ? line.label
            : index.column() == kSummaryTime  ? (line.minutes ? m_summary->TimeText(*line.minutes) : std::string())
                                              : m_summary->MoneyText(line.amount);
    }
    return QString::fromStdString(text);
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kSummaryColumns)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((section == kSummaryName ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole)
        return {};
    if (section == kSummaryName)
        return QString::fromStdString(m_summary ? m_summary->NameHeading() : std::string());
    return section == kSummaryTime ? QStringLiteral("Time") : QStringLiteral("Charges");
}

void SummaryModel::sort(int column, Qt::SortOrder order)
{
    if (!m_summary)
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    m_summary->SortBy(column, order == Qt::DescendingOrder);
    QModelIndexList after;
    for (const QModelIndex& index : before) {
        const auto row = rowOf(index);
        after.push_back(row ? indexOf(*row, index.column()) : index);
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

} // namespace quillory
