#include "data/projectindex.h"

#include "data/recordfile.h"

namespace quillory {

namespace {
constexpr std::int32_t kDenseLimit = 1 << 20;
}

ProjectIndex::ProjectIndex(std::vector<ProjectRecord> projects)
    : m_projects(std::move(projects))
{
    for (std::size_t i = m_projects.size(); i-- > 0;) {
        // Walking backwards leaves the first record of a repeated id in place.
        const std::int32_t id = m_projects[i].id;
        const auto index = static_cast<std::int32_t>(i);
        if (id >= 0 && id < kDenseLimit) {
            if (m_dense.size() <= static_cast<std::size_t>(id))
                m_dense.resize(static_cast<std::size_t>(id) + 1, -1);
            m_dense[static_cast<std::size_t>(id)] = index;
        } else {
            m_sparse[id] = index;
        }
    }
}

const ProjectRecord& ProjectIndex::find(std::int32_t id) const
{
    std::int32_t index = -1;
    if (id >= 0 && static_cast<std::size_t>(id) < m_dense.size()) {
        index = m_dense[static_cast<std::size_t>(id)];
    } else if (!m_sparse.empty()) {
        const auto it = m_sparse.find(id);
        if (it != m_sparse.end())
            index = it->second;
    }
    if (index >= 0)
        return m_projects[static_cast<std::size_t>(index)];
    auto it = m_missing.find(id);
    if (it == m_missing.end())
        it = m_missing.emplace(id, deletedProjectRecord(id)).first;
    return it->second;
}

ProjectIndex loadProjectIndex(const std::string& dataSetPath, std::size_t frames, Prompter& prompter)
{
    if (frames == 0)
        return {};
    auto projects = loadProjects(siblingPath(dataSetPath, "prj"), prompter);
    return projects ? ProjectIndex(std::move(*projects)) : ProjectIndex();
}

const ProjectIndex& ProjectsOnDemand::get()
{
    if (!m_index)
        m_index = loadProjectIndex(m_path, 1, m_prompter);
    return *m_index;
}

} // namespace quillory
