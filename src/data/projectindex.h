// Projects by id for scans over the time frames: built from one reading of
// the projects file, then asked once per time frame. It answers as a lookup
// in the file would: the first project with the id, or the placeholder of a
// deleted project.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillory {

class ProjectIndex {
public:
    ProjectIndex() = default;
    explicit ProjectIndex(std::vector<ProjectRecord> projects);

    const ProjectRecord& find(std::int32_t id) const;
    const std::vector<ProjectRecord>& projects() const { return m_projects; }

private:
    std::vector<ProjectRecord> m_projects;
    // Ids from 0 up to a modest bound index a table directly; others a map.
    std::vector<std::int32_t> m_dense;
    std::unordered_map<std::int32_t, std::int32_t> m_sparse;
    mutable std::unordered_map<std::int32_t, ProjectRecord> m_missing;
};

class Prompter;

// The projects of a data set for a scan over `frames` time frames: read
// (a failure reported) only when there is a frame to look up.
ProjectIndex loadProjectIndex(const std::string& dataSetPath, std::size_t frames, Prompter& prompter);

// The projects of a data set, read (a failure reported) the first time a
// scan asks for them, then shared by the scans that follow.
class ProjectsOnDemand {
public:
    ProjectsOnDemand(std::string dataSetPath, Prompter& prompter)
        : m_path(std::move(dataSetPath))
        , m_prompter(prompter)
    {
    }
    const ProjectIndex& get();

private:
    std::string m_path;
    Prompter& m_prompter;
    std::optional<ProjectIndex> m_index;
};

} // namespace quillory
