#include "reports/summary.h"

#include "data/calendar.h"
#include "data/localdays.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/collator.h"
#include "reports/invoice.h"

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>
#include <unordered_map>

namespace quillory {

namespace {

struct Figures {
    std::int64_t minutes = 0;
    Cents charges;
    std::uint64_t frames = 0;

    void add(const Figures& other)
    {
        minutes += other.minutes;
        charges += other.charges;
        frames += other.frames;
    }
};

// Rows that name their own project's time come first among its
// sub-projects; the placeholder groups come last.
enum Rank : int { kOwnRank = 0, kNamedRank = 1, kPlaceholderRank = 2 };

bool isPeriodKind(SummaryRowKind kind)
{
    return kind == SummaryRowKind::Month || kind == SummaryRowKind::Week || kind == SummaryRowKind::Day;
}

SummaryRowKind periodKind(SummaryGrouping grouping)
{
    switch (grouping) {
    case SummaryGrouping::Month:
        return SummaryRowKind::Month;
    case SummaryGrouping::Week:
        return SummaryRowKind::Week;
    default:
        return SummaryRowKind::Day;
    }
}

PeriodBounds periodAround(SummaryRowKind kind, Timestamp t)
{
    switch (kind) {
    case SummaryRowKind::Month:
        return {StartOfMonth(t), EndOfMonth(t)};
    case SummaryRowKind::Week:
        return {StartOfWeek(t), EndOfWeek(t)};
    default:
        return {StartOfDay(t), EndOfDay(t)};
    }
}

PeriodBounds intersect(const PeriodBounds& a, const PeriodBounds& b)
{
    return {std::max(a.from, b.from), std::min(a.to, b.to)};
}

// Builds the rows: each path of rows is found or made once, and every
// bucket of frames adds its figures to the rows on its path.
class RowBuilder {
public:
    explicit RowBuilder(std::vector<SummaryRow>& rows)
        : m_rows(rows)
    {
    }

    // The row under `parent` for `key`, made by `make` the first time.
    template <typename Make> int row(int parent, int kindKey, std::int64_t key, Make make)
    {
        const auto [it, added] = m_index.try_emplace({parent, kindKey, key}, static_cast<int>(m_rows.size()));
        if (added) {
            SummaryRow r = make();
            r.parent = parent;
            m_rows.push_back(std::move(r));
            m_own.emplace_back();
            m_ranks.push_back(m_rows.back().placeholder ? kPlaceholderRank : kNamedRank);
            if (parent != -1)
                m_rows[static_cast<std::size_t>(parent)].children.push_back(it->second);
        }
        return it->second;
    }

    // Adds a bucket to every row from the top down to `last`.
    void add(int last, const Figures& figures)
    {
        m_own[static_cast<std::size_t>(last)].add(figures);
        for (int r = last; r != -1; r = m_rows[static_cast<std::size_t>(r)].parent) {
            SummaryRow& row = m_rows[static_cast<std::size_t>(r)];
            row.minutes += figures.minutes;
            row.charges += figures.charges;
            row.frames += figures.frames;
        }
    }

    // A project row with sub-projects and time of its own gets a first
    // child for that time, so that its children add up to it.
    void addOwnRows()
    {
        const std::size_t made = m_rows.size();
        for (std::size_t r = 0; r < made; ++r) {
            const Figures own = m_own[r];
            if (m_rows[r].kind != SummaryRowKind::Project || m_rows[r].children.empty() || own.frames == 0)
                continue;
            SummaryRow row;
            row.kind = SummaryRowKind::Project;
            row.label = m_rows[r].label;
            row.parent = static_cast<int>(r);
            row.minutes = own.minutes;
            row.charges = own.charges;
            row.frames = own.frames;
            row.scope = m_rows[r].scope;
            row.scope.projects = FrameScope::Projects::Own;
            m_rows[r].children.push_back(static_cast<int>(m_rows.size()));
            m_rows.push_back(std::move(row));
            m_ranks.push_back(kOwnRank);
        }
    }

    std::vector<int> takeRanks() { return std::move(m_ranks); }

private:
    std::vector<SummaryRow>& m_rows;
    std::map<std::tuple<int, int, std::int64_t>, int> m_index;
    std::vector<Figures> m_own;
    std::vector<int> m_ranks;
};

} // namespace

std::string SummaryPeriodLabel(SummaryRowKind kind, Timestamp start, bool americanDates)
{
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July", "August",
        "September", "October", "November", "December"};
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const LocalTime lt = toLocalTime(start);
    switch (kind) {
    case SummaryRowKind::Month:
        return std::string(kMonths[lt.month - 1]) + " " + std::to_string(lt.year);
    case SummaryRowKind::Week:
        return "Week of " + FormatDate(start, americanDates);
    default:
        return std::string(kDays[lt.weekday]) + " " + FormatDate(start, americanDates);
    }
}

