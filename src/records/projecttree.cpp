#include "records/projecttree.h"

#include "data/recordfile.h"
#include "data/text.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace quillory {

namespace {

constexpr std::size_t kNameBytes = sizeof(ProjectRecord::name) - 1;

// The parent each record gets when `records` are read in this order (its
// position, or -1 for the top level): the latest record read before it
// whose id it names, unless that would put it deeper than kMaxDepth.
std::vector<int> parentsAsRead(const std::vector<const ProjectRecord*>& records)
{
    std::unordered_map<std::int32_t, int> latest;
    std::vector<int> parents;
    std::vector<int> depths;
    parents.reserve(records.size());
    depths.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ProjectRecord& r = *records[i];
        int parent = -1;
        if (r.parentId != -1) {
            const auto it = latest.find(r.parentId);
            if (it != latest.end() && depths[static_cast<std::size_t>(it->second)] < ProjectTree::kMaxDepth)
                parent = it->second;
        }
        parents.push_back(parent);
        depths.push_back(parent == -1 ? 0 : depths[static_cast<std::size_t>(parent)] + 1);
        latest[r.id] = static_cast<int>(i);
    }
    return parents;
}

} // namespace

ProjectTree::ProjectTree(std::vector<ProjectRecord> records)
{
    std::vector<const ProjectRecord*> pointers;
    for (const ProjectRecord& r : records)
        pointers.push_back(&r);
    const std::vector<int> parents = parentsAsRead(pointers);
    m_nodes.reserve(records.size());
    for (std::size_t key = 0; key < records.size(); ++key) {
        m_nodes.push_back(Node{records[key], kNone, {}, true});
        attach(static_cast<int>(key), parents[key], kNone);
        m_listOrder.push_back(static_cast<int>(key));
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

std::vector<std::int32_t> ProjectTree::idsInUse() const
{
    std::vector<std::int32_t> ids;
    ids.reserve(2 * m_nodes.size());
    for (const Node& node : m_nodes) {
        if (node.alive) {
            ids.push_back(node.record.id);
            ids.push_back(node.record.parentId);
        }
    }
    return ids;
}

int ProjectTree::depthOf(int key) const
{
    int depth = -1;
    for (int k = key; k != kNone; k = parentOf(k))
        ++depth;
    return depth;
}

int ProjectTree::heightOf(int key) const
{
    int height = 0;
    for (std::vector<int> level{key}; !level.empty(); ++height) {
        std::vector<int> below;
        for (int k : level)
            below.insert(below.end(), childrenOf(k).begin(), childrenOf(k).end());
        level = std::move(below);
    }
    return height;
}

int ProjectTree::parentForNew(int parentKey) const
{
    return parentKey != kNone && depthOf(parentKey) >= kMaxDepth ? kNone : parentKey;
}

int ProjectTree::create(const std::string& name, int parentKey, const std::string& dataSetPath)
{
    m_dataSetPath = dataSetPath;
    parentKey = parentForNew(parentKey);
    const std::int32_t id = nextProjectIdBeyond(idsInUse(), dataSetPath);
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
    return isAlive(dragged) && isAlive(target) && !isInSubtree(target, dragged)
        && depthOf(target) + heightOf(dragged) <= kMaxDepth + 1;
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

std::vector<int> ProjectTree::parentsFirst() const
{
    // Each parent followed by its sub-projects, as shown.
    std::vector<int> order;
    std::vector<int> pending(m_roots.rbegin(), m_roots.rend());
    while (!pending.empty()) {
        const int key = pending.back();
        pending.pop_back();
        order.push_back(key);
        const auto& kids = childrenOf(key);
        pending.insert(pending.end(), kids.rbegin(), kids.rend());
    }
    return order;
}

bool ProjectTree::readsBackAsShown(const std::vector<int>& order, const std::vector<ProjectRecord>& records) const
{
    std::vector<const ProjectRecord*> pointers;
    for (const ProjectRecord& r : records)
        pointers.push_back(&r);
    const std::vector<int> parents = parentsAsRead(pointers);
    std::unordered_map<int, std::vector<int>> children;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int parent = parents[i] == -1 ? kNone : order[static_cast<std::size_t>(parents[i])];
        if (parent != parentOf(order[i]))
            return false;
        children[parent].push_back(order[i]);
    }
    for (const auto& [parent, kids] : children) {
        if (kids != childrenOf(parent))
            return false;
    }
    return true;
}

void ProjectTree::renumberParents(const std::vector<int>& order, std::vector<ProjectRecord>& records) const
{
    // Where each node stands in the list: of the nodes sharing an id, the
    // first keeps it.
    std::unordered_map<int, std::size_t> listPosition;
    for (std::size_t i = 0; i < m_listOrder.size(); ++i)
        listPosition[m_listOrder[i]] = i;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> sharing; // id -> indexes into order
    for (std::size_t i = 0; i < order.size(); ++i)
        sharing[records[i].id].push_back(i);
    std::vector<std::size_t> renumbered;
    for (auto& [id, indexes] : sharing) {
        const bool namedByAChild
            = std::any_of(indexes.begin(), indexes.end(), [&](std::size_t i) { return !childrenOf(order[i]).empty(); });
        if (!namedByAChild || (id != -1 && indexes.size() == 1))
            continue;
        std::sort(indexes.begin(), indexes.end(),
            [&](std::size_t a, std::size_t b) { return listPosition[order[a]] < listPosition[order[b]]; });
        for (std::size_t n = id == -1 ? 0 : 1; n < indexes.size(); ++n) {
            if (id != -1 || !childrenOf(order[indexes[n]]).empty())
                renumbered.push_back(indexes[n]);
        }
    }
    if (renumbered.empty())
        return;
    std::sort(renumbered.begin(), renumbered.end());
    std::int32_t next = nextProjectIdBeyond(idsInUse(), m_dataSetPath);
    for (std::size_t i : renumbered)
        records[i].id = next++;
}

std::vector<ProjectRecord> ProjectTree::recordsToSave() const
{
    std::vector<int> order = listOrder();
    std::vector<ProjectRecord> records;
    for (int key : order)
        records.push_back(record(key));
    if (readsBackAsShown(order, records))
        return records;
    order = parentsFirst();
    records.clear();
    for (int key : order)
        records.push_back(record(key));
    renumberParents(order, records);
    std::unordered_map<int, std::size_t> written;
    std::unordered_set<std::int32_t> idsBefore;
    for (std::size_t i = 0; i < order.size(); ++i) {
        ProjectRecord& r = records[i];
        const int parent = parentOf(order[i]);
        if (parent != kNone) {
            r.parentId = records[written.at(parent)].id;
        } else if (r.parentId != -1 && idsBefore.count(r.parentId)) {
            // A top-level project whose stored parent would now be read
            // before it is written as what it shows: a top-level project.
            r.parentId = -1;
        }
        written[order[i]] = i;
        idsBefore.insert(r.id);
    }
    return records;
}

} // namespace quillory
