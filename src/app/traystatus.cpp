#include "app/traystatus.h"

#include "app/document.h"
#include "chart/viewpainter.h"
#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"

#include <algorithm>
#include <unordered_map>

namespace quillory {

std::vector<ProjectRecord> recentProjects(const CQuilloryDoc& doc, std::size_t count)
{
    if (!doc.isOpen())
        return {};
    std::unordered_map<std::int32_t, Timestamp> latest;
    const auto note = [&](std::int32_t id, Timestamp start) {
        const auto [it, added] = latest.emplace(id, start);
        if (!added)
            it->second = std::max(it->second, start);
    };
    // A menu is no place for a message: what cannot be read offers nothing.
    if (const auto frames = readRecords<TimeFrameRecord>(doc.filePath("tfr"))) {
        for (const TimeFrameRecord& f : *frames)
            note(f.projectId, f.start);
    }
    for (const RunningProject& r : doc.running())
        note(r.projectId, r.start);
    const auto projects = readRecords<ProjectRecord>(doc.filePath("prj"));
    if (!projects)
        return {};
    std::vector<std::pair<Timestamp, const ProjectRecord*>> found;
    for (const ProjectRecord& p : *projects) {
        const auto it = latest.find(p.id);
        // The first of several records with one id stands for it, as lookups take it.
        if (it != latest.end()) {
            found.emplace_back(it->second, &p);
            latest.erase(it);
        }
    }
    // Newest first; of two started the same second, the one first in the file.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<ProjectRecord> recent;
    for (std::size_t i = 0; i < found.size() && i < count; ++i)
        recent.push_back(*found[i].second);
    return recent;
}

std::vector<std::string> runningLines(const CQuilloryDoc& doc, Timestamp now)
{
    std::vector<std::string> lines;
    if (!doc.isOpen() || doc.running().empty())
        return lines;
    const std::string symbol = fieldText(displaySettings(doc.path()).monetarySymbol);
    for (const PanelRow& row : runningRows(runningPanelData(doc, now, symbol)))
        lines.push_back(replaceControlCharacters(row.first) + "  " + row.time + "  " + row.charges);
    return lines;
}

std::string trayToolTip(const CQuilloryDoc& doc, Timestamp now)
{
    std::string tip = kAppName;
    if (!doc.isOpen())
        return tip;
    const std::vector<std::string> lines = runningLines(doc, now);
    if (lines.empty())
        return tip + "\n" + kNothingRunning;
    for (const std::string& line : lines)
        tip += "\n" + line;
    if (doc.isPaused())
        tip += "\nPAUSE";
    return tip;
}

} // namespace quillory
