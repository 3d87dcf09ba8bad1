// The formats an export can take, in the order they are offered: the name
// qly's --format takes, the entry of the export dialog's format list (only
// some are offered there), and the extension and chooser filter of their
// files. A new format is one more row here and one more case in WriteExport.
#pragma once

#include "export/exportwriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

struct ExportFormatInfo {
    ExportFormat format;
    const char* name; // "text", "csv", ...
    const char* choice; // the dialog's entry; nullptr where only qly offers it
    const char* extension; // without the dot
    const char* filter; // "Description (*.ext) | *.ext||"
};

const std::vector<ExportFormatInfo>& exportFormats();
const ExportFormatInfo& exportFormatInfo(ExportFormat format);
std::optional<ExportFormat> exportFormatNamed(std::string_view name);
// "text, csv or json", for the message that refuses another name.
std::string exportFormatNames();

// The output name the dialog starts from: QLYExport with the format's extension.
std::string defaultExportFileName(ExportFormat format);

} // namespace quillory
