// qly totals and qly week: the totals panel and the week chart, in text.
#include "cli/commands.h"

#include "chart/ganttchart.h"
#include "chart/totals.h"
#include "cli/qtbridge.h"
#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "platform/clock.h"

#include <algorithm>
#include <numeric>

namespace quillory::cli {

namespace {

// Noon of the typed day (a moment no clock change moves to another day),
// or now.
std::optional<Timestamp> momentArg(const Context& ctx, const Args& args, const char* option, const DataSet& set)
{
    const auto text = args.value(option);
    if (!text)
        return ctx.clock.now();
    const auto date = parseDate(*text, set.american());
    if (!date) {
        ctx.fail(kExitUsage, std::string(option) + ": " + invalidDate(set.american()));
        return std::nullopt;
    }
    return fromLocalTime(date->year, date->month, date->day, 12, 0, 0);
}

} // namespace

int runTotals(Context& ctx)
{
    const Args args(ctx.args, {"--at"}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly totals FILE [--at DATE]" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    const auto at = momentArg(ctx, args, "--at", *set);
    if (!at)
        return kExitUsage;
    const Totals totals = ComputeTotals(set->path, *at, ctx.prompter);
    if (ctx.prompter.fileFailed())
        return kExitFile;
    Table table({"TOTAL CHARGES FOR...", "TIME", "CHARGES"}, {1, 2});
    for (int p = kToday; p <= kThisYear; ++p) {
        table.add({totals.m_totalLabels[p], FormatDuration(totals.m_totalMinutes[p]),
            FormatMoney(set->symbol(), totals.m_totalAmounts[p])});
    }
    table.print(ctx.out);
    return kExitOk;
}

int runWeek(Context& ctx)
{
    const Args args(ctx.args, {"--date"}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage, args.error().empty() ? "usage: qly week FILE [--date DATE]" : args.error());
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    const auto at = momentArg(ctx, args, "--date", *set);
    if (!at)
        return kExitUsage;
    CGanttChart chart(*at);
    if (!chart.LoadWeek(set->path, ctx.prompter))
        return kExitFile;
    // Each frame in the row the window's chart gives it, in order of start.
    const std::vector<GanttItem>& items = chart.items();
    const std::vector<int> days = chart.ItemDays();
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(
        order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return items[a].start < items[b].start; });
    std::int64_t weekMinutes = 0;
    // Seven dates, whatever the clock did: a date it skipped has no time.
    const CalendarDate monday = MondayOf(chart.weekStart());
    for (int d = 0; d < 7; ++d) {
        ctx.out << dayLabel(DatesLater(monday, d)) << '\n';
        Table lines({}, {2});
        std::int64_t dayMinutes = 0;
        for (const std::size_t i : order) {
            const GanttItem& item = items[i];
            if (days[i] != d)
                continue;
            const std::int64_t minutes = WholeMinutes(std::int64_t{item.end} - item.start);
            dayMinutes += minutes;
            lines.add(
                {" ", FormatTime24(item.start) + "-" + FormatTime24(item.end), FormatDuration(minutes), item.name});
        }
        lines.print(ctx.out, false);
        weekMinutes += dayMinutes;
    }
    ctx.out << "Week of " << FormatDate(chart.weekStart(), set->american()) << ": " << FormatDuration(weekMinutes)
            << '\n';
    return kExitOk;
}

} // namespace quillory::cli
