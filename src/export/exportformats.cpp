#include "export/exportformats.h"

namespace quillory {

const std::vector<ExportFormatInfo>& exportFormats()
{
    static const std::vector<ExportFormatInfo> formats{
        {ExportFormat::Text, "text", "Text, tab-separated", "txt", "QLY Export Files (*.txt) | *.txt||"},
        {ExportFormat::Csv, "csv", "CSV with charges", "csv", "CSV Files (*.csv) | *.csv||"},
        {ExportFormat::Json, "json", nullptr, "json", "JSON Files (*.json) | *.json||"},
        {ExportFormat::ICalendar, "ical", "iCalendar, for calendar programs", "ics",
            "iCalendar Files (*.ics) | *.ics||"},
    };
    return formats;
}

const ExportFormatInfo& exportFormatInfo(ExportFormat format)
{
    for (const ExportFormatInfo& info : exportFormats()) {
        if (info.format == format)
            return info;
    }
    return exportFormats().front();
}

std::optional<ExportFormat> exportFormatNamed(std::string_view name)
{
    for (const ExportFormatInfo& info : exportFormats()) {
        if (name == info.name)
            return info.format;
    }
    return std::nullopt;
}

std::string exportFormatNames()
{
    const auto& formats = exportFormats();
    std::string names;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0)
            names += i + 1 == formats.size() ? " or " : ", ";
        names += formats[i].name;
    }
    return names;
}

std::string defaultExportFileName(ExportFormat format)
{
    return std::string("QLYExport.") + exportFormatInfo(format).extension;
}

} // namespace quillory
