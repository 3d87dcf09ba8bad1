#include "import/importplan.h"

#include "data/calendar.h"
#include "data/fileio.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"
#include "records/projectpaths.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace quillory {

namespace {

struct FrameKey {
    std::int32_t project;
    std::int32_t start;
    std::int32_t end;
    auto operator<=>(const FrameKey&) const = default;
};

FrameKey keyOf(const TimeFrameRecord& f)
{
    return {f.projectId, f.start, f.end};
}

// Names to ids as the lookup by name has it: the last record of a name.
template <typename Record> std::unordered_map<std::string, std::int32_t> idsByName(const std::vector<Record>& records)
{
    std::unordered_map<std::string, std::int32_t> ids;
    for (const Record& r : records)
        ids[fieldText(r.name)] = r.id;
    return ids;
}

struct ProjectMatch {
    std::optional<std::int32_t> id;
    std::string ambiguous; // why the name names no one project
};

// The data set's projects by full name and by their own name. Projects of
// one full name cannot be told apart by any file: the last of them stands
// for it, as the lookup by name has it. A name that several places in the
// tree share is no guess.
class ProjectNames {
public:
    explicit ProjectNames(const std::vector<ProjectRecord>& projects)
    {
        const ProjectPaths paths(projects);
        for (std::size_t i = 0; i < projects.size(); ++i) {
            const std::string full = paths.fullName(i);
            m_byFullName[full] = projects[i].id;
            std::vector<std::string>& places = m_places[paths.name(i)];
            if (std::find(places.begin(), places.end(), full) == places.end())
                places.push_back(full);
        }
    }
    ProjectMatch match(const std::string& name) const
    {
        if (const auto found = m_byFullName.find(name); found != m_byFullName.end())
            return {found->second, {}};
        const auto places = m_places.find(name);
        if (places == m_places.end())
            return {};
        if (places->second.size() == 1)
            return {m_byFullName.at(places->second.front()), {}};
        std::string listed;
        for (const std::string& full : places->second)
            listed += (listed.empty() ? "" : ", ") + full;
        return {std::nullopt,
            "several projects are named " + name + " (" + listed + "): the file must name one by its full name."};
    }

private:
    std::unordered_map<std::string, std::int32_t> m_byFullName;
    std::unordered_map<std::string, std::vector<std::string>> m_places;
};

// Which frames of the batch are there already: in the data set, or earlier
// in the batch itself. Both sides are sorted once and walked together.
std::vector<char> findDuplicates(
    const ImportBatch& batch, const std::vector<std::int32_t>& projectIds, const TimeFrames& existing)
{
    std::vector<FrameKey> there(existing.size());
    std::transform(existing.begin(), existing.end(), there.begin(), keyOf);
    std::sort(there.begin(), there.end());
    std::vector<std::pair<FrameKey, std::uint32_t>> incoming(batch.frames.size());
    for (std::size_t i = 0; i < batch.frames.size(); ++i) {
        const SourceFrame& f = batch.frames[i];
        incoming[i] = {{projectIds[f.project], f.start, f.end}, static_cast<std::uint32_t>(i)};
    }
    // The index breaks ties, so the first of equal frames is the one kept.
    std::sort(incoming.begin(), incoming.end());
    std::vector<char> duplicate(batch.frames.size(), 0);
    auto next = there.begin();
    for (std::size_t i = 0; i < incoming.size(); ++i) {
        const FrameKey& key = incoming[i].first;
        next = std::lower_bound(next, there.end(), key);
        const bool inDataSet = next != there.end() && *next == key;
        const bool earlier = i > 0 && incoming[i - 1].first == key;
        duplicate[incoming[i].second] = inDataSet || earlier;
    }
    return duplicate;
}

template <typename List> std::string_view bytesOf(const List& records, std::size_t count)
{
    return std::string_view(reinterpret_cast<const char*>(records.data()), count * sizeof(typename List::value_type));
}

std::string countText(std::uint64_t n)
{
    return std::to_string(n);
}

} // namespace

