// A week is seven calendar dates, whatever the local clock does on them:
// Samoa skipped 30 December 2011 and Kiribati's Line Islands 31 December
// 1994, daylight-saving time starts at midnight in some zones and at 02:00
// in others. The chart shows the seven dates, a skipped one empty, and
// steps a week at a time from Monday to Monday.
#include "chart/ganttchart.h"
#include "data/calendar.h"
#include "support/recordingdc.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {

void PrintTo(const CalendarDate& d, std::ostream* os)
{
    *os << d.year << "-" << d.month << "-" << d.day;
}

namespace {

using test::DrawCall;

TEST(WeekDates, AWeekIsSevenCalendarDatesWhateverTheClockDoes)
{
    const struct {
        const char* zone;
        CalendarDate monday;
        std::vector<std::string> labels;
        const char* skipped; // the label of a date without time, if any
    } cases[] = {
        {"Pacific/Apia", {2011, 12, 26},
            {"Monday, December 26", "Tuesday, December 27", "Wednesday, December 28", "Thursday, December 29",
                "Friday, December 30", "Saturday, December 31", "Sunday, January 1"},
            "Friday, December 30"},
        {"Pacific/Kiritimati", {1994, 12, 26},
            {"Monday, December 26", "Tuesday, December 27", "Wednesday, December 28", "Thursday, December 29",
                "Friday, December 30", "Saturday, December 31", "Sunday, January 1"},
            "Saturday, December 31"},
        {"America/Sao_Paulo", {2018, 10, 29}, // summer time from Sunday 4 November, 00:00
            {"Monday, October 29", "Tuesday, October 30", "Wednesday, October 31", "Thursday, November 1",
                "Friday, November 2", "Saturday, November 3", "Sunday, November 4"},
            ""},
        {"Europe/Berlin", {2026, 3, 23},
            {"Monday, March 23", "Tuesday, March 24", "Wednesday, March 25", "Thursday, March 26", "Friday, March 27",
                "Saturday, March 28", "Sunday, March 29"},
            ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        test::TimeZone zone{c.zone};
        const CalendarDate monday = c.monday;
        CGanttChart chart(StartOfDate(DatesLater(monday, 3)) + 12 * 3600);
        chart.setHours(0, 24);
        chart.setRect({5, 110, 5 + 630, 110 + 228});
        // A frame at 12:00 on each date that has one.
        for (int d = 0; d < 7; ++d) {
            const CalendarDate date = DatesLater(monday, d);
            if (DateOf(StartOfDate(date)) == date)
                chart.AddItem("D" + std::to_string(d), StartOfDate(date) + 12 * 3600, StartOfDate(date) + 13 * 3600, d);
        }
        test::RecordingDC dc;
        chart.DrawChart(dc);
        std::vector<std::string> labels;
        for (const DrawCall& t : dc.ofKind(DrawCall::Text)) {
            if (t.rect.left == 10)
                labels.push_back(t.text);
        }
        EXPECT_EQ(labels, c.labels);
        // Each bar in the row of its own date; the skipped date's row empty.
        const std::vector<DrawCall> bars = dc.ofKind(DrawCall::Fill);
        const int rowHeight = 213 / 7;
        std::vector<int> rows;
        for (const DrawCall& bar : bars)
            rows.push_back((bar.rect.top - 125) / rowHeight);
        std::vector<int> expected;
        for (int d = 0; d < 7; ++d) {
            if (c.labels[static_cast<std::size_t>(d)] != c.skipped)
                expected.push_back(d);
        }
        EXPECT_EQ(rows, expected);
        // Weeks step Monday to Monday, seven dates at a time.
        EXPECT_EQ(DateOf(chart.weekStart()), monday);
        chart.nextWeek();
        EXPECT_EQ(DateOf(chart.weekStart()), DatesLater(monday, 7));
        chart.previousWeek();
        chart.previousWeek();
        EXPECT_EQ(DateOf(chart.weekStart()), DatesLater(monday, -7));
        chart.nextWeek();
        EXPECT_EQ(DateOf(chart.weekStart()), monday);
    }
}

// The C library takes a midnight the clock skipped to either side of the
// gap, depending on what it converted before: the start of a date must not.
TEST(WeekDates, ADateStartsWhereItsFirstMomentIsWhateverWasAskedBefore)
{
    const struct {
        const char* zone;
        CalendarDate monday;
    } cases[] = {{"Pacific/Apia", {2011, 12, 26}}, {"America/Sao_Paulo", {2018, 10, 29}},
        {"Asia/Tehran", {2022, 3, 21}}, {"Europe/Dublin", {2026, 3, 23}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        test::TimeZone zone{c.zone};
        std::vector<Timestamp> forward;
        for (int d = 0; d < 8; ++d)
            forward.push_back(StartOfDate(DatesLater(c.monday, d)));
        std::vector<Timestamp> backward(8);
        for (int d = 7; d >= 0; --d)
            backward[static_cast<std::size_t>(d)] = StartOfDate(DatesLater(c.monday, d));
        EXPECT_EQ(forward, backward);
        for (int d = 0; d < 7; ++d) {
            const CalendarDate date = DatesLater(c.monday, d);
            const Timestamp start = forward[static_cast<std::size_t>(d)];
            // Each asked straight after the date beside it, on either side.
            StartOfDate(DatesLater(date, 1));
            EXPECT_EQ(StartOfDate(date), start) << d;
            StartOfDate(DatesLater(date, -1));
            EXPECT_EQ(StartOfDate(date), start) << d;
            // The second before belongs to an earlier date; a date with time
            // starts on itself, a skipped one where the next one starts. The
            // day of any of its moments and its week start there too.
            EXPECT_NE(DateOf(start - 1), date) << d;
            if (start < forward[static_cast<std::size_t>(d) + 1]) {
                EXPECT_EQ(DateOf(start), date) << d;
                StartOfDate(DatesLater(date, -1));
                EXPECT_EQ(StartOfDay(forward[static_cast<std::size_t>(d) + 1] - 1), start) << d;
                EXPECT_EQ(StartOfWeek(start), forward[0]) << d;
            }
        }
    }
}

TEST(WeekDates, DatesCountByTheCalendar)
{
    EXPECT_EQ(DatesLater({2011, 12, 29}, 1), (CalendarDate{2011, 12, 30}));
    EXPECT_EQ(DatesLater({2000, 2, 28}, 1), (CalendarDate{2000, 2, 29}));
    EXPECT_EQ(DatesLater({1900, 2, 28}, 1), (CalendarDate{1900, 3, 1}));
    EXPECT_EQ(DatesLater({2026, 1, 5}, -7), (CalendarDate{2025, 12, 29}));
    EXPECT_EQ((CalendarDate{1970, 1, 1}).weekday(), 4);
    EXPECT_EQ((CalendarDate{2011, 12, 30}).weekday(), 5);
    EXPECT_EQ((CalendarDate{1969, 12, 28}).weekday(), 0);
}

} // namespace
} // namespace quillory
