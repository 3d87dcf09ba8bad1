// The stopwatch commands of the main view: Check In, Check Out and Pause.
// The running state lives in the document; these decide what each command
// does with it and what the view redraws afterwards.
#pragma once

#include <cstdint>

namespace quillory {

class CQuilloryDoc;
class Prompter;

class TimingView {
public:
    virtual ~TimingView() = default;
    virtual void RefreshRunningPanel() = 0;
    virtual void RefreshTotals() = 0;
    virtual void RefreshChart() = 0;
};

// Refused without a data set and with five projects running; otherwise the
// project picked from the projects tree starts running.
void OnCheckIn(CQuilloryDoc& doc, Prompter& prompter, TimingView& view);
// The only running project is recorded at once (ending a pause); with more,
// the user picks one. The three areas are redrawn whatever the choice.
void OnCheckOut(CQuilloryDoc& doc, TimingView& view);
// Check In of a project chosen already (from the tray), refused as Check In is.
void OnCheckInProject(CQuilloryDoc& doc, Prompter& prompter, TimingView& view, std::int32_t projectId);
// Check Out of one running project chosen already, ending the pause with
// the last one as Check Out does.
void OnCheckOutProject(CQuilloryDoc& doc, TimingView& view, std::int32_t projectId);
void OnPause(CQuilloryDoc& doc, TimingView& view);

} // namespace quillory
