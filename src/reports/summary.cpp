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
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace quillory {

namespace {

// Rows of a project's own time come first among its sub-projects; the
// placeholder groups come last.
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

} // namespace

void CSummary::Figures::add(const Figures& other)
{
    minutes += other.minutes;
    charges += other.charges;
    frames += other.frames;
}

// Finds or makes each row on a bucket's path once, and adds the bucket's
// figures to every row on it below the row the building started from.
class CSummary::Builder {
public:
    Builder(CSummary& summary, int top)
        : m_s(summary)
        , m_top(top)
        , m_first(summary.m_rows.size())
    {
    }

    int row(int parent, SummaryRowKind kind, std::int32_t key)
    {
        const std::uint64_t id = (std::uint64_t{static_cast<std::uint32_t>(parent + 1)} << 35)
            | (std::uint64_t{static_cast<std::uint8_t>(kind)} << 32) | static_cast<std::uint32_t>(key);
        const auto [it, added] = m_index.try_emplace(id, static_cast<int>(m_s.m_rows.size()));
        if (added) {
            SummaryRow r;
            r.kind = kind;
            r.key = key;
            r.parent = parent;
            m_s.m_rows.push_back(std::move(r));
            m_s.m_pending.push_back({});
            m_own.emplace_back();
            if (parent != -1)
                m_s.m_rows[static_cast<std::size_t>(parent)].children.push_back(it->second);
            else
                m_s.m_roots.push_back(it->second);
        }
        return it->second;
    }

    void add(int last, const Figures& figures)
    {
        m_own[static_cast<std::size_t>(last) - m_first].add(figures);
        for (int r = last; r != m_top; r = m_s.m_rows[static_cast<std::size_t>(r)].parent) {
            SummaryRow& row = m_s.m_rows[static_cast<std::size_t>(r)];
            row.minutes += figures.minutes;
            row.charges += figures.charges;
            row.frames += figures.frames;
        }
    }

    // A project row with sub-projects and time of its own gets a first
    // child for that time, so that its children add up to it.
    void addOwnRows()
    {
        const std::size_t made = m_s.m_rows.size();
        for (std::size_t r = m_first; r < made; ++r) {
            const Figures own = m_own[r - m_first];
            const SummaryRow& row = m_s.m_rows[r];
            if (row.kind != SummaryRowKind::Project || row.children.empty() || own.frames == 0)
                continue;
            SummaryRow ownRow;
            ownRow.kind = SummaryRowKind::Project;
            ownRow.own = true;
            ownRow.key = row.key;
            ownRow.parent = static_cast<int>(r);
            ownRow.minutes = own.minutes;
            ownRow.charges = own.charges;
            ownRow.frames = own.frames;
            m_s.m_rows[r].children.push_back(static_cast<int>(m_s.m_rows.size()));
            m_s.m_rows.push_back(std::move(ownRow));
            m_s.m_pending.push_back({});
        }
    }

private:
    CSummary& m_s;
    int m_top;
    std::size_t m_first;
    std::unordered_map<std::uint64_t, int> m_index;
    std::vector<Figures> m_own; // per row made here
};

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
    const SummaryRequest request = m_request;
    const int sortColumn = m_sortColumn;
    const bool descending = m_descending;
    *this = CSummary(request);
    m_sortColumn = sortColumn;
    m_descending = descending;
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
        const auto deleted = static_cast<std::uint32_t>(list.size());
        m_customers = CustomerNames(*customers);
        for (const ProjectRecord& p : list) {
            m_projectIds.push_back(p.id);
            m_projectCustomers.push_back(m_customers.billedAs(p.customerId));
        }
        m_projectIds.push_back(-1);
        m_projectCustomers.push_back(-1); // a deleted project has no customer
        m_paths = ProjectPaths(list);

        // Each frame of the period: its project and, grouped by time, its
        // month, week or day. Frames come mostly in order, so the period is
        // looked up once a day.
        const bool byPeriod
            = m_request.grouping != SummaryGrouping::CustomerProject && m_request.grouping != SummaryGrouping::Project;
        const SummaryRowKind kind = periodKind(m_request.grouping);
        struct Counted {
            std::uint32_t frame;
            std::uint32_t period;
            std::uint32_t slot;
        };
        std::vector<Counted> counted;
        counted.reserve(frames->size());
        std::unordered_map<Timestamp, std::uint32_t> periodOf;
        LocalDays days;
        std::int64_t lastDay = -1;
        std::uint32_t lastPeriod = 0;
        const std::less<const ProjectRecord*> before;
        for (std::size_t i = 0; i < frames->size(); ++i) {
            const TimeFrameRecord& f = (*frames)[i];
            if (!inPeriod(f))
                continue;
            const ProjectRecord* project = &index.find(f.projectId);
            const bool known = !before(project, list.data()) && before(project, list.data() + list.size());
            if (byPeriod) {
                const std::int64_t day = days.dayOf(f.start).midnight;
                if (day != lastDay) {
                    lastDay = day;
                    const PeriodBounds bounds = periodAround(kind, f.start);
                    const auto [it, added]
                        = periodOf.try_emplace(bounds.from, static_cast<std::uint32_t>(m_periods.size()));
                    if (added)
                        m_periods.push_back(bounds);
                    lastPeriod = it->second;
                }
            }
            counted.push_back({static_cast<std::uint32_t>(i), lastPeriod,
                known ? static_cast<std::uint32_t>(project - list.data()) : deleted});
        }
        if (m_periods.empty())
            m_periods.push_back(period);

        // Period by period, the frames of each project add up in a table of
        // all projects: no frame is hashed or sorted.
        std::vector<std::size_t> start(m_periods.size() + 1, 0);
        for (const Counted& c : counted)
            ++start[c.period + 1];
        std::partial_sum(start.begin(), start.end(), start.begin());
        std::vector<std::uint32_t> order(counted.size());
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (std::uint32_t i = 0; i < counted.size(); ++i)
            order[next[counted[i].period]++] = i;
        std::vector<Figures> bySlot(list.size() + 1);
        std::vector<std::uint32_t> touched;
        m_buckets.reserve(counted.size());
        for (std::uint32_t p = 0; p < m_periods.size(); ++p) {
            for (std::size_t k = start[p]; k < start[p + 1]; ++k) {
                const Counted& c = counted[order[k]];
                const TimeFrameRecord& f = (*frames)[c.frame];
                const std::int64_t minutes = WholeMinutes(std::int64_t{f.end} - f.start);
                const double price = index.find(f.projectId).pricePerHour;
                Figures& figures = bySlot[c.slot];
                if (figures.frames == 0)
                    touched.push_back(c.slot);
                figures.minutes += minutes;
                // Charged as an invoice line is, so the two agree to the cent.
                figures.charges += ChargeForMinutes(price, minutes);
                ++figures.frames;
            }
            // The projects of a busy period are found faster by a walk over
            // them all than by sorting.
            if (touched.size() * 8 > bySlot.size()) {
                touched.clear();
                for (std::uint32_t slot = 0; slot < bySlot.size(); ++slot) {
                    if (bySlot[slot].frames != 0)
                        touched.push_back(slot);
                }
            } else {
                std::sort(touched.begin(), touched.end());
            }
            for (std::uint32_t slot : touched) {
                m_buckets.push_back({p, slot, bySlot[slot]});
                bySlot[slot] = Figures{};
            }
            touched.clear();
        }
        m_buckets.shrink_to_fit();

        if (!byPeriod) {
            build(-1, 0, m_buckets.size());
            return true;
        }
        // A row for each month, week or day; what lies under it is made now
        // or when it is opened.
        for (std::size_t first = 0; first < m_buckets.size();) {
            std::size_t last = first;
            SummaryRow row;
            row.kind = kind;
            row.key = static_cast<std::int32_t>(m_buckets[first].period);
            for (; last < m_buckets.size() && m_buckets[last].period == m_buckets[first].period; ++last) {
                row.minutes += m_buckets[last].figures.minutes;
                row.charges += m_buckets[last].figures.charges;
                row.frames += m_buckets[last].figures.frames;
            }
            m_roots.push_back(static_cast<int>(m_rows.size()));
            m_rows.push_back(std::move(row));
            m_pending.push_back({first, last});
            first = last;
        }
        if (m_request.everyRow)
            ExpandAll();
        return true;
    }();
    if (!ok) {
        m_rows.clear();
        m_roots.clear();
        m_pending.clear();
    }
    LoadSettings(dataSetPath);
    SortBy(m_sortColumn, m_descending);
    return ok;
}

