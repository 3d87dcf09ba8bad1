#include "records/listdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace quillory {

namespace {

// The list of rows: Home and End go to the first and last row, as in any
// list, keeping the column (with Ctrl as well; Shift extends the selection
// there as usual).
class ListTable final : public QTableView {
public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        if ((action == MoveHome || action == MoveEnd) && model()) {
            const int rows = model()->rowCount(rootIndex());
            const int column = currentIndex().isValid() ? currentIndex().column() : 0;
            if (rows == 0)
                return {};
            return model()->index(action == MoveHome ? 0 : rows - 1, column, rootIndex());
        }
        return QTableView::moveCursor(action, modifiers);
    }
};

} // namespace

TextTableModel::TextTableModel(std::vector<Column> columns, std::function<std::size_t()> rows,
    std::function<std::string(std::size_t, int)> text, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
    , m_rows(std::move(rows))
    , m_text(std::move(text))
{
}

int TextTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows());
}

int TextTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_text(static_cast<std::size_t>(index.row()), index.column()));
    if (role == Qt::TextAlignmentRole) {
        const bool right = m_columns[static_cast<std::size_t>(index.column())].rightAligned;
        return QVariant::fromValue(Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(column.heading);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((column.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

void TextTableModel::change(const std::function<void()>& change)
{
    beginResetModel();
    change();
    endResetModel();
}

ListDialog::ListDialog(const char* title, const char* objectName, QWidget* parent)
    : QDialog(parent)
    , m_table(new ListTable(this))
{
    setWindowTitle(QString::fromLatin1(title));
    setObjectName(QString::fromLatin1(objectName));
    auto* buttons = new QHBoxLayout;
    // Each button has its Alt+letter, none alike.
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"&Add", [this] { onAdd(); }},
        {"&Update", [this] { onUpdate(); }},
        {"&Remove", [this] { onRemove(); }},
        {"&Print", [this] { onPrint(); }},
        {"E&xit", [this] { reject(); }},
    };
    for (const auto& [text, command] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setAutoDefault(false);
        button->setObjectName(QString::fromLatin1(text).remove(QLatin1Char('&')).toLower());
        connect(button, &QPushButton::clicked, this, command);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    // The buttons run along the top; the list below them is placed by hand,
    // as it follows the dialog's size (see resizeEvent).
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(9, 9, 9, 0);
    top->addLayout(buttons);
    top->addStretch(1);

    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(false);
    // Tab leaves the list for the buttons instead of going from cell to cell.
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->setSortingEnabled(false);
    // Fixed row heights keep a list of a million rows quick to scroll.
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setSortIndicatorShown(true);
    m_table->horizontalHeader()->setHighlightSections(false);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { sortBy(column); });
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this] { onUpdate(); });
    m_table->installEventFilter(this);
}

bool ListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The row the keys are on is the one meant, selected or not.
        const auto selectCurrent = [this] {
            if (!m_table->selectionModel()->hasSelection() && m_table->currentIndex().isValid())
                m_table->selectionModel()->select(
                    m_table->currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        };
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::ControlModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
            // As Home and End do: the first or last row becomes the one
            // selected, so that Delete or Enter then acts on the row the
            // cursor shows, not on one it left.
            const int rows = m_table->model() ? m_table->model()->rowCount() : 0;
            if (rows > 0)
                m_table->selectionModel()->setCurrentIndex(
                    m_table->model()->index(key->key() == Qt::Key_Home ? 0 : rows - 1, 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
        if (modifiers == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Insert:
                onAdd();
                return true;
            case Qt::Key_Delete:
                selectCurrent();
                onRemove();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                selectCurrent();
                onUpdate();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

ListDialog::~ListDialog()
{
    m_table->setModel(nullptr);
}

void ListDialog::setModel(std::unique_ptr<TextTableModel> model, int height)
{
    m_model = std::move(model);
    m_table->setModel(m_model.get());
    // The widths were chosen for a small dialog font; with today's larger
    // fonts they grow in proportion so that times and amounts stay readable.
    const double classicDigits = 60.0; // ten digits of the old 8-point dialog font
    const double scale
        = std::max(1.0, m_table->fontMetrics().horizontalAdvance(QStringLiteral("0123456789")) / classicDigits);
    int width = m_table->frameWidth() * 2 + m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (std::size_t i = 0; i < m_model->columns().size(); ++i) {
        const int columnWidth = static_cast<int>(m_model->columns()[i].width * scale + 0.5);
        m_table->setColumnWidth(static_cast<int>(i), columnWidth);
        width += columnWidth;
    }
    // Never wider than the screen: the list scrolls instead, and the dialog
    // keeps its title bar and buttons where they can be reached.
    width += 18;
    if (const QScreen* screen = this->screen())
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    resize(width, height);
}

void ListDialog::showSortColumn(int column)
{
    m_table->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
}

std::vector<int> ListDialog::selectedRows() const
{
    // From the selection's ranges: asking the model row by row takes
    // seconds for a list of a million rows all selected. Whole rows are
    // selected here, so a row in a range is a selected row.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_table->setGeometry(9, 41, std::max(0, width() - 18), std::max(0, height() - 50));
}

} // namespace quillory
