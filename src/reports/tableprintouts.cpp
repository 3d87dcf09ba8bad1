#include "reports/tableprintouts.h"

#include "data/calendar.h"
#include "data/money.h"
#include "data/numbers.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"

#include <algorithm>
#include <unordered_map>

namespace quillory {

std::unique_ptr<CReportTable> BuildHistoryTable(const std::string& dataSetPath, Prompter& prompter)
{
    const SettingsRecord settings = displaySettings(dataSetPath);
    auto table = std::make_unique<CReportTable>();
    table->AddColumn({"Project", kColumnText, 80, 0});
    table->AddColumn({"Date", kColumnDate, 0, 250});
    table->AddColumn({"Time", kColumnMinutes, 0, 330});
    table->AddColumn({"Duration", kColumnMinutes, 0, 410});
    table->AddColumn({fieldText(settings.monetarySymbol) + " Charged", kColumnMoney, 0, 490});
    table->SetControl(0, 0, 3, 4);

    const auto frames = loadTimeFrames(siblingPath(dataSetPath, "tfr"), prompter);
    if (!frames)
        return nullptr;
    const ProjectIndex projects = loadProjectIndex(dataSetPath, frames->size(), prompter);
    // A project's name is decoded once, however many frames it has.
    std::unordered_map<const ProjectRecord*, std::string> names;
    for (const TimeFrameRecord& f : *frames) {
        const ProjectRecord& project = projects.find(f.projectId);
        auto name = names.find(&project);
        if (name == names.end())
            name = names.emplace(&project, fieldText(project.name)).first;
        const LocalTime start = toLocalTime(f.start);
        const std::int64_t minutes = WholeMinutes(std::int64_t{f.end} - f.start);
        table->AddRow({name->second, start.dateNumber(), start.minuteOfDay(), minutes,
            ChargeForMinutes(project.pricePerHour, minutes).value()});
    }
    table->Sort(0, 1);
    return table;
}

std::unique_ptr<CReportTable> BuildCustomerTable(const std::string& dataSetPath, Prompter& prompter)
{
    auto table = std::make_unique<CReportTable>();
    table->AddColumn({"Customer", kColumnText, 80, 0});
    table->AddColumn({"Address", kColumnText, 80, 120});
    table->AddColumn({"City", kColumnText, 40, 250});
    table->AddColumn({"ZIP", kColumnText, 40, 310});
    table->AddColumn({"State", kColumnText, 40, 360});
    table->AddColumn({"Country", kColumnText, 40, 410});
    table->AddColumn({"Phone", kColumnText, 40, 480});
    table->SetControl(-1, -1, 0, 0);

    const auto customers = loadCustomers(siblingPath(dataSetPath, "cus"), prompter);
    if (!customers)
        return nullptr;
    for (const CustomerRecord& c : *customers) {
        table->AddRow({fieldText(c.name), fieldText(c.address), fieldText(c.city), fieldText(c.zip), fieldText(c.state),
            fieldText(c.country), fieldText(c.phone)});
    }
    table->Sort(0, 0);
    return table;
}

std::string TableTitle(TableKind kind, Timestamp now, bool americanDates)
{
    const char* prefix
        = kind == TableKind::History ? "QLY 1.0 - History of charges - " : "QLY 1.0 - List of Customers - ";
    return prefix + FormatDate(now, americanDates) + " " + FormatTime24(now);
}

int TablePrintout::PageCount() const
{
    return std::max(1, m_table.PageCount(kTableBodyRect));
}

void TablePrintout::DrawPage(DeviceContext& dc, int page)
{
    const bool americanDates = displaySettings(m_path).americanDates != 0;
    BeginPage(dc);
    m_table.DrawHeader(dc, kTableHeaderRect);
    m_table.DrawPage(dc, kTableBodyRect, page, americanDates);
    DrawPageNumber(dc, page);
    dc.drawText(
        TableTitle(m_kind, m_clock.now(), americanDates), kFooterRect, kTextLeft | kTextVCenter | kTextSingleLine);
}

} // namespace quillory
