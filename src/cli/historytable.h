// qly log's table: the history's rows as the other tables of qly line them
// up, written a row at a time. A year of a busy firm is a hundred thousand
// rows: each cell is written into storage kept from row to row, the dates
// and times come from the history's per-day cache, and a project's name is
// made fit for the terminal once.
#pragma once

#include <ostream>

namespace quillory {
class History;
}

namespace quillory::cli {

// Every row shown, in the history's order, under the heading line.
void printHistoryTable(const History& history, bool americanDates, std::ostream& out);

} // namespace quillory::cli
