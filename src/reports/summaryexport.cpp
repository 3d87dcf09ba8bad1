#include "reports/summaryexport.h"

#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/outputfile.h"
#include "data/recordfile.h"
#include "export/structuredexport.h"
#include "platform/prompter.h"
#include "reports/summary.h"

#include <cstdio>

namespace quillory {

namespace {

const char* kindName(SummaryRowKind kind)
{
    switch (kind) {
    case SummaryRowKind::Customer:
        return "customer";
    case SummaryRowKind::Project:
        return "project";
    case SummaryRowKind::Month:
        return "month";
    case SummaryRowKind::Week:
        return "week";
    default:
        return "day";
    }
}

std::string isoDate(Timestamp t)
{
    const LocalTime lt = toLocalTime(t);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", lt.year, lt.month, lt.day);
    return text;
}

std::string csvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i == 0 ? "" : ",") + CsvField(fields[i]);
    return line + "\r\n";
}

void appendJsonFigures(std::string& out, const CSummary& summary, std::int64_t minutes, Cents amount)
{
    out += "\"minutes\": " + std::to_string(minutes) + ", \"time\": " + JsonString(summary.TimeText(minutes))
        + ", \"cents\": " + std::to_string(amount.value()) + ", \"charges\": " + JsonString(summary.MoneyText(amount));
}

void appendJsonAmount(std::string& out, const CSummary& summary, const std::string& label, Cents amount)
{
    out += "{\"label\": " + JsonString(label) + ", \"cents\": " + std::to_string(amount.value())
        + ", \"charges\": " + JsonString(summary.MoneyText(amount)) + "}";
}

void appendJsonRows(std::string& out, const CSummary& summary, const std::vector<int>& rows, int depth)
{
    const std::string indent(static_cast<std::size_t>(2 + 4 * depth), ' ');
    out += "[";
    bool first = true;
    for (int r : rows) {
        const SummaryRow& row = summary.row(r);
        out += (first ? "\n" : ",\n") + indent + "  {\"kind\": \"" + kindName(row.kind)
            + "\", \"name\": " + JsonString(summary.Label(r)) + ", ";
        if (row.kind != SummaryRowKind::Customer && row.kind != SummaryRowKind::Project)
            out += "\"start\": \"" + isoDate(*summary.PeriodStart(r)) + "\", ";
        appendJsonFigures(out, summary, row.minutes, row.charges);
        if (!row.children.empty()) {
            out += ",\n" + indent + "   \"children\": ";
            appendJsonRows(out, summary, row.children, depth + 1);
        }
        out += "}";
        first = false;
    }
    out += first ? "]" : "\n" + indent + "]";
}

} // namespace

std::string SummaryCsv(const CSummary& summary)
{
    std::string out(kSummaryCsvHeader);
    for (int r : summary.RowsInOrder()) {
        const SummaryRow& row = summary.row(r);
        const std::optional<Timestamp> periodStart = summary.PeriodStart(r);
        out += csvLine({std::to_string(summary.depthOf(r)), kindName(row.kind), summary.Label(r), summary.CustomerOf(r),
            summary.ProjectPathOf(r), periodStart ? isoDate(*periodStart) : std::string(), std::to_string(row.minutes),
            summary.TimeText(row.minutes), std::to_string(row.charges.value()), summary.MoneyText(row.charges)});
    }
    const SummaryTotals& totals = summary.totals();
    out += csvLine({"", "total", "Total", "", "", "", std::to_string(totals.minutes), summary.TimeText(totals.minutes),
        std::to_string(totals.total.value()), summary.MoneyText(totals.total)});
    if (totals.salesTax) {
        out += csvLine({"", "tax", totals.taxLabel, "", "", "", "", "", std::to_string(totals.tax.value()),
            summary.MoneyText(totals.tax)});
        out += csvLine({"", "total_with_tax", totals.totalWithTaxLabel, "", "", "", "", "",
            std::to_string(totals.totalWithTax.value()), summary.MoneyText(totals.totalWithTax)});
    }
    return out;
}

std::string SummaryJson(const CSummary& summary)
{
    const SummaryRequest& request = summary.request();
    std::string out = "{\n  \"title\": " + JsonString(summary.Title()) + ",\n  \"by\": \""
        + kSummaryGroupingKeys[static_cast<int>(request.grouping)] + "\",\n  \"from\": \""
        + isoDate(request.period.from) + "\",\n  \"to\": \"" + isoDate(request.period.to) + "\",\n  \"rows\": ";
    appendJsonRows(out, summary, summary.roots(), 0);
    const SummaryTotals& totals = summary.totals();
    out += ",\n  \"total\": {";
    appendJsonFigures(out, summary, totals.minutes, totals.total);
    out += "}";
    if (totals.salesTax) {
        out += ",\n  \"tax\": ";
        appendJsonAmount(out, summary, totals.taxLabel, totals.tax);
        out += ",\n  \"total_with_tax\": ";
        appendJsonAmount(out, summary, totals.totalWithTaxLabel, totals.totalWithTax);
    }
    return out + "\n}\n";
}

bool WriteSummaryCsv(
    const CSummary& summary, const std::string& dataSetPath, const std::string& file, Prompter& prompter)
{
    return writeOutputFile(dataSetPath, file, SummaryCsv(summary), prompter);
}

} // namespace quillory