void CSummary::LoadSettings(const std::string& dataSetPath)
{
    const SettingsRecord settings = displaySettings(dataSetPath);
    m_americanDates = settings.americanDates != 0;
    m_symbol = fieldText(settings.monetarySymbol);
    m_totals = SummaryTotals{};
    for (int r : m_roots) {
        m_totals.minutes += row(r).minutes;
        m_totals.total += row(r).charges;
    }
    const InvoiceTotals withTax = TotalsWithTax(m_totals.total, settings);
    m_totals.salesTax = settings.applySalesTax != 0;
    m_totals.taxLabel = SalesTaxLabel(settings);
    m_totals.tax = withTax.tax;
    m_totals.totalWithTaxLabel = "TOTAL + " + fieldText(settings.salesTaxText);
    m_totals.totalWithTax = withTax.totalWithTax;
}

std::int32_t CSummary::customerOfSlot(std::uint32_t slot) const
{
    return m_projectCustomers[slot];
}

void CSummary::build(int parent, std::size_t first, std::size_t last)
{
    const auto deleted = static_cast<std::uint32_t>(m_projectIds.size() - 1);
    Builder builder(*this, parent);
    for (std::size_t b = first; b < last; ++b) {
        const std::uint32_t slot = m_buckets[b].slot;
        int at = parent;
        if (m_request.grouping != SummaryGrouping::Project)
            at = builder.row(at, SummaryRowKind::Customer, customerOfSlot(slot));
        if (slot == deleted) {
            at = builder.row(at, SummaryRowKind::Project, -1);
        } else {
            for (std::size_t i : m_paths.chain(slot))
                at = builder.row(at, SummaryRowKind::Project, static_cast<std::int32_t>(i));
        }
        builder.add(at, m_buckets[b].figures);
    }
    builder.addOwnRows();
}

