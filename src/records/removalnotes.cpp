#include "records/removalnotes.h"

#include "data/calendar.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/text.h"
#include "records/projecttree.h"

#include <unordered_map>
#include <unordered_set>

namespace quillory {

namespace {

// A count and its noun: "1 sub-project", "3 sub-projects".
std::string counted(std::size_t n, const char* noun)
{
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// "A", "A and B", "A, B and C"; past `limit` names the rest are counted.
std::string namesList(const std::vector<std::string>& names, std::size_t limit, const char* noun)
{
    const std::size_t shown = names.size() > limit ? limit - 1 : names.size();
    std::vector<std::string> parts(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(shown));
    if (shown < names.size())
        parts.push_back(std::to_string(names.size() - shown) + " more " + noun);
    return joinedNames(parts);
}

} // namespace

void FramesSum::add(const TimeFrameRecord& frame, double pricePerHour)
{
    const std::int64_t seconds = std::int64_t{frame.end} - frame.start;
    ++count;
    minutes += WholeMinutes(seconds);
    charge += Charge(pricePerHour, seconds);
}

std::vector<int> subtreeOf(const ProjectTree& tree, int key)
{
    if (!tree.isAlive(key))
        return {};
    // Level by level: a damaged file may nest projects too deep to recurse.
    std::vector<int> keys{key};
    for (std::size_t next = 0; next < keys.size(); ++next) {
        const auto& children = tree.childrenOf(keys[next]);
        keys.insert(keys.end(), children.begin(), children.end());
    }
    return keys;
}

std::string projectRemovalNote(
    const ProjectTree& tree, int key, const std::vector<TimeFrameRecord>& frames, const std::string& symbol)
{
    const std::vector<int> removed = subtreeOf(tree, key);
    if (removed.empty())
        return {};
    // A time frame keeps its project while any project left has its id
    // (ids a damaged file repeats); it is charged at the price of the first
    // project of its id, as every scan finds it.
    const std::unordered_set<int> gone(removed.begin(), removed.end());
    std::unordered_set<std::int32_t> kept;
    for (int k : tree.listOrder()) {
        if (!gone.count(k))
            kept.insert(tree.record(k).id);
    }
    std::unordered_map<std::int32_t, double> priceOf;
    for (int k : tree.listOrder()) {
        const ProjectRecord& r = tree.record(k);
        if (gone.count(k) && !kept.count(r.id))
            priceOf.try_emplace(r.id, r.pricePerHour);
    }
    FramesSum sum;
    for (const TimeFrameRecord& f : frames) {
        const auto price = priceOf.find(f.projectId);
        if (price != priceOf.end())
            sum.add(f, price->second);
    }
    if (sum.count == 0)
        return {};
    const std::size_t below = removed.size() - 1;
    std::string subject = fieldText(tree.record(key).name);
    subject += below == 0 ? " has " : " and its " + counted(below, "sub-project") + " have ";
    return subject + counted(sum.count, "recorded time frame") + " (" + FormatDuration(sum.minutes) + ", "
        + FormatMoney(symbol, sum.charge) + "); " + (sum.count == 1 ? "it" : "they")
        + " will show as (deleted project) and charge nothing.";
}

std::string customerRemovalNote(
    const std::vector<ProjectRecord>& projects, const std::vector<std::int32_t>& customerIds)
{
    const std::unordered_set<std::int32_t> removed(customerIds.begin(), customerIds.end());
    std::vector<std::string> names;
    for (const ProjectRecord& p : projects) {
        if (p.customerId >= 0 && removed.count(p.customerId))
            names.push_back(fieldText(p.name));
    }
    if (names.empty())
        return {};
    return namesList(names, 6, "projects") + " will have no customer.";
}

std::string frameNote(const std::string& projectName, const TimeFrameRecord& frame, double pricePerHour,
    bool americanDates, const std::string& symbol)
{
    FramesSum sum;
    sum.add(frame, pricePerHour);
    return projectName + ", " + FormatDate(frame.start, americanDates) + " " + FormatTime24(frame.start) + "-"
        + FormatTime24(frame.end) + ", " + FormatDuration(sum.minutes) + ", " + FormatMoney(symbol, sum.charge);
}

std::string framesNote(const FramesSum& sum, const std::string& symbol)
{
    return counted(sum.count, "time frame") + ", " + FormatDuration(sum.minutes) + ", "
        + FormatMoney(symbol, sum.charge);
}

std::string runningProjectsNote(const std::vector<RunningProject>& running, bool paused, Timestamp pauseStart,
    Timestamp now, const std::vector<ProjectRecord>& projects)
{
    const ProjectIndex index(projects);
    std::string out;
    for (const RunningProject& r : running) {
        const Timestamp start = paused ? startAfterPause(r.start, pauseStart, now) : r.start;
        if (!out.empty())
            out += ", ";
        out += fieldText(index.find(r.projectId).name) + " " + FormatDuration(WholeMinutes(std::int64_t{now} - start));
    }
    return out;
}

} // namespace quillory
