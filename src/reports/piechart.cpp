#include "reports/piechart.h"

#include "chart/palette.h"
#include "chart/viewpainter.h"
#include "data/calendar.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillory {

namespace {

constexpr std::size_t kMaxSliceName = 103;

struct Point {
    int x;
    int y;
};

// Whether two points lie on the same radial from the centre.
bool sameRadial(Point a, Point b, int cx, int cy)
{
    const std::int64_t ax = a.x - cx, ay = a.y - cy, bx = b.x - cx, by = b.y - cy;
    return ax * by - ay * bx == 0 && ax * bx + ay * by > 0;
}

} // namespace

Period PiePeriod(int entry, Timestamp now)
{
    switch (entry) {
    case kPieThisMonth:
        return {StartOfMonth(now), EndOfMonth(now)};
    case kPieThisWeek:
        return {StartOfWeek(now), EndOfWeek(now)};
    case kPieToday:
        return {StartOfDay(now), EndOfDay(now)};
    default:
        return {StartOfYear(now), EndOfYear(now)};
    }
}

std::pair<std::string, std::string> CustomPeriodStart(bool americanDates)
{
    return {"01/01/1996", americanDates ? "12/31/1996" : "31/12/1996"};
}

std::variant<Period, std::string> CustomPiePeriod(const std::string& from, const std::string& to, bool americanDates)
{
    const auto first = ParseTypedDate(from, americanDates);
    const auto last = ParseTypedDate(to, americanDates);
    if (!first || !last)
        return invalidDateMessage(americanDates);
    return Period{fromLocalTime(first->year, first->month, first->day, 0, 0, 0),
        fromLocalTime(last->year, last->month, last->day, 23, 59, 59)};
}

void CPieChart::Clear()
{
    m_slices.clear();
    m_sliceOf.clear();
    m_nColorsUsed = 0;
    m_total = 0;
    m_totalAmount = Cents{};
}

void CPieChart::Add(const std::string& name, std::int64_t minutes, Cents amount)
{
    // A damaged frame that ends before it starts adds nothing.
    minutes = std::max<std::int64_t>(0, minutes);
    const std::string key(cutAtCharBoundary(name, kMaxSliceName));
    const auto [it, added] = m_sliceOf.try_emplace(key, m_slices.size());
    if (added)
        m_slices.push_back({key, 0, PaletteColor(m_nColorsUsed++, key), Cents{}});
    m_slices[it->second].minutes += minutes;
    m_slices[it->second].amount += amount;
    m_total += minutes;
    m_totalAmount += amount;
}

bool CPieChart::LoadData(const std::string& dataSetPath, const Period& period, Prompter& prompter)
{
    Clear();
    const std::string tfr = siblingPath(dataSetPath, "tfr");
    const auto frames = readRecords<TimeFrameRecord>(tfr);
    if (!frames) {
        prompter.reportFileError(kCannotOpenTimeFramesForPie, tfr);
        return false;
    }
    std::vector<const TimeFrameRecord*> inPeriod;
    for (const TimeFrameRecord& f : *frames) {
        // Only the start counts: work that runs past the end counts whole.
        if (f.start >= period.from && f.start <= period.to)
            inPeriod.push_back(&f);
    }
    const ProjectIndex projects = loadProjectIndex(dataSetPath, inPeriod.size(), prompter);
    std::unordered_map<const ProjectRecord*, std::string> names;
    for (const TimeFrameRecord* f : inPeriod) {
        const ProjectRecord& project = projects.find(f->projectId);
        auto name = names.find(&project);
        if (name == names.end())
            name = names.emplace(&project, fieldText(project.name)).first;
        const std::int64_t minutes = WholeMinutes(std::int64_t{f->end} - f->start);
        Add(name->second, minutes, ChargeForMinutes(project.pricePerHour, minutes));
    }
    return true;
}

