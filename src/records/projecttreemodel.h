// The projects tree as a Qt item model over ProjectTree, with the edits the
// projects dialog makes: create, remove, rename in place, move by drag and
// drop, and a record changed by the information dialog.
#pragma once

#include "records/projecttree.h"

#include <QAbstractItemModel>

#include <string>

namespace quillory {

class ProjectTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ProjectTreeModel(ProjectTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    static int keyOf(const QModelIndex& index);
    // The project a drag from this model carries; kNone for drags from
    // anywhere else (another tree, another program).
    int keyFromMimeData(const QMimeData* data) const;
    QModelIndex indexOfKey(int key) const;

    QModelIndex createProject(const std::string& name, int parentKey, const std::string& dataSetPath);
    void removeProject(int key);
    // Resets the model: callers keep what the view showed expanded.
    bool moveProject(int dragged, int target);
    void recordChanged(int key);

    ProjectTree& tree() { return m_tree; }

private:
    // Names this model in the process: "pid:address:".
    QByteArray dragToken() const;

    ProjectTree& m_tree;
};

inline constexpr const char* kProjectKeyMimeType = "application/x-quillory-project-key";

} // namespace quillory
