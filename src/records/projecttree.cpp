#include "records/projecttree.h"

#include "data/recordfile.h"
#include "data/text.h"

#include <algorithm>
#include <unordered_map>

namespace quillory {

namespace {

constexpr std::size_t kNameBytes = sizeof(ProjectRecord::name) - 1;

// The parent a record gets when read: the latest node read before it whose id
// it names, or none (the top level).
int readParent(const std::unordered_map<std::int32_t, int>& latest, std::int32_t parentId)
{
    if (parentId == -1)
        return ProjectTree::kNone;
    const auto it = latest.find(parentId);
    return it == latest.end() ? ProjectTree::kNone : it->second;
}

} // namespace

ProjectTree::ProjectTree(std::vector<ProjectRecord> records)
{
    // The latest node read so far for each id.
    std::unordered_map<std::int32_t, int> latest;
    m_nodes.reserve(records.size());
    for (ProjectRecord& r : records) {
        const int key = static_cast<int>(m_nodes.size());
        const int parent = readParent(latest, r.parentId);
        latest[r.id] = key;
        m_nodes.push_back(Node{r, kNone, {}, true});
        attach(key, parent, kNone);
        m_listOrder.push_back(key);
    }
}

bool ProjectTree::isAlive(int key) const
{
    return key >= 0 && static_cast<std::size_t>(key) < m_nodes.size() && m_nodes[static_cast<std::size_t>(key)].alive;
}

ProjectRecord& ProjectTree::record(int key)
{
    return m_nodes.at(static_cast<std::size_t>(key)).record;
}

const std::vector<int>& ProjectTree::childrenOf(int key) const
{
    return key == kNone ? m_roots : m_nodes.at(static_cast<std::size_t>(key)).children;
}

std::vector<int>& ProjectTree::childList(int parentKey)
{
    return parentKey == kNone ? m_roots : m_nodes.at(static_cast<std::size_t>(parentKey)).children;
}

int ProjectTree::rowOf(int key) const
{
    const auto& siblings = childrenOf(parentOf(key));
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), key) - siblings.begin());
}

int ProjectTree::size() const
{
    return static_cast<int>(std::count_if(m_nodes.begin(), m_nodes.end(), [](const Node& n) { return n.alive; }));
}

void ProjectTree::attach(int key, int parentKey, int afterKey)
{
    std::vector<int>& siblings = childList(parentKey);
    auto position = siblings.end();
    if (afterKey != kNone) {
        const auto after = std::find(siblings.begin(), siblings.end(), afterKey);
        if (after != siblings.end())
            position = after + 1;
    }
    siblings.insert(position, key);
    m_nodes[static_cast<std::size_t>(key)].parent = parentKey;
}

void ProjectTree::detach(int key)
{
    std::vector<int>& siblings = childList(parentOf(key));
    siblings.erase(std::find(siblings.begin(), siblings.end(), key));
    m_nodes[static_cast<std::size_t>(key)].parent = kNone;
}

std::vector<int> ProjectTree::listOrder() const
{
    std::vector<int> order;
    for (int key : m_listOrder) {
        if (m_nodes[static_cast<std::size_t>(key)].alive)
            order.push_back(key);
    }
    return order;
}

int ProjectTree::create(const std::string& name, int parentKey, const std::string& dataSetPath)
{
    std::vector<ProjectRecord> records;
    for (int key : listOrder())
        records.push_back(m_nodes[static_cast<std::size_t>(key)].record);
    const std::int32_t id = nextProjectId(records, dataSetPath);
    const std::int32_t parentId = parentKey == kNone ? -1 : std::int32_t{record(parentKey).id};
    const int key = static_cast<int>(m_nodes.size());
    m_nodes.push_back(Node{newProjectRecord(id, "", parentId), kNone, {}, true});
    setFieldText(m_nodes.back().record.name, name);
    attach(key, parentKey, kNone);
    m_listOrder.push_back(key);
    m_modified = true;
    return key;
}

void ProjectTree::remove(int key)
{
    if (!isAlive(key))
        return;
    detach(key);
    std::vector<int> pending{key};
    while (!pending.empty()) {
        const int k = pending.back();
        pending.pop_back();
        Node& node = m_nodes[static_cast<std::size_t>(k)];
        node.alive = false;
        pending.insert(pending.end(), node.children.begin(), node.children.end());
    }
    m_modified = true;
}

void ProjectTree::rename(int key, const std::string& name)
{
    const std::string kept(cutAtCharBoundary(name, kNameBytes));
    if (fieldText(record(key).name) == kept)
        return;
    setFieldText(record(key).name, kept);
    m_modified = true;
}

bool ProjectTree::isInSubtree(int key, int root) const
{
    for (int k = key; k != kNone; k = parentOf(k)) {
        if (k == root)
            return true;
    }
    return false;
}

bool ProjectTree::canMove(int dragged, int target) const
{
    return isAlive(dragged) && isAlive(target) && !isInSubtree(target, dragged);
}

bool ProjectTree::move(int dragged, int target)
{
    if (!canMove(dragged, target))
        return false;
    const int newParent = parentOf(target);
    detach(dragged);
    attach(dragged, newParent, target);
    record(dragged).parentId = newParent == kNone ? -1 : std::int32_t{record(newParent).id};
    m_modified = true;
    return true;
}

bool ProjectTree::readsBackAsShown(const std::vector<int>& order) const
{
    std::unordered_map<std::int32_t, int> latest;
    std::unordered_map<int, std::vector<int>> children;
    for (int key : order) {
        const ProjectRecord& r = record(key);
        const int parent = readParent(latest, r.parentId);
        if (parent != parentOf(key))
            return false;
        children[parent].push_back(key);
        latest[r.id] = key;
    }
    for (const auto& [parent, kids] : children) {
        if (kids != childrenOf(parent))
            return false;
    }
    return true;
}

std::vector<ProjectRecord> ProjectTree::recordsToSave() const
{
    std::vector<int> order = listOrder();
    if (!readsBackAsShown(order)) {
        // Parents first, each followed by its sub-projects, as shown.
        order.clear();
        std::vector<int> pending(m_roots.rbegin(), m_roots.rend());
        while (!pending.empty()) {
            const int key = pending.back();
            pending.pop_back();
            order.push_back(key);
            const auto& kids = childrenOf(key);
            pending.insert(pending.end(), kids.rbegin(), kids.rend());
        }
    }
    std::vector<ProjectRecord> records;
    records.reserve(order.size());
    std::unordered_map<std::int32_t, int> latest;
    for (int key : order) {
        ProjectRecord r = record(key);
        // A top-level project whose stored parent would now be read before
        // it is written as what it shows: a top-level project.
        const std::int32_t parentId = r.parentId;
        if (parentOf(key) == kNone && parentId != -1 && latest.count(parentId))
            r.parentId = -1;
        latest[r.id] = key;
        records.push_back(r);
    }
    return records;
}

} // namespace quillory