bool CSummary::Load(const std::string& dataSetPath, Prompter& prompter)
{
    m_rows.clear();
    m_roots.clear();
    m_totals = SummaryTotals{};
    const SettingsRecord settings = displaySettings(dataSetPath);
    m_americanDates = settings.americanDates != 0;
    m_symbol = fieldText(settings.monetarySymbol);
    const bool ok = [&] {
        const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
        if (!frames)
            return false;
        const PeriodBounds period = m_request.period;
        const auto inPeriod = [&](const TimeFrameRecord& f) { return f.start >= period.from && f.start <= period.to; };
        if (std::none_of(frames->begin(), frames->end(), inPeriod))
            return true;
        // Without its projects no frame can be told to be a customer's: a
        // summary of nothing would be a wrong summary, not an empty one.
        auto projects = loadProjects(siblingPath(dataSetPath, "prj"), prompter);
        const auto customers = loadCustomers(siblingPath(dataSetPath, "cus"), prompter);
        if (!projects || !customers)
            return false;
        const ProjectIndex index(std::move(*projects));
        const std::vector<ProjectRecord>& list = index.projects();
        const std::size_t deleted = list.size();

        // Every frame of the period adds to the bucket of its period (when
        // grouped by time) and its project.
        const bool byPeriod
            = m_request.grouping != SummaryGrouping::CustomerProject && m_request.grouping != SummaryGrouping::Project;
        const SummaryRowKind kind = periodKind(m_request.grouping);
        std::vector<PeriodBounds> periods;
        std::unordered_map<Timestamp, std::uint32_t> periodOf;
        LocalDays days;
        std::int64_t lastDay = -1;
        std::uint32_t lastPeriod = 0;
        std::unordered_map<std::uint64_t, Figures> buckets;
        const std::less<const ProjectRecord*> before;
        for (const TimeFrameRecord& f : *frames) {
            if (!inPeriod(f))
                continue;
            const ProjectRecord& project = index.find(f.projectId);
            const bool known = !before(&project, list.data()) && before(&project, list.data() + list.size());
            const std::size_t slot = known ? static_cast<std::size_t>(&project - list.data()) : deleted;
            if (byPeriod) {
                // Frames come mostly in order: the period is looked up once a day.
                const std::int64_t day = days.dayOf(f.start).midnight;
                if (day != lastDay) {
                    lastDay = day;
                    const PeriodBounds bounds = periodAround(kind, f.start);
                    const auto [it, added]
                        = periodOf.try_emplace(bounds.from, static_cast<std::uint32_t>(periods.size()));
                    if (added)
                        periods.push_back(bounds);
                    lastPeriod = it->second;
                }
            }
            Figures& bucket = buckets[(std::uint64_t{lastPeriod} << 32) | slot];
            const std::int64_t minutes = WholeMinutes(std::int64_t{f.end} - f.start);
            bucket.minutes += minutes;
            // Charged as an invoice line is, so the two agree to the cent.
            bucket.charges += ChargeForMinutes(project.pricePerHour, minutes);
            ++bucket.frames;
        }

        const ProjectPaths paths(list);
        const CustomerNames names(*customers);
        std::vector<std::pair<std::uint64_t, Figures>> ordered(buckets.begin(), buckets.end());
        std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        RowBuilder builder(m_rows);
        for (const auto& [key, figures] : ordered) {
            const auto p = static_cast<std::size_t>(key >> 32);
            const auto slot = static_cast<std::size_t>(key & 0xFFFFFFFFu);
            FrameScope scope;
            scope.period = period;
            int parent = -1;
            if (byPeriod) {
                scope.period = intersect(periods[p], period);
                parent = builder.row(parent, 0, static_cast<std::int64_t>(p), [&] {
                    SummaryRow r;
                    r.kind = kind;
                    r.label = SummaryPeriodLabel(kind, periods[p].from, m_americanDates);
                    r.scope = scope;
                    r.start = periods[p].from;
                    return r;
                });
            }
            if (m_request.grouping != SummaryGrouping::Project) {
                scope.byCustomer = true;
                scope.customerId = slot == deleted ? -1 : std::int32_t{list[slot].customerId};
                parent = builder.row(parent, 1, scope.customerId, [&] {
                    SummaryRow r;
                    r.kind = SummaryRowKind::Customer;
                    r.label = names(scope.customerId);
                    r.placeholder = scope.customerId == -1 || !names.knows(scope.customerId);
                    r.scope = scope;
                    return r;
                });
            }
            if (slot == deleted) {
                parent = builder.row(parent, 2, -1, [&] {
                    SummaryRow r;
                    r.kind = SummaryRowKind::Project;
                    r.label = kDeletedProjectName;
                    r.placeholder = true;
                    r.scope = scope;
                    r.scope.projects = FrameScope::Projects::Deleted;
                    return r;
                });
            } else {
                for (std::size_t i : paths.chain(slot)) {
                    parent = builder.row(parent, 2, static_cast<std::int64_t>(i), [&] {
                        SummaryRow r;
                        r.kind = SummaryRowKind::Project;
                        r.label = paths.name(i);
                        r.scope = scope;
                        r.scope.projects = FrameScope::Projects::Subtree;
                        r.scope.projectId = list[i].id;
                        return r;
                    });
                }
            }
            builder.add(parent, figures);
        }
        builder.addOwnRows();
        m_ranks = builder.takeRanks();
        return true;
    }();
    if (!ok)
        m_rows.clear();
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].parent == -1) {
            m_roots.push_back(static_cast<int>(r));
            m_totals.minutes += m_rows[r].minutes;
            m_totals.total += m_rows[r].charges;
        }
    }
    const InvoiceTotals withTax = TotalsWithTax(m_totals.total, settings);
    m_totals.salesTax = settings.applySalesTax != 0;
    m_totals.taxLabel = SalesTaxLabel(settings);
    m_totals.tax = withTax.tax;
    m_totals.totalWithTaxLabel = "TOTAL + " + fieldText(settings.salesTaxText);
    m_totals.totalWithTax = withTax.totalWithTax;
    SortBy(m_sortColumn, m_descending);
    return ok;
}

