#include "records/history.h"

#include "data/calendar.h"
#include "data/localdays.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/stableorder.h"
#include "data/text.h"
#include "platform/collator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>
#include <unordered_map>

namespace quillory {

namespace {

// A filter's words, folded; as many as a 64-bit mask can track.
std::vector<std::string> filterWords(const std::string& text)
{
    std::istringstream in(foldedText(text));
    std::vector<std::string> words;
    for (std::string word; in >> word && words.size() < 64;)
        words.push_back(word);
    return words;
}

// The bits of the words found in `text`.
std::uint64_t wordsIn(const std::string& text, const std::vector<std::string>& words)
{
    std::uint64_t found = 0;
    for (std::size_t w = 0; w < words.size(); ++w) {
        if (text.find(words[w]) != std::string::npos)
            found |= std::uint64_t{1} << w;
    }
    return found;
}

// How a day may be typed to find it: as the rows show it, with the full
// year, and as ISO 8601.
std::string dateTexts(std::int32_t dateNumber, bool americanDates)
{
    const std::string full = FormatDateNumber(dateNumber, americanDates);
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", dateNumber / 10000, dateNumber / 100 % 100, dateNumber % 100);
    return full + "\n" + full.substr(0, 6) + full.substr(8) + "\n" + iso;
}

} // namespace

bool History::load(const std::string& dataSetPath, Prompter& prompter, const FrameSelection* only)
{
    m_frames.clear();
    m_projectOf.clear();
    m_slotOf.clear();
    m_slotText.clear();
    m_sorted.clear();
    m_order.clear();
    m_dateNumbers.clear();
    m_minutesOfDay.clear();
    m_daySlot.clear();
    m_days.clear();
    m_cents.clear();
    m_shown = HistoryTotals{};
    auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return false;
    m_frames = std::move(*frames);
    const bool anyFrame = !m_frames.empty();
    if (only) {
        const auto left = [only](const TimeFrameRecord& f) {
            return f.start < only->period.from || f.start > only->period.to
                || (only->projects
                    && std::find(only->projects->begin(), only->projects->end(), std::int32_t{f.projectId})
                        == only->projects->end());
        };
        m_frames.erase(std::remove_if(m_frames.begin(), m_frames.end(), left), m_frames.end());
    }
    std::vector<ProjectRecord> projects;
    std::vector<CustomerRecord> customers;
    if (anyFrame) {
        if (auto all = loadProjects(siblingPath(dataSetPath, "prj"), prompter))
            projects = std::move(*all);
        // Customer names only help to find rows: a customers file that
        // cannot be read is the customers dialog's to report.
        if (auto all = readRecords<CustomerRecord>(siblingPath(dataSetPath, "cus"))) {
            customers = std::move(*all);
            // Filtered by customer as the summary and the invoices count them.
            const CustomerNames known(customers);
            for (ProjectRecord& p : projects)
                p.customerId = known.billedAs(p.customerId);
        }
    }
    m_projects = ProjectIndex(std::move(projects));
    const std::vector<ProjectRecord>& list = m_projects.projects();
    m_paths = ProjectPaths(list);
    const CustomerNames customerNames(customers);
    for (std::size_t i = 0; i <= list.size(); ++i) {
        const bool missing = i == list.size();
        const std::string name = missing ? kDeletedProjectName : m_paths.fullName(i);
        m_slotText.push_back(foldedText(name + "\n" + customerNames(missing ? -1 : std::int32_t{list[i].customerId})));
    }
    m_projectOf.reserve(m_frames.size());
    m_slotOf.reserve(m_frames.size());
    const std::less<const ProjectRecord*> before;
    for (const TimeFrameRecord& f : m_frames) {
        const ProjectRecord* p = &m_projects.find(f.projectId);
        m_projectOf.push_back(p);
        const bool known = !before(p, list.data()) && before(p, list.data() + list.size());
        m_slotOf.push_back(static_cast<std::uint32_t>(known ? p - list.data() : list.size()));
    }
    m_sorted.resize(m_frames.size());
    std::iota(m_sorted.begin(), m_sorted.end(), 0u);
    applyFilter();
    return true;
}

void History::setFormat(bool americanDates, std::string monetarySymbol)
{
    const bool datesChanged = americanDates != m_americanDates;
    m_americanDates = americanDates;
    m_symbol = std::move(monetarySymbol);
    // The words may find other days in the other date order.
    if (datesChanged && !m_filter.text.empty())
        applyFilter();
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

std::int32_t History::dateNumber(std::size_t row) const
{
    computeLocalKeys();
    return m_dateNumbers[m_order[row]];
}

int History::minuteOfDay(std::size_t row) const
{
    computeLocalKeys();
    return m_minutesOfDay[m_order[row]];
}

void History::computeLocalKeys() const
{
    if (m_dateNumbers.size() == m_frames.size())
        return;
    m_dateNumbers.resize(m_frames.size());
    m_minutesOfDay.resize(m_frames.size());
    m_daySlot.resize(m_frames.size());
    m_days.clear();
    LocalDays days;
    std::unordered_map<std::int32_t, std::uint32_t> slotOfDay;
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        const Timestamp start = m_frames[i].start;
        const LocalDays::Day& day = days.dayOf(start);
        const std::int32_t date = day.year * 10000 + day.month * 100 + day.day;
        m_dateNumbers[i] = date;
        m_minutesOfDay[i] = static_cast<std::int32_t>((std::int64_t{start} - day.midnight) / 60);
        // Frames come mostly in order: most share the day of the one before.
        if (i > 0 && m_dateNumbers[i - 1] == date) {
            m_daySlot[i] = m_daySlot[i - 1];
            continue;
        }
        const auto [it, added] = slotOfDay.try_emplace(date, static_cast<std::uint32_t>(m_days.size()));
        if (added)
            m_days.push_back(date);
        m_daySlot[i] = it->second;
    }
}

const std::vector<std::int64_t>& History::cents() const
{
    if (m_cents.size() != m_frames.size()) {
        m_cents.resize(m_frames.size());
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            m_cents[i]
                = Charge(m_projectOf[i]->pricePerHour, std::int64_t{m_frames[i].end} - m_frames[i].start).value();
    }
    return m_cents;
}

void History::sortBy(int column)
{
    m_sortColumn = column;
    // Every column sorts on one integer per frame, made once for the sort.
    std::vector<std::int64_t> key(m_frames.size());
    switch (column) {
    case kHistoryProject: {
        // Project names are few: rank them once, then sort by rank. Every
        // missing project is shown by the one name, so they share a slot.
        const std::vector<ProjectRecord>& list = m_projects.projects();
        std::vector<char> used(list.size() + 1, 0);
        for (std::uint32_t slot : m_slotOf)
            used[slot] = 1;
        std::vector<std::uint32_t> slots;
        std::vector<std::string> names;
        for (std::uint32_t slot = 0; slot < used.size(); ++slot) {
            if (!used[slot])
                continue;
            slots.push_back(slot);
            names.push_back(slot < list.size() ? fieldText(list[slot].name) : fieldText(deletedProjectRecord(-1).name));
        }
        const Collator& byName = collator();
        const std::vector<std::size_t> sorted = byName.order(names);
        std::vector<std::int64_t> rank(used.size(), 0);
        std::int64_t r = 0;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (i > 0 && byName.compare(names[sorted[i - 1]], names[sorted[i]]) != 0)
                ++r;
            rank[slots[sorted[i]]] = r;
        }
        for (std::size_t i = 0; i < m_frames.size(); ++i)
            key[i] = rank[m_slotOf[i]];
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
        key = cents();
        break;
    default:
        return;
    }
    // File order among equals: sort the file positions, not the current rows.
    m_sorted = stableOrder(key);
    applyFilter();
}

void History::setFilter(HistoryFilter filter)
{
    m_filter = std::move(filter);
    applyFilter();
}

void History::applyFilter()
{
    m_order.clear();
    m_shown = HistoryTotals{};
    const std::vector<std::string> words = filterWords(m_filter.text);
    PeriodBounds period = m_filter.period;
    std::vector<bool> inScope;
    if (m_filter.scope) {
        period = {std::max(period.from, m_filter.scope->period.from), std::min(period.to, m_filter.scope->period.to)};
        inScope = ProjectsInScope(*m_filter.scope, m_projects.projects(), m_paths);
    }
    // What the words find in each project and each day, asked once each.
    const std::uint64_t all = words.empty() ? 0 : ~std::uint64_t{0} >> (64 - words.size());
    std::vector<std::uint64_t> slotWords;
    std::vector<std::uint64_t> dayWords;
    if (!words.empty()) {
        computeLocalKeys();
        for (const std::string& text : m_slotText)
            slotWords.push_back(wordsIn(text, words));
        for (std::int32_t date : m_days)
            dayWords.push_back(wordsIn(dateTexts(date, m_americanDates), words));
    }
    // The frames are asked in file order, where their keys lie side by
    // side; the sort order is walked afterwards over one byte per frame.
    const std::vector<std::int64_t>& charges = cents();
    std::vector<std::uint8_t> shown(m_frames.size(), 0);
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        const TimeFrameRecord& f = m_frames[i];
        if (f.start < period.from || f.start > period.to)
            continue;
        const std::uint32_t slot = m_slotOf[i];
        if (!inScope.empty() && !inScope[slot])
            continue;
        if (all != 0 && (slotWords[slot] | dayWords[m_daySlot[i]]) != all)
            continue;
        shown[i] = 1;
        ++m_shown.frames;
        m_shown.minutes += WholeMinutes(std::int64_t{f.end} - f.start);
        m_shown.charges += Cents{charges[i]};
    }
    m_order.reserve(m_shown.frames);
    for (std::uint32_t i : m_sorted) {
        if (shown[i])
            m_order.push_back(i);
    }
}

HistoryTotals History::totalsOf(const std::vector<std::pair<std::size_t, std::size_t>>& ranges) const
{
    HistoryTotals totals;
    const std::vector<std::int64_t>& charges = cents();
    for (const auto& [first, last] : ranges) {
        for (std::size_t row = first; row < last && row < m_order.size(); ++row) {
            const TimeFrameRecord& f = m_frames[m_order[row]];
            ++totals.frames;
            totals.minutes += WholeMinutes(std::int64_t{f.end} - f.start);
            totals.charges += Cents{charges[m_order[row]]};
        }
    }
    return totals;
}

} // namespace quillory
