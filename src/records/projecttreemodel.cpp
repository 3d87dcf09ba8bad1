#include "records/projecttreemodel.h"

#include "data/text.h"

#include <QCoreApplication>
#include <QMimeData>

namespace quillory {

ProjectTreeModel::ProjectTreeModel(ProjectTree& tree, QObject* parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{
}

int ProjectTreeModel::keyOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<int>(index.internalId()) : ProjectTree::kNone;
}

QModelIndex ProjectTreeModel::indexOfKey(int key) const
{
    if (!m_tree.isAlive(key))
        return {};
    return createIndex(m_tree.rowOf(key), 0, static_cast<quintptr>(key));
}

QModelIndex ProjectTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const auto& children = m_tree.childrenOf(keyOf(parent));
    if (column != 0 || row < 0 || row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex ProjectTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOfKey(m_tree.parentOf(keyOf(child)));
}

int ProjectTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(m_tree.childrenOf(keyOf(parent)).size());
}

int ProjectTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ProjectTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(fieldText(m_tree.record(keyOf(index)).name));
}

bool ProjectTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // A project without a name could not be told from the others, nor one
    // whose name holds control characters be shown: the old name stays.
    if (!index.isValid() || role != Qt::EditRole || value.toString().trimmed().isEmpty()
        || hasControlCharacters(value.toString().toStdString()))
        return false;
    m_tree.rename(keyOf(index), value.toString().toStdString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags ProjectTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
        | Qt::ItemIsDropEnabled;
}

Qt::DropActions ProjectTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList ProjectTreeModel::mimeTypes() const
{
    return {QString::fromLatin1(kProjectKeyMimeType)};
}

QMimeData* ProjectTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kProjectKeyMimeType), dragToken() + QByteArray::number(keyOf(indexes.first())));
    return data;
}

QByteArray ProjectTreeModel::dragToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
        + QByteArray::number(reinterpret_cast<quintptr>(this)) + ':';
}

int ProjectTreeModel::keyFromMimeData(const QMimeData* data) const
{
    const QString format = QString::fromLatin1(kProjectKeyMimeType);
    if (!data || !data->hasFormat(format))
        return ProjectTree::kNone;
    const QByteArray carried = data->data(format);
    const QByteArray token = dragToken();
    if (!carried.startsWith(token))
        return ProjectTree::kNone;
    bool ok = false;
    const int key = carried.mid(token.size()).toInt(&ok);
    return ok && m_tree.isAlive(key) ? key : ProjectTree::kNone;
}

QModelIndex ProjectTreeModel::createProject(const std::string& name, int parentKey, const std::string& dataSetPath)
{
    const int parent = m_tree.parentForNew(parentKey);
    const int row = static_cast<int>(m_tree.childrenOf(parent).size());
    beginInsertRows(indexOfKey(parent), row, row);
    const int key = m_tree.create(name, parent, dataSetPath);
    endInsertRows();
    return indexOfKey(key);
}

void ProjectTreeModel::removeProject(int key)
{
    if (!m_tree.isAlive(key))
        return;
    const int row = m_tree.rowOf(key);
    beginRemoveRows(indexOfKey(m_tree.parentOf(key)), row, row);
    m_tree.remove(key);
    endRemoveRows();
}

bool ProjectTreeModel::moveProject(int dragged, int target)
{
    if (!m_tree.canMove(dragged, target))
        return false;
    beginResetModel();
    m_tree.move(dragged, target);
    endResetModel();
    return true;
}

void ProjectTreeModel::recordChanged(int key)
{
    m_tree.touch();
    const QModelIndex index = indexOfKey(key);
    emit dataChanged(index, index);
}

} // namespace quillory