void CSummary::sortSiblings(std::vector<int>& siblings)
{
    const Collator& byName = collator();
    auto row = [this](int r) -> const SummaryRow& { return m_rows[static_cast<std::size_t>(r)]; };
    auto nameLess = [&](int a, int b) {
        const int ra = m_ranks[static_cast<std::size_t>(a)];
        const int rb = m_ranks[static_cast<std::size_t>(b)];
        if (ra != rb)
            return ra < rb;
        if (isPeriodKind(row(a).kind))
            return row(a).start < row(b).start;
        return byName.compare(row(a).label, row(b).label) < 0;
    };
    // Creation order first, so that equal names keep one order whatever
    // was sorted before.
    std::sort(siblings.begin(), siblings.end());
    std::stable_sort(siblings.begin(), siblings.end(), nameLess);
    if (m_sortColumn == kSummaryName) {
        if (m_descending)
            std::stable_sort(siblings.begin(), siblings.end(), [&](int a, int b) { return nameLess(b, a); });
        return;
    }
    auto value = [&](int r) { return m_sortColumn == kSummaryTime ? row(r).minutes : row(r).charges.value(); };
    std::stable_sort(siblings.begin(), siblings.end(),
        [&](int a, int b) { return m_descending ? value(a) > value(b) : value(a) < value(b); });
}

void CSummary::SortBy(int column, bool descending)
{
    m_sortColumn = column >= 0 && column < kSummaryColumns ? column : kSummaryName;
    m_descending = descending;
    sortSiblings(m_roots);
    for (SummaryRow& r : m_rows)
        sortSiblings(r.children);
}

std::vector<int> CSummary::RowsInOrder() const
{
    std::vector<int> order;
    order.reserve(m_rows.size());
    std::vector<int> stack(m_roots.rbegin(), m_roots.rend());
    while (!stack.empty()) {
        const int r = stack.back();
        stack.pop_back();
        order.push_back(r);
        const auto& children = m_rows[static_cast<std::size_t>(r)].children;
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return order;
}

int CSummary::depthOf(int row) const
{
    int depth = 0;
    for (int p = m_rows[static_cast<std::size_t>(row)].parent; p != -1; p = m_rows[static_cast<std::size_t>(p)].parent)
        ++depth;
    return depth;
}

std::string CSummary::PathOf(int row) const
{
    std::string path = m_rows[static_cast<std::size_t>(row)].label;
    for (int p = m_rows[static_cast<std::size_t>(row)].parent; p != -1; p = m_rows[static_cast<std::size_t>(p)].parent)
        path = m_rows[static_cast<std::size_t>(p)].label + kProjectPathSeparator + path;
    return path;
}

std::string CSummary::Title() const
{
    static const char* const kTitles[kSummaryGroupings] = {"Summary by customer and project", "Summary by project",
        "Summary by month", "Summary by week", "Summary by day"};
    return kTitles[static_cast<int>(m_request.grouping)];
}

std::string CSummary::NameHeading() const
{
    static const char* const kHeadings[kSummaryGroupings] = {"Customer / Project", "Project",
        "Month / Customer / Project", "Week / Customer / Project", "Day / Customer / Project"};
    return kHeadings[static_cast<int>(m_request.grouping)];
}

std::string CSummary::PeriodText() const
{
    return FormatDate(m_request.period.from, m_americanDates) + " - "
        + FormatDate(m_request.period.to, m_americanDates);
}

std::string CSummary::TimeText(std::int64_t minutes) const
{
    return FormatDuration(minutes);
}

std::string CSummary::MoneyText(Cents amount) const
{
    return FormatMoney(m_symbol, amount);
}

} // namespace quillory