bool CSummary::CanExpand(int r) const
{
    const Pending& p = m_pending[static_cast<std::size_t>(r)];
    return p.last > p.first;
}

int CSummary::PendingChildren(int r) const
{
    const Pending& p = m_pending[static_cast<std::size_t>(r)];
    std::unordered_set<std::int32_t> customers;
    for (std::size_t b = p.first; b < p.last; ++b)
        customers.insert(customerOfSlot(m_buckets[b].slot));
    return static_cast<int>(customers.size());
}

void CSummary::Expand(int r)
{
    if (!CanExpand(r))
        return;
    const Pending pending = m_pending[static_cast<std::size_t>(r)];
    m_pending[static_cast<std::size_t>(r)] = {};
    build(r, pending.first, pending.last);
    sortBelow(r);
}

void CSummary::ExpandAll()
{
    // Rows made on the way are never periods: one pass does.
    const std::size_t rows = m_rows.size();
    for (std::size_t r = 0; r < rows; ++r)
        Expand(static_cast<int>(r));
}

int CSummary::rank(int r) const
{
    if (row(r).own)
        return kOwnRank;
    return IsPlaceholder(r) ? kPlaceholderRank : kNamedRank;
}

void CSummary::sortSiblings(std::vector<int>& siblings) const
{
    if (siblings.size() < 2)
        return;
    // Creation order first, so that equal names keep one order whatever
    // was sorted before; then by name, each label made once.
    std::sort(siblings.begin(), siblings.end());
    std::vector<std::int64_t> nameKey(siblings.size());
    if (isPeriodKind(row(siblings.front()).kind)) {
        for (std::size_t i = 0; i < siblings.size(); ++i)
            nameKey[i] = *PeriodStart(siblings[i]);
    } else {
        std::vector<std::string> labels;
        for (int r : siblings)
            labels.push_back(Label(r));
        const std::vector<std::size_t> byName = collator().order(labels);
        for (std::size_t k = 0; k < byName.size(); ++k)
            nameKey[byName[k]] = static_cast<std::int64_t>(k);
    }
    std::vector<std::size_t> at(siblings.size());
    std::iota(at.begin(), at.end(), std::size_t{0});
    auto nameLess = [&](std::size_t a, std::size_t b) {
        const int ra = rank(siblings[a]);
        const int rb = rank(siblings[b]);
        return ra != rb ? ra < rb : nameKey[a] < nameKey[b];
    };
    std::stable_sort(at.begin(), at.end(), nameLess);
    if (m_sortColumn == kSummaryName && m_descending)
        std::stable_sort(at.begin(), at.end(), [&](std::size_t a, std::size_t b) { return nameLess(b, a); });
    if (m_sortColumn != kSummaryName) {
        auto value = [&](std::size_t i) {
            const SummaryRow& r = row(siblings[i]);
            return m_sortColumn == kSummaryTime ? r.minutes : r.charges.value();
        };
        std::stable_sort(at.begin(), at.end(),
            [&](std::size_t a, std::size_t b) { return m_descending ? value(a) > value(b) : value(a) < value(b); });
    }
    std::vector<int> sorted;
    sorted.reserve(siblings.size());
    for (std::size_t i : at)
        sorted.push_back(siblings[i]);
    siblings = std::move(sorted);
}

