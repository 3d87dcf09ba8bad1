// What the history and the customers dialogs share: the buttons Add, Update,
// Remove, Print and Exit along the top, a list of rows below them that
// follows the dialog's size, sorting by a click on a heading, and a table
// model that makes each cell's text only when it is shown. Everything is
// reached from the keyboard: Tab goes between the list and the buttons, each
// button has its Alt+letter, and the list takes Insert, Delete and Enter.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTableView;

namespace quillory {

// Rows and texts come from callbacks, so the rows can be as many as a list
// of a million time frames without a copy.
class TextTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        const char* heading;
        int width; // for the digits of a small dialog font; widened for larger fonts
        bool rightAligned = false;
    };

    TextTableModel(std::vector<Column> columns, std::function<std::size_t()> rows,
        std::function<std::string(std::size_t, int)> text, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const std::vector<Column>& columns() const { return m_columns; }
    // Wraps a change of the rows' content or order.
    void change(const std::function<void()>& change);

private:
    std::vector<Column> m_columns;
    std::function<std::size_t()> m_rows;
    std::function<std::string(std::size_t, int)> m_text;
};

class ListDialog : public QDialog {
    Q_OBJECT
public:
    QTableView* table() const { return m_table; }

    virtual void onAdd() = 0;
    virtual void onUpdate() = 0;
    // Removes the selected rows after asking; with none selected, nothing
    // happens and nothing is asked.
    virtual void onRemove() = 0;
    // Closes the dialog so that its list is printed.
    void onPrint() { accept(); }
    virtual void sortBy(int column) = 0;

protected:
    ListDialog(const char* title, const char* objectName, QWidget* parent);
    ~ListDialog() override;
    // Shows the model, sized to show every column.
    void setModel(std::unique_ptr<TextTableModel> model, int height);
    TextTableModel& model() const { return *m_model; }
    void showSortColumn(int column);
    // Selected rows, in row order.
    std::vector<int> selectedRows() const;
    void resizeEvent(QResizeEvent* event) override;
    // Insert adds, Delete removes the selected rows, Enter updates the first
    // of them (the current row when none is selected).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* m_table;
    std::unique_ptr<TextTableModel> m_model;
};

} // namespace quillory
