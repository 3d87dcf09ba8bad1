// The summary as a file: CSV for spreadsheets (UTF-8, commas, a header
// line, lines ended by CR LF as the export's CSV) and JSON for programs.
// Both hold every row in the order shown, each with its minutes and cents
// as plain numbers beside the time and charges as the window shows them,
// then the total and, with sales tax, the tax and the total with it. The
// window's "Export as CSV..." and qly write them here.
#pragma once

#include <string>
#include <string_view>

namespace quillory {

class CSummary;
class Prompter;

inline constexpr std::string_view kSummaryCsvHeader
    = "level,kind,name,customer,project,period,minutes,time,cents,charges\r\n";

std::string SummaryCsv(const CSummary& summary);
std::string SummaryJson(const CSummary& summary);

// Writes the CSV in place of `file` by the rules of every output (never over
// a file of the data set, only once it is complete, only over a file of the
// user's); false (reported) when it may not or cannot be written.
bool WriteSummaryCsv(
    const CSummary& summary, const std::string& dataSetPath, const std::string& file, Prompter& prompter);

} // namespace quillory
