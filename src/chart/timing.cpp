#include "chart/timing.h"

#include "app/document.h"
#include "platform/prompter.h"

namespace quillory {

namespace {

bool mayCheckIn(const CQuilloryDoc& doc, Prompter& prompter)
{
    if (!doc.isOpen()) {
        prompter.inform("No file has been opened. Cannot load the projects file.", "File not found");
        return false;
    }
    if (doc.running().size() >= kMaxRunningProjects) {
        prompter.inform("The limit of 5 projects being charged at the same time has been reached. Check out from a "
                        "project before checking in.",
            "Too many projects");
        return false;
    }
    return true;
}

} // namespace

void OnCheckIn(CQuilloryDoc& doc, Prompter& prompter, TimingView& view)
{
    if (!mayCheckIn(doc, prompter))
        return;
    if (const auto chosen = doc.ChooseProject()) {
        if (doc.CheckIn(*chosen))
            view.RefreshRunningPanel();
    }
}

void OnCheckInProject(CQuilloryDoc& doc, Prompter& prompter, TimingView& view, std::int32_t projectId)
{
    if (mayCheckIn(doc, prompter) && doc.CheckIn(projectId))
        view.RefreshRunningPanel();
}

void OnCheckOutProject(CQuilloryDoc& doc, TimingView& view, std::int32_t projectId)
{
    doc.CheckOut(projectId, true);
    if (doc.running().empty() && doc.isPaused())
        OnPause(doc, view);
    view.RefreshRunningPanel();
    view.RefreshTotals();
    view.RefreshChart();
}

void OnCheckOut(CQuilloryDoc& doc, TimingView& view)
{
    const auto& running = doc.running();
    if (running.empty())
        return;
    if (running.size() == 1) {
        doc.CheckOut(running.front().projectId, true);
        // A check-out that could not be written leaves the project running,
        // and with it the pause.
        if (doc.running().empty() && doc.isPaused())
            OnPause(doc, view);
    } else {
        const std::int32_t chosen = doc.ChooseRunningProject();
        if (chosen != -1)
            doc.CheckOut(chosen, true);
    }
    view.RefreshRunningPanel();
    view.RefreshTotals();
    view.RefreshChart();
}

void OnPause(CQuilloryDoc& doc, TimingView& view)
{
    doc.TogglePause();
    view.RefreshRunningPanel();
}

} // namespace quillory