void CSummary::sortBelow(int r)
{
    std::vector<int> stack{r};
    while (!stack.empty()) {
        SummaryRow& below = m_rows[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        sortSiblings(below.children);
        stack.insert(stack.end(), below.children.begin(), below.children.end());
    }
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
        const auto& children = row(r).children;
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return order;
}

int CSummary::depthOf(int r) const
{
    int depth = 0;
    for (int p = row(r).parent; p != -1; p = row(p).parent)
        ++depth;
    return depth;
}

std::string CSummary::Label(int r) const
{
    const SummaryRow& at = row(r);
    switch (at.kind) {
    case SummaryRowKind::Customer:
        return m_customers(at.key);
    case SummaryRowKind::Project:
        return at.key == -1 ? std::string(kDeletedProjectName) : m_paths.name(static_cast<std::size_t>(at.key));
    default:
        return SummaryPeriodLabel(at.kind, m_periods[static_cast<std::size_t>(at.key)].from, m_americanDates);
    }
}

bool CSummary::IsPlaceholder(int r) const
{
    const SummaryRow& at = row(r);
    switch (at.kind) {
    case SummaryRowKind::Customer:
        return at.key == -1 || !m_customers.knows(at.key);
    case SummaryRowKind::Project:
        return at.key == -1;
    default:
        return false;
    }
}

std::string CSummary::PathOf(int r) const
{
    std::string path = Label(r);
    for (int p = row(r).parent; p != -1; p = row(p).parent)
        path = Label(p) + kProjectPathSeparator + path;
    return path;
}

FrameScope CSummary::ScopeOf(int r) const
{
    FrameScope scope;
    scope.period = m_request.period;
    const SummaryRow& self = row(r);
    if (self.kind == SummaryRowKind::Project) {
        scope.projects = self.key == -1 ? FrameScope::Projects::Deleted
            : self.own                  ? FrameScope::Projects::Own
                                        : FrameScope::Projects::Subtree;
        scope.projectId = m_projectIds[self.key == -1 ? m_projectIds.size() - 1 : static_cast<std::size_t>(self.key)];
    }
    for (int p = r; p != -1; p = row(p).parent) {
        const SummaryRow& above = row(p);
        if (above.kind == SummaryRowKind::Customer) {
            scope.byCustomer = true;
            scope.customerId = above.key;
        } else if (isPeriodKind(above.kind)) {
            const PeriodBounds& whole = m_periods[static_cast<std::size_t>(above.key)];
            scope.period = {std::max(whole.from, m_request.period.from), std::min(whole.to, m_request.period.to)};
        }
    }
    return scope;
}

std::optional<Timestamp> CSummary::PeriodStart(int r) const
{
    for (int p = r; p != -1; p = row(p).parent) {
        if (isPeriodKind(row(p).kind))
            return m_periods[static_cast<std::size_t>(row(p).key)].from;
    }
    return std::nullopt;
}

std::string CSummary::CustomerOf(int r) const
{
    for (int p = r; p != -1; p = row(p).parent) {
        if (row(p).kind == SummaryRowKind::Customer)
            return Label(p);
    }
    return {};
}

std::string CSummary::ProjectPathOf(int r) const
{
    std::string path;
    for (int p = r; p != -1; p = row(p).parent) {
        // A row of a project's own time repeats its parent's name.
        if (row(p).kind == SummaryRowKind::Project && !row(p).own)
            path = path.empty() ? Label(p) : Label(p) + kProjectPathSeparator + path;
    }
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
