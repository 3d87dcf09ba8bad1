#include "records/history.h"

#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/collator.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace quillory {

bool History::load(const std::string& dataSetPath, Prompter& prompter)
{
    m_frames.clear();
    m_projectOf.clear();
    m_order.clear();
    m_dateNumbers.clear();
    m_minutesOfDay.clear();
    auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return false;
    m_frames = std::move(*frames);
    std::vector<ProjectRecord> projects;
    if (!m_frames.empty()) {
        if (auto all = loadProjects(siblingPath(dataSetPath, "prj"), prompter))
            projects = std::move(*all);
    }
    m_projects = ProjectIndex(std::move(projects));
    m_projectOf.reserve(m_frames.size());
    for (const TimeFrameRecord& f : m_frames)
        m_projectOf.push_back(&m_projects.find(f.projectId));
    m_order.resize(m_frames.size());
    std::iota(m_order.begin(), m_order.end(), 0u);
    return true;
}

void History::setFormat(bool americanDates, std::string monetarySymbol)
{
    m_americanDates = americanDates;
    m_symbol = std::move(monetarySymbol);
}

std::string History::text(std::size_t row, int column) const
{
    const TimeFrameRecord& f = frame(row);
    const std::int64_t seconds = std::int64_t{f.end} - f.start;
    switch (column) {
    case kHistoryProject:
        return fieldText(project(row).name);
    case kHistoryDate:
        return FormatDate(f.start, m_americanDates, true);
    case kHistoryTime:
        return FormatTime12(f.start);
    case kHistoryCharged:
        return FormatDuration(WholeMinutes(seconds));
    case kHistoryCharges:
        return FormatMoney(m_symbol, Charge(project(row).pricePerHour, seconds));
    default:
        return {};
    }
}

void History::computeLocalKeys() const
{
    if (m_dateNumbers.size() == m_frames.size())
        return;
    m_dateNumbers.resize(m_frames.size());
    m_minutesOfDay.resize(m_frames.size());
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        const LocalTime lt = toLocalTime(m_frames[i].start);
        m_dateNumbers[i] = lt.dateNumber();
        m_minutesOfDay[i] = lt.minuteOfDay();
    }
}

void History::sortBy(int column)
{
    m_sortColumn = column;
    // Every column sorts on one integer per frame, made once for the sort.
    std::vector<std::int64_t> key(m_frames.size());
    switch (column) {
    case kHistoryProject: {
        // Project names are few: rank them once, then sort by rank.
        std::vector<const ProjectRecord*> distinct(m_projectOf.begin(), m_projectOf.end());
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        std::vector<std::string> names;
        for (const ProjectRecord* p : distinct)
            names.push_back(fieldText(p->name));
        const Collator& byName = collator();
        const std::vector<std::size_t> sorted = byName.order(names);
        std::unordered_map<const ProjectRecord*, std::int64_t> rank;
        std::int64_t r = 0;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (i > 0 && byName.compare(names[sorted[i - 1]], names[sorted[i]]) != 0)
                ++r;
            rank[distinct[sorted[i]]] = r;
        }
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            key[i] = rank[m_projectOf[i]];
        break;
    }
    case kHistoryDate:
    case kHistoryTime:
        computeLocalKeys();
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            key[i] = column == kHistoryDate ? m_dateNumbers[i] : m_minutesOfDay[i];
        break;
    case kHistoryCharged:
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            key[i] = WholeMinutes(std::int64_t{m_frames[i].end} - m_frames[i].start);
        break;
    case kHistoryCharges:
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            key[i] = Charge(m_projectOf[i]->pricePerHour, std::int64_t{m_frames[i].end} - m_frames[i].start).value();
        break;
    default:
        return;
    }
    // File order among equals: sort the file positions, not the current rows.
    std::iota(m_order.begin(), m_order.end(), 0u);
    std::stable_sort(
        m_order.begin(), m_order.end(), [&key](std::uint32_t a, std::uint32_t b) { return key[a] < key[b]; });
}

} // namespace quillory