std::optional<ImportPlan> planImport(const ImportBatch& batch, const std::string& dataSetPath, Prompter& prompter)
{
    ImportPlan plan;
    plan.dataSetPath = dataSetPath;
    plan.kind = batch.kind;
    plan.sourcePath = batch.sourcePath;
    auto customers = loadCustomers(siblingPath(dataSetPath, "cus"), prompter);
    auto projects = customers ? loadProjects(siblingPath(dataSetPath, "prj"), prompter) : std::nullopt;
    auto frames = projects ? loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter) : std::nullopt;
    if (!frames)
        return std::nullopt;
    plan.customers = std::move(*customers);
    plan.projects = std::move(*projects);
    plan.frames = std::move(*frames);
    plan.customersBefore = plan.customers.size();
    plan.projectsBefore = plan.projects.size();
    plan.framesBefore = plan.frames.size();

    // Every project of the batch gets its id: the existing one of its name,
    // or a new one.
    const ProjectNames projectNames(plan.projects);
    auto customerIdByName = idsByName(plan.customers);
    std::unordered_map<std::int32_t, std::string> customerNames;
    for (const CustomerRecord& c : plan.customers)
        customerNames.try_emplace(c.id, fieldText(c.name));
    std::vector<std::int32_t> ids(batch.projects.size());
    std::vector<std::string> shownCustomer(batch.projects.size());
    std::vector<char> isNew(batch.projects.size(), 0);
    std::optional<std::int32_t> nextProject;
    std::optional<std::int32_t> nextCustomer;
    for (std::size_t k = 0; k < batch.projects.size(); ++k) {
        const SourceProject& source = batch.projects[k];
        const ProjectMatch match = projectNames.match(source.name);
        if (!match.ambiguous.empty()) {
            plan.refusal = batch.sourcePath + ": " + match.ambiguous;
            return plan;
        }
        if (match.id) {
            ids[k] = *match.id;
            const auto p = std::find_if(plan.projects.begin(), plan.projects.begin() + plan.projectsBefore,
                [&](const ProjectRecord& r) { return r.id == *match.id; });
            if (const auto c = customerNames.find(p->customerId); c != customerNames.end())
                shownCustomer[k] = c->second;
            continue;
        }
        // A new project always lands: the first of its frames is never a
        // duplicate, as nothing in the data set has its id yet.
        if (!nextProject)
            nextProject = nextProjectId(plan.projects, dataSetPath);
        ProjectRecord record = newProjectRecord((*nextProject)++, source.name.c_str(), -1);
        record.pricePerHour = source.price ? source.price->toDouble() : 0.0;
        if (!source.customer.empty()) {
            auto customer = customerIdByName.find(source.customer);
            if (customer == customerIdByName.end()) {
                if (!nextCustomer) {
                    nextCustomer = nextCustomerId(dataSetPath, prompter);
                    if (*nextCustomer < 0)
                        return std::nullopt;
                }
                plan.customers.push_back(newCustomerRecord((*nextCustomer)++, source.customer.c_str()));
                customer = customerIdByName.emplace(source.customer, plan.customers.back().id).first;
            }
            record.customerId = customer->second;
            shownCustomer[k] = source.customer;
        }
        ids[k] = record.id;
        isNew[k] = 1;
        plan.projects.push_back(record);
    }

    const std::vector<char> duplicate = findDuplicates(batch, ids, plan.frames);
    ImportCounts& counts = plan.counts;
    plan.frames.reserve(plan.frames.size() + batch.frames.size());
    for (std::size_t i = 0; i < batch.frames.size(); ++i) {
        if (duplicate[i]) {
            ++counts.duplicates;
            continue;
        }
        const SourceFrame& f = batch.frames[i];
        plan.frames.push_back({ids[f.project], f.start, f.end});
        counts.firstStart = std::min(counts.firstStart.value_or(f.start), f.start);
        counts.lastEnd = std::max(counts.lastEnd.value_or(f.end), f.end);
        if (plan.firstFrames.size() < kPreviewFrames) {
            plan.firstFrames.push_back(
                {batch.projects[f.project].name, shownCustomer[f.project], f.start, f.end, isNew[f.project] != 0});
        }
    }
    counts.framesToAdd = plan.frames.size() - plan.framesBefore;
    counts.rejected = batch.rejected.size();
    counts.openIntervals = batch.openIntervals;
    counts.skippedComponents = batch.skippedComponents;
    counts.newProjects = plan.projects.size() - plan.projectsBefore;
    counts.newCustomers = plan.customers.size() - plan.customersBefore;
    return plan;
}

bool landImport(const ImportPlan& plan, Prompter& prompter)
{
    if (plan.counts.framesToAdd == 0)
        return true;
    std::vector<std::pair<std::string, std::string_view>> parts;
    if (plan.customers.size() > plan.customersBefore)
        parts.emplace_back(siblingPath(plan.dataSetPath, "cus"), bytesOf(plan.customers, plan.customers.size()));
    if (plan.projects.size() > plan.projectsBefore)
        parts.emplace_back(siblingPath(plan.dataSetPath, "prj"), bytesOf(plan.projects, plan.projects.size()));
    parts.emplace_back(siblingPath(plan.dataSetPath, "tfr"), bytesOf(plan.frames, plan.frames.size()));

    // Each file is replaced where a link leads, so a link stays a link. The
    // undo file makes the files one change even across a crash or a power
    // cut: the next opening puts back what a landing cut short had renamed,
    // so the data set is as before or as after, never frames without their
    // projects.
    FileReplacement replacement;
    for (const auto& [path, bytes] : parts) {
        const auto target = fileSystem().resolveLinks(path);
        if (!target || !replacement.add(*target, bytes)) {
            prompter.reportFileError(kCannotSaveFile, path);
            return false;
        }
    }
    if (replacement.commit(undoFilePath(plan.dataSetPath)))
        return true;
    prompter.reportFileError(kCannotSaveFile, parts.back().first);
    return false;
}

std::vector<std::pair<std::string, std::string>> importSummary(const ImportPlan& plan, bool americanDates)
{
    const ImportCounts& c = plan.counts;
    std::vector<std::pair<std::string, std::string>> lines{
        {"Time frames to add", countText(c.framesToAdd)},
        {"Duplicates skipped", countText(c.duplicates)},
        {"Rejected rows", countText(c.rejected)},
    };
    if (plan.kind == ImportKind::Timewarrior)
        lines.emplace_back("Open intervals not imported", countText(c.openIntervals));
    if (plan.kind == ImportKind::ICalendar)
        lines.emplace_back("Other calendar entries skipped", countText(c.skippedComponents));
    lines.emplace_back("New projects", countText(c.newProjects));
    lines.emplace_back("New customers", countText(c.newCustomers));
    lines.emplace_back("Period",
        c.firstStart ? FormatDate(*c.firstStart, americanDates) + " to " + FormatDate(*c.lastEnd, americanDates)
                     : std::string("none"));
    return lines;
}

} // namespace quillory
