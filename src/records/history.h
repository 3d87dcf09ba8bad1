// The ledger of recorded work: every time frame of the data set with its
// project, as the history of charges lists it. The texts of a row are made
// when they are shown, and sorting works on keys computed once, so ten years
// of time frames open and sort as quickly as one.
#pragma once

#include "data/projectindex.h"
#include "data/records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillory {

class Prompter;

enum HistoryColumn { kHistoryProject = 0, kHistoryDate, kHistoryTime, kHistoryCharged, kHistoryCharges };
inline constexpr int kHistoryColumns = 5;

class History {
public:
    // Reads every time frame and the projects once; nothing (reported) when
    // the time-frames file cannot be opened.
    bool load(const std::string& dataSetPath, Prompter& prompter);

    std::size_t size() const { return m_order.size(); }
    // Rows are in the current sort order.
    const TimeFrameRecord& frame(std::size_t row) const { return m_frames[m_order[row]]; }
    const ProjectRecord& project(std::size_t row) const { return *m_projectOf[m_order[row]]; }
    std::string text(std::size_t row, int column) const;

    // Ascending by a column; rows that compare equal keep their file order.
    void sortBy(int column);
    int sortColumn() const { return m_sortColumn; }
    // Keeps the sort column of a previous listing, as after a change.
    void setSortColumn(int column) { m_sortColumn = column; }

    // How dates and money are written.
    void setFormat(bool americanDates, std::string monetarySymbol);

private:
    void computeLocalKeys() const;

    std::vector<TimeFrameRecord> m_frames; // file order
    ProjectIndex m_projects;
    std::vector<const ProjectRecord*> m_projectOf; // per frame
    std::vector<std::uint32_t> m_order; // row -> frame
    int m_sortColumn = kHistoryProject;
    bool m_americanDates = true;
    std::string m_symbol;
    mutable std::vector<std::int32_t> m_dateNumbers; // per frame, made when first needed
    mutable std::vector<std::int32_t> m_minutesOfDay;
};

} // namespace quillory
