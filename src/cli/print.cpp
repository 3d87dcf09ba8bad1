// qly print: the history, the customer list and the week chart as PDF,
// page for page as the window's print preview shows them.
#include "cli/commands.h"

#include "chart/ganttchart.h"
#include "cli/qtbridge.h"
#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "platform/clock.h"
#include "reports/tableprintouts.h"
#include "reports/weekchartprintout.h"

namespace quillory::cli {

int runPrint(Context& ctx)
{
    const Args args(ctx.args, {"--pdf", "--date"}, {});
    const auto& pos = args.positional();
    if (!args.error().empty() || pos.size() != 2 || !args.has("--pdf"))
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly print history|customers|week FILE --pdf OUT [--date D]" : args.error());
    const std::string& what = pos[0];
    if (what != "history" && what != "customers" && what != "week")
        return ctx.fail(kExitUsage, "qly print history, customers or week, not " + what);
    if (what != "week" && args.has("--date"))
        return ctx.fail(kExitUsage, "--date chooses the week of the week chart");
    const auto set = openDataSet(ctx, pos[1]);
    if (!set)
        return kExitFile;
    const std::string out = *args.value("--pdf");
    if (const int refused = outputRefusal(ctx, *set, out))
        return refused;

    bool written = false;
    if (what == "week") {
        Timestamp day = ctx.clock.now();
        if (const auto text = args.value("--date")) {
            const auto date = parseDate(*text, set->american());
            if (!date)
                return ctx.fail(kExitUsage, "--date: " + invalidDate(set->american()));
            day = fromLocalTime(date->year, date->month, date->day, 12, 0, 0);
        }
        CGanttChart chart(day);
        chart.setDayLabeler(dayLabel);
        if (!chart.LoadWeek(set->path, ctx.prompter))
            return kExitFile;
        WeekChartPrintout printout(chart);
        written = writePdf(out, printout, set->path);
    } else {
        const auto table = what == "history" ? BuildHistoryTable(set->path, ctx.prompter)
                                             : BuildCustomerTable(set->path, ctx.prompter);
        if (!table)
            return kExitFile;
        TablePrintout printout(
            *table, what == "history" ? TableKind::History : TableKind::Customers, set->path, ctx.clock);
        written = writePdf(out, printout, set->path);
    }
    return written ? kExitOk : ctx.fail(kExitFile, "cannot write " + fullFileName(out));
}

} // namespace quillory::cli
