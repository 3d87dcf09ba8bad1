// The summary on paper: the title and the period at the top of every page,
// the column titles, the rows indented by their level (the top rows in
// bold) with their time and charges, and after the last row the total and,
// with sales tax, the tax and the total with it. The footer names the
// printout with the moment it is printed, and the page.
#pragma once

#include "reports/printout.h"

namespace quillory {

class CSummary;
class Clock;

inline constexpr Rect kSummaryBodyRect{10, 70, 580, 770}; // 46 lines

class SummaryPrintout final : public Printout {
public:
    SummaryPrintout(const CSummary& summary, const Clock& clock)
        : m_summary(summary)
        , m_clock(clock)
    {
    }
    int PageCount() const override;
    void DrawPage(DeviceContext& dc, int page) override;

private:
    const CSummary& m_summary;
    const Clock& m_clock;
};

} // namespace quillory
