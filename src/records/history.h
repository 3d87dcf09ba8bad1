// The ledger of recorded work: every time frame of the data set with its
// project, as the history of charges lists it. The texts of a row are made
// when they are shown, and sorting works on keys computed once, so ten years
// of time frames open and sort as quickly as one.
//
// A filter narrows the rows shown: words that must each be found (case
// aside) in the project's full name, its customer's name or the date, a
// period the frame must start in, and the frames behind one row of a
// report. What a filter asks of a project or a day is worked out once per
// project and per day, so a million frames filter at every keystroke.
#pragma once

#include "data/money.h"
#include "data/projectindex.h"
#include "data/quickperiods.h"
#include "data/recordfile.h"
#include "data/records.h"
#include "records/projectpaths.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillory {

class Prompter;

enum HistoryColumn { kHistoryProject = 0, kHistoryDate, kHistoryTime, kHistoryCharged, kHistoryCharges };
inline constexpr int kHistoryColumns = 5;

struct HistoryFilter {
    std::string text;
    PeriodBounds period{INT32_MIN, INT32_MAX};
    std::optional<FrameScope> scope;

    bool operator==(const HistoryFilter&) const = default;
};

// Time and charges of some rows: whole minutes, and the rows' charges as
// each row shows it.
struct HistoryTotals {
    std::uint64_t frames = 0;
    std::int64_t minutes = 0;
    Cents charges;

    bool operator==(const HistoryTotals&) const = default;
};

// The frames a listing is about, when it is about some only: the others are
// dropped as soon as they are read, before anything is worked out for them.
struct FrameSelection {
    PeriodBounds period{INT32_MIN, INT32_MAX};
    std::optional<std::vector<std::int32_t>> projects; // ids; every project when none
};

class History {
public:
    // Reads every time frame, the projects and the customers once; nothing
    // (reported) when the time-frames file cannot be opened. The filter
    // stays as it was. With a selection, only its frames are kept (the
    // files are read and reported as they would be without one).
    bool load(const std::string& dataSetPath, Prompter& prompter, const FrameSelection* only = nullptr);

    // The rows shown, in the current sort order.
    std::size_t size() const { return m_order.size(); }
    // Every frame of the file, shown or not.
    std::size_t frameCount() const { return m_frames.size(); }
    const TimeFrameRecord& frame(std::size_t row) const { return m_frames[m_order[row]]; }
    const ProjectRecord& project(std::size_t row) const { return *m_projectOf[m_order[row]]; }
    std::string text(std::size_t row, int column) const;
    // The local date (as a date number) and minute of the day a row starts
    // at, from the per-day cache of the sorts.
    std::int32_t dateNumber(std::size_t row) const;
    int minuteOfDay(std::size_t row) const;

    // Ascending by a column; rows that compare equal keep their file order.
    void sortBy(int column);
    int sortColumn() const { return m_sortColumn; }
    // Keeps the sort column of a previous listing, as after a change.
    void setSortColumn(int column) { m_sortColumn = column; }

    // How dates and money are written.
    void setFormat(bool americanDates, std::string monetarySymbol);
    const std::string& symbol() const { return m_symbol; }

    void setFilter(HistoryFilter filter);
    const HistoryFilter& filter() const { return m_filter; }
    // The rows shown.
    const HistoryTotals& shownTotals() const { return m_shown; }
    // The rows in [first, last) of each range.
    HistoryTotals totalsOf(const std::vector<std::pair<std::size_t, std::size_t>>& ranges) const;

private:
    void computeLocalKeys() const;
    const std::vector<std::int64_t>& cents() const;
    void applyFilter();

    TimeFrames m_frames; // file order
    ProjectIndex m_projects;
    std::vector<const ProjectRecord*> m_projectOf; // per frame
    std::vector<std::uint32_t> m_slotOf; // per frame: the project's position, or past the end when missing
    std::vector<std::string> m_slotText; // per position: full name and customer, folded
    ProjectPaths m_paths;
    std::vector<std::uint32_t> m_sorted; // every frame in sort order
    std::vector<std::uint32_t> m_order; // row -> frame: the sorted frames the filter lets through
    int m_sortColumn = kHistoryProject;
    bool m_americanDates = true;
    std::string m_symbol;
    HistoryFilter m_filter;
    HistoryTotals m_shown;
    mutable std::vector<std::int32_t> m_dateNumbers; // per frame, made when first needed
    mutable std::vector<std::int32_t> m_minutesOfDay;
    mutable std::vector<std::uint32_t> m_daySlot; // per frame: its day in m_days
    mutable std::vector<std::int32_t> m_days; // the distinct dates, as date numbers
    mutable std::vector<std::int64_t> m_cents;
};

} // namespace quillory
