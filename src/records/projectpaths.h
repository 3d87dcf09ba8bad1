// What reports need to know of projects and customers to group time frames:
// where each project sits in the projects tree (its parent and its full
// name, "Website / Design"), the customer names as reports show them, and
// the frames that one row of a report stands for, so that the history of
// charges can list exactly the frames behind a figure.
#pragma once

#include "data/quickperiods.h"
#include "data/records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillory {

inline constexpr const char* kProjectPathSeparator = " / ";
inline constexpr const char* kNoCustomerLabel = "(no customer)";

// The records of a projects file, placed as the projects tree places them:
// under the latest record before them whose id is their parent id.
class ProjectPaths {
public:
    ProjectPaths() = default;
    explicit ProjectPaths(const std::vector<ProjectRecord>& records);

    std::size_t size() const { return m_parent.size(); }
    // The position of the parent record, or -1 at the top level.
    int parentOf(std::size_t index) const { return m_parent[index]; }
    const std::string& name(std::size_t index) const { return m_name[index]; }
    // The names from the top-level project down, joined by " / ".
    std::string fullName(std::size_t index) const;
    // From the top-level project down to `index` itself.
    std::vector<std::size_t> chain(std::size_t index) const;
    bool isWithin(std::size_t index, std::size_t ancestor) const;

private:
    std::vector<int> m_parent;
    std::vector<std::string> m_name;
};

// Customer names by id: "(no customer)" for -1, and the placeholder of a
// deleted customer for an id the customers file lacks.
class CustomerNames {
public:
    CustomerNames() = default;
    explicit CustomerNames(const std::vector<CustomerRecord>& customers);
    std::string operator()(std::int32_t id) const;
    bool knows(std::int32_t id) const { return m_names.count(id) > 0; }
    // The customer a project of `id` is billed to: none (-1) once the
    // customers file no longer has it, as the customer's removal says.
    std::int32_t billedAs(std::int32_t id) const { return knows(id) ? id : -1; }

private:
    std::unordered_map<std::int32_t, std::string> m_names;
};

// The time frames one row of a report stands for: those that start in the
// period and, when the scope says so, belong to the customer and lie on the
// project.
struct FrameScope {
    enum class Projects {
        Any,
        Subtree, // the project and its sub-projects
        Own, // the project's own frames only
        Deleted, // every frame whose project the projects file lacks
    };
    PeriodBounds period{INT32_MIN, INT32_MAX};
    bool byCustomer = false;
    std::int32_t customerId = -1;
    Projects projects = Projects::Any;
    std::int32_t projectId = -1; // for Subtree and Own

    bool operator==(const FrameScope&) const = default;
};

// Which projects of a list lie in a scope: asked once per project, not
// once per frame. `slot` is a project's position in the list, or the
// list's size for a frame whose project is missing.
std::vector<bool> ProjectsInScope(
    const FrameScope& scope, const std::vector<ProjectRecord>& projects, const ProjectPaths& paths);

} // namespace quillory
