// The commands of qly, each in a file of its own; the table in
// commands.cpp names them, says how they are called and what they do.
#pragma once

#include "cli/cli.h"

namespace quillory::cli {

int runNew(Context& ctx);
int runInfo(Context& ctx);
int runSet(Context& ctx);
int runProjects(Context& ctx);
int runProject(Context& ctx);
int runCustomers(Context& ctx);
int runCustomer(Context& ctx);
int runLog(Context& ctx);
int runAdd(Context& ctx);
int runEdit(Context& ctx);
int runRm(Context& ctx);
int runTotals(Context& ctx);
int runWeek(Context& ctx);
int runExport(Context& ctx);
int runImport(Context& ctx);
int runInvoice(Context& ctx);
int runReport(Context& ctx);
int runPrint(Context& ctx);
int runIn(Context& ctx);
int runOut(Context& ctx);
int runPause(Context& ctx);
int runStatus(Context& ctx);

} // namespace quillory::cli
