#include "records/projectpaths.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "records/projecttree.h"

#include <algorithm>

namespace quillory {

ProjectPaths::ProjectPaths(const std::vector<ProjectRecord>& records)
{
    // The tree's keys are the records' positions.
    const ProjectTree tree(records);
    m_parent.reserve(records.size());
    m_name.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int parent = tree.parentOf(static_cast<int>(i));
        m_parent.push_back(parent == ProjectTree::kNone ? -1 : parent);
        m_name.push_back(fieldText(records[i].name));
    }
}

std::vector<std::size_t> ProjectPaths::chain(std::size_t index) const
{
    // The tree keeps depths below kMaxDepth, so the walk ends.
    std::vector<std::size_t> up{index};
    for (int p = m_parent[index]; p != -1; p = m_parent[static_cast<std::size_t>(p)])
        up.push_back(static_cast<std::size_t>(p));
    std::reverse(up.begin(), up.end());
    return up;
}

std::string ProjectPaths::fullName(std::size_t index) const
{
    std::string full;
    for (std::size_t i : chain(index))
        full += (full.empty() ? "" : kProjectPathSeparator) + m_name[i];
    return full;
}

bool ProjectPaths::isWithin(std::size_t index, std::size_t ancestor) const
{
    for (int p = static_cast<int>(index); p != -1; p = m_parent[static_cast<std::size_t>(p)]) {
        if (static_cast<std::size_t>(p) == ancestor)
            return true;
    }
    return false;
}

CustomerNames::CustomerNames(const std::vector<CustomerRecord>& customers)
{
    // The first customer of an id is the one a lookup finds.
    for (const CustomerRecord& c : customers)
        m_names.try_emplace(c.id, fieldText(c.name));
}

std::string CustomerNames::operator()(std::int32_t id) const
{
    if (id == -1)
        return kNoCustomerLabel;
    const auto it = m_names.find(id);
    return it != m_names.end() ? it->second : kDeletedCustomerName;
}

std::vector<bool> ProjectsInScope(
    const FrameScope& scope, const std::vector<ProjectRecord>& projects, const ProjectPaths& paths)
{
    std::vector<bool> in(projects.size() + 1, false);
    // The project a Subtree or Own scope names: the first of its id, as
    // every lookup finds it.
    const auto named = std::find_if(
        projects.begin(), projects.end(), [&](const ProjectRecord& p) { return p.id == scope.projectId; });
    const std::size_t target = static_cast<std::size_t>(named - projects.begin());
    for (std::size_t slot = 0; slot <= projects.size(); ++slot) {
        const bool missing = slot == projects.size();
        const std::int32_t customer = missing ? -1 : std::int32_t{projects[slot].customerId};
        if (scope.byCustomer && customer != scope.customerId)
            continue;
        switch (scope.projects) {
        case FrameScope::Projects::Any:
            in[slot] = true;
            break;
        case FrameScope::Projects::Deleted:
            in[slot] = missing;
            break;
        case FrameScope::Projects::Own:
            in[slot] = !missing && slot == target;
            break;
        case FrameScope::Projects::Subtree:
            in[slot] = !missing && target < projects.size() && paths.isWithin(slot, target);
            break;
        }
    }
    return in;
}

} // namespace quillory
