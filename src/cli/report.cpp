// qly report: what a period's work comes to, by customer and project, by
// project, or by month, week or day, with the same rows and totals as the
// Summary window (the same engine): as text, as the window's CSV, as JSON,
// or as the window's printout in a PDF file.
#include "cli/commands.h"

#include "cli/qtbridge.h"
#include "data/datasetfiles.h"
#include "data/quickperiods.h"
#include "platform/clock.h"
#include "reports/summary.h"
#include "reports/summaryexport.h"
#include "reports/summaryprintout.h"

#include <algorithm>
#include <cctype>

namespace quillory::cli {

namespace {

inline constexpr const char* kPeriodKeys[kQuickPeriods]
    = {"this-week", "last-week", "this-month", "last-month", "this-quarter", "this-year", "last-year"};

template <std::size_t N> std::optional<int> indexOf(const char* const (&keys)[N], const std::string& key)
{
    const auto it = std::find_if(std::begin(keys), std::end(keys), [&](const char* k) { return key == k; });
    return it == std::end(keys) ? std::nullopt : std::optional<int>(static_cast<int>(it - std::begin(keys)));
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The period of --period, or of --from and --to; nothing, with the reason
// written, when they do not make one.
std::optional<PeriodBounds> periodArg(const Context& ctx, const Args& args, const DataSet& set)
{
    if (const auto name = args.value("--period")) {
        if (args.has("--from") || args.has("--to")) {
            ctx.fail(kExitUsage, "--period or --from and --to, not both");
            return std::nullopt;
        }
        const auto period = indexOf(kPeriodKeys, *name);
        if (!period) {
            ctx.fail(kExitUsage,
                "--period is this-week, last-week, this-month, last-month, this-quarter, this-year "
                "or last-year");
            return std::nullopt;
        }
        return QuickPeriodBounds(static_cast<QuickPeriod>(*period), ctx.clock.now());
    }
    const auto from = args.value("--from");
    const auto to = args.value("--to");
    if (!from || !to) {
        ctx.fail(kExitUsage, "the period is --from DATE --to DATE, or --period");
        return std::nullopt;
    }
    const auto first = parseDate(*from, set.american());
    const auto last = parseDate(*to, set.american());
    if (!first || !last) {
        ctx.fail(kExitUsage, std::string(first ? "--to: " : "--from: ") + invalidDate(set.american()));
        return std::nullopt;
    }
    const PeriodBounds period{startOf(*first), endOf(*last)};
    if (period.to < period.from) {
        ctx.fail(kExitUsage, "the period ends before it starts");
        return std::nullopt;
    }
    return period;
}

void printText(std::ostream& out, const CSummary& summary)
{
    out << summary.Title() << ": " << summary.PeriodText() << "\n\n";
    Table table({upper(summary.NameHeading()), "TIME", "CHARGES"}, {1, 2});
    for (int r : summary.RowsInOrder()) {
        const SummaryRow& row = summary.row(r);
        table.add({std::string(static_cast<std::size_t>(2 * summary.depthOf(r)), ' ') + summary.Label(r),
            summary.TimeText(row.minutes), summary.MoneyText(row.charges)});
    }
    const SummaryTotals& totals = summary.totals();
    table.add({});
    table.add({"Total", summary.TimeText(totals.minutes), summary.MoneyText(totals.total)});
    if (totals.salesTax) {
        table.add({totals.taxLabel, "", summary.MoneyText(totals.tax)});
        table.add({totals.totalWithTaxLabel, "", summary.MoneyText(totals.totalWithTax)});
    }
    table.print(out);
}

} // namespace

int runReport(Context& ctx)
{
    const Args args(ctx.args, {"--from", "--to", "--period", "--by", "--format", "--pdf"}, {});
    if (!args.error().empty() || args.positional().size() != 1)
        return ctx.fail(kExitUsage,
            args.error().empty() ? "usage: qly report FILE --from D --to D [--by B] [--format F] (qly report --help)"
                                 : args.error());
    const auto grouping = indexOf(kSummaryGroupingKeys, args.value("--by").value_or("customer"));
    if (!grouping)
        return ctx.fail(kExitUsage, "--by is customer, project, month, week or day");
    const std::string format = args.value("--format").value_or("text");
    if (format != "text" && format != "csv" && format != "json")
        return ctx.fail(kExitUsage, "--format is text, csv or json");
    if (args.has("--pdf") && args.has("--format"))
        return ctx.fail(kExitUsage, "--pdf writes the printout: no --format with it");
    const auto set = openDataSet(ctx, args.positional()[0]);
    if (!set)
        return kExitFile;
    const auto period = periodArg(ctx, args, *set);
    if (!period)
        return kExitUsage;
    const auto pdf = args.value("--pdf");
    if (pdf) {
        if (const int refused = outputRefusal(ctx, *set, *pdf))
            return refused;
    }

    CSummary summary({*period, static_cast<SummaryGrouping>(*grouping)});
    if (!summary.Load(set->path, ctx.prompter))
        return kExitFile;
    if (pdf) {
        SummaryPrintout printout(summary, ctx.clock);
        return writePdf(*pdf, printout, set->path) ? kExitOk
                                                   : ctx.fail(kExitFile, "cannot write " + fullFileName(*pdf));
    }
    if (format == "csv")
        ctx.out << SummaryCsv(summary);
    else if (format == "json")
        ctx.out << SummaryJson(summary);
    else
        printText(ctx.out, summary);
    return kExitOk;
}

} // namespace quillory::cli
