// The question asked at the return from time away, and what each of its
// answers writes. The window shows the question; everything it says and does
// is decided here from the period and the document.
#pragma once

#include "chart/away.h"

#include <string>
#include <vector>

namespace quillory {

class CQuilloryDoc;

enum class AwayAnswer {
    Keep, // nothing changes
    CheckOut, // each project's frame ends where the time away began; nothing runs afterwards
    LeaveOut, // the same frame, and each project runs on from the answer
};

// "You were away from 10:12 to 10:58 (0:46) while Website and Logo were being
// timed." A period over midnight names the dates as well, in the data set's
// order.
std::string awayQuestionText(const AwayPeriod& period, const std::vector<std::string>& names, bool americanDates);
// The button of each answer, with its mnemonic: "&Check out at 10:12".
std::string awayAnswerLabel(AwayAnswer answer, const AwayPeriod& period);

// The period's projects that the document still times: neither checked out
// nor restarted since, and not paused now.
std::vector<RunningProject> awayStillTimed(const AwayPeriod& period, const CQuilloryDoc& doc);
// Their names as the projects file has them, each once.
std::vector<std::string> awayProjectNames(const std::vector<RunningProject>& entries, const CQuilloryDoc& doc);

// Carries the answer out for the projects still timed, each through the
// document's safe check-out; the frames written. The first that cannot be
// written is reported by the document and ends the answer there: that
// project and those after it run on as before.
std::vector<TimeFrameRecord> answerAway(CQuilloryDoc& doc, const AwayPeriod& period, AwayAnswer answer);

} // namespace quillory
