#include "cli/commands.h"

namespace quillory::cli {

const std::vector<Command>& commands()
{
    static const std::vector<Command> table{
        {"new", "qly new FILE.qly [--symbol S] [--european-dates | --american-dates]",
            "Creates an empty data set: FILE.qly and its .prj, .cus and .tfr files.\n"
            "The currency symbol and the date order come from your locale unless given.\n"
            "An existing data set is never overwritten.\n",
            runNew},
        {"info", "qly info FILE", "Shows the settings of a data set, one field=value a line (as qly set takes them).\n",
            runInfo},
        {"set", "qly set FILE field=value...",
            "Changes settings, as the Properties sheet does: text fields up to their capacity,\n"
            "0 or 1 for applySalesTax, showTips and americanDates, and salesTaxPercent as a\n"
            "plain amount (7.5, not 7,5). In footerNote, \\n starts a new line.\n"
            "Nothing is written unless every assignment is right.\n",
            runSet},
        {"projects", "qly projects FILE", "Shows the projects tree with ids, prices per hour and customers.\n",
            runProjects},
        {"project",
            "qly project add FILE NAME [--parent P] [--customer C] [--price AMOUNT] [--memo TEXT]\n"
            "       qly project edit FILE P [--name NAME] [--customer C|none] [--price AMOUNT] [--memo TEXT]\n"
            "       qly project rm FILE P",
            "Adds, edits or removes a project (P: its id or exact name; C: a customer's id or name).\n"
            "add prints the new project's id; rm removes the project with its sub-projects.\n",
            runProject},
        {"customers", "qly customers FILE", "Shows the customers, sorted by name.\n", runCustomers},
        {"customer",
            "qly customer add FILE NAME [--address A] [--city C] [--zip Z] [--state S] [--country C]\n"
            "                           [--phone P] [--notes N]\n"
            "       qly customer edit FILE C [--name N] [--address A] ...\n"
            "       qly customer rm FILE C",
            "Adds, edits or removes a customer (C: its id or exact name); add prints the new id.\n", runCustomer},
        {"in", "qly in FILE PROJECT",
            "Starts timing a project, as Check In does; at most five run at once. Refused while a\n"
            "Quillory window has the data set open: check in there.\n",
            runIn},
        {"out", "qly out FILE [PROJECT]",
            "Stops timing a project (the only running one when none is named) and records its time\n"
            "frame, as Check Out does. When the frame cannot be written the project keeps running.\n",
            runOut},
        {"pause", "qly pause FILE", "Pauses every running project, or resumes them, as Pause does.\n", runPause},
        {"status", "qly status FILE", "Shows the running projects with their time and charges so far, and the pause.\n",
            runStatus},
        {"log", "qly log FILE [--from DATE] [--to DATE] [--project P] [--sort project|date|time|charged|charges]",
            "Lists the history of charges: project, date, time, time charged and charges,\n"
            "sorted by project unless --sort says otherwise (equal rows keep their file order).\n",
            runLog},
        {"add", "qly add FILE PROJECT DATE TIME DURATION",
            "Records a time frame: PROJECT by id or name, TIME as HH:MM, DURATION as H:MM.\n", runAdd},
        {"edit", "qly edit FILE PROJECT DATE TIME [--project P] [--date D] [--time T] [--duration H:MM]",
            "Corrects the time frame of PROJECT that starts at DATE TIME, in one rewrite.\n", runEdit},
        {"rm", "qly rm FILE PROJECT DATE TIME",
            "Removes the time frame of PROJECT that starts at DATE TIME (identical copies go too).\n", runRm},
        {"totals", "qly totals FILE [--at DATE]",
            "Shows the time and charges of today, this week, this month and this year,\n"
            "as the totals panel does (of the day DATE instead of today with --at).\n",
            runTotals},
        {"week", "qly week FILE [--date DATE]",
            "Shows the week's time frames day by day (the week holding DATE with --date).\n", runWeek},
        {"export",
            "qly export FILE [--from DATE] [--to DATE] [--project P] [--minutes] [--24h] [--one-field]\n"
            "                  [--user NAME] [--format text|csv|json|ical] [-o OUT]",
            "Exports the time frames that start in the period (all of them by default), in file order.\n"
            "The text format is the Export dialog's file byte for byte: --minutes gives durations in\n"
            "minutes, --24h times as 16:00, --one-field date and time in one field; --user fills the\n"
            "User column (the account's full name by default). --format csv is RFC 4180 with a header\n"
            "(the Export dialog's \"CSV with charges\", byte for byte); --format json an array of\n"
            "objects with local ISO 8601 times, the project's name and id, the duration in seconds\n"
            "and the charge in cents; --format ical an iCalendar file with one event per frame, for\n"
            "calendar programs. Without -o the export goes to standard output; a file is only\n"
            "replaced by a complete export.\n",
            runExport},
        {"import", "qly import FILE.qly --from timewarrior|watson|csv|ical SOURCE [--dry-run]",
            "Takes in the time frames another tracker recorded. SOURCE is what timew export prints,\n"
            "Watson's frames file, a CSV or tab-separated table with a header row (columns project,\n"
            "start and end, or date, start and duration; customer and price per hour if wanted) or an\n"
            "iCalendar file. As in the window's File > Import..., projects and customers are matched\n"
            "by name or created and frames already in the data set are skipped. The counts are\n"
            "printed first, rejected rows on standard error; --dry-run writes nothing. All of it\n"
            "lands, or nothing does.\n",
            runImport},
        {"invoice",
            "qly invoice FILE --customer C|none --from DATE --to DATE [--number N] [--allow-empty]\n"
            "                   (--text OUT | --pdf OUT)",
            "Bills a customer (none: the projects without one) for the time frames that start in the\n"
            "period: --text writes the invoice dialog's text file, --pdf the printed invoice. The\n"
            "number is the data set's next invoice number unless --number gives one; once the invoice\n"
            "is written, the next number moves on, as in the dialog. An invoice without any time is\n"
            "refused (status 1) unless --allow-empty is given.\n",
            runInvoice},
        {"report",
            "qly report FILE (--from DATE --to DATE | --period P) [--by customer|project|month|week|day]\n"
            "                  [--format text|csv|json | --pdf OUT]",
            "Sums up the time frames that start in the period, as the Summary window does: by customer\n"
            "and project (the default), by project, or by month, week or day with the customers and\n"
            "projects of each. Every row has its time and its charges (each frame charged as on an\n"
            "invoice), sub-projects roll up under their parent, and the total ends it, with the sales\n"
            "tax when the data set charges it. P is this-week, last-week, this-month, last-month,\n"
            "this-quarter, this-year or last-year. --format csv is the window's \"Export as CSV\" (a\n"
            "header line, minutes and cents beside the time and charges), json the rows as a tree;\n"
            "--pdf writes the window's printout.\n",
            runReport},
        {"print", "qly print history|customers|week FILE --pdf OUT [--date DATE]",
            "Writes a printout as PDF, page for page as the print preview shows it: the history of\n"
            "charges by project, the list of customers, or the week chart of the week holding DATE\n"
            "(this week without --date).\n",
            runPrint},
    };
    return table;
}

} // namespace quillory::cli