void CPieChart::Draw(DeviceContext& dc, int mouseX, int mouseY) const
{
    dc.fillRect({0, 0, std::max(1000, m_rect.right + 20), std::max(1000, m_rect.bottom + 20)}, kLightGrey);
    const int L = m_rect.left;
    const int T = m_rect.top;
    const int d = diameter();
    if (d <= 10)
        return;
    // A period without frames and one of frames under a minute look alike.
    if (m_total == 0) {
        dc.setFont(FontSpec{"Arial", 12, 700});
        dc.setTransparentText(true);
        dc.drawText(kNoMinutesMessage, m_rect, kTextCenter | kTextVCenter | kTextSingleLine);
        dc.setTransparentText(false);
        return;
    }
    const Rect bounds{L, T, L + d, T + d};
    const int cx = L + d / 2;
    const int cy = T + d / 2;
    double a = 0.0;
    Point p{L + d, cy};
    dc.setPen(PenSpec{});
    for (const PieSlice& slice : m_slices) {
        const double share = static_cast<double>(slice.minutes) / static_cast<double>(m_total);
        a += share * kFullTurn;
        const Point q{static_cast<int>(std::cos(a) * 1000) + cx, static_cast<int>(std::sin(a) * 1000) + cy};
        // A slice that ends on the radial it starts from is drawn as the
        // whole circle: right for one that takes (nearly) all the time, but
        // a slice of no or next to no time would cover all the others.
        const bool sliver = share < 0.5 && sameRadial(q, p, cx, cy);
        if (slice.minutes > 0 && !sliver) {
            dc.setBrush(slice.color);
            dc.pie(bounds, q.x, q.y, p.x, p.y);
        }
        p = q;
    }
    dc.setBrush(kWhite);
    if (const PieSlice* hit = HitTest(mouseX, mouseY))
        DrawTip(dc, mouseX, mouseY, TipText(*hit));
}

const PieSlice* CPieChart::HitTest(int x, int y) const
{
    const int d = diameter();
    if (!m_rect.contains(x, y) || m_slices.empty() || d <= 10 || m_total == 0)
        return nullptr;
    const double radius = d / 2.0;
    const double ex = x + 0.5 - (m_rect.left + radius);
    const double ey = y + 0.5 - (m_rect.top + radius);
    if (ex * ex + ey * ey > radius * radius)
        return nullptr;
    const int dx = x - (m_rect.left + d / 2);
    const int dy = y - (m_rect.top + d / 2);
    const double r = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    double angle = r > 0.0 ? std::acos(dx / r) : 0.0;
    if (dy < 0)
        angle = kFullTurn - angle;
    const PieSlice* hit = nullptr;
    double s = 0.0;
    for (const PieSlice& slice : m_slices) {
        const double e = s + static_cast<double>(slice.minutes) / static_cast<double>(m_total) * kFullTurn;
        if (angle >= s && angle <= e)
            hit = &slice;
        s = e;
    }
    return hit;
}

std::string CPieChart::TipText(const PieSlice& slice)
{
    return slice.name + " - " + FormatDuration(slice.minutes, false);
}

std::vector<int> LargestRemainderShares(const std::vector<std::int64_t>& parts, int whole)
{
    std::vector<int> shares(parts.size(), 0);
    if (whole <= 0)
        return shares;
    // Parts so large that a part times `whole` would overflow (no data set
    // the program reads comes near) are scaled down together first.
    const std::int64_t limit = INT64_MAX / whole;
    std::vector<std::int64_t> scaled;
    std::int64_t total = 0;
    std::int64_t divisor = 1;
    for (bool fits = false; !fits; divisor *= 2) {
        scaled.clear();
        total = 0;
        fits = true;
        for (std::int64_t part : parts) {
            scaled.push_back(std::max<std::int64_t>(0, part) / divisor);
            if (scaled.back() > limit - total) {
                fits = false;
                break;
            }
            total += scaled.back();
        }
    }
    if (total == 0)
        return shares;
    std::vector<std::pair<std::int64_t, std::size_t>> remainders;
    int given = 0;
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        shares[i] = static_cast<int>(scaled[i] * whole / total);
        given += shares[i];
        remainders.emplace_back(scaled[i] * whole % total, i);
    }
    std::stable_sort(
        remainders.begin(), remainders.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = 0; given < whole && k < remainders.size(); ++k, ++given)
        ++shares[remainders[k].second];
    return shares;
}

std::vector<PieLegendRow> PieLegend(const CPieChart& chart)
{
    std::vector<std::int64_t> minutes;
    for (const PieSlice& slice : chart.slices())
        minutes.push_back(slice.minutes);
    const std::vector<int> shares = LargestRemainderShares(minutes, 1000);
    std::vector<PieLegendRow> rows;
    for (std::size_t i = 0; i < chart.slices().size(); ++i) {
        const PieSlice& slice = chart.slices()[i];
        rows.push_back({slice.name, slice.color, slice.minutes, shares[i], slice.amount});
    }
    return rows;
}

std::string FormatShare(int tenths)
{
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

} // namespace quillory
