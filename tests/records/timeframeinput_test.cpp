#include "records/timeframeinput.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

class TimeFrameInputTest : public ::testing::Test {
protected:
    test::TimeZone zone{"Europe/Berlin"};
};

TEST_F(TimeFrameInputTest, ShowsDateStartAndDuration)
{
    const TimeFrameRecord f{3, at(1996, 4, 5, 9, 30, 20), at(1996, 4, 6, 11, 45, 0)};
    const TimeFrameFields us = timeFrameFields(f, true);
    EXPECT_EQ(us.date, "04/05/1996");
    EXPECT_EQ(us.time, "09:30");
    EXPECT_EQ(us.duration, "26:14");
    EXPECT_EQ(timeFrameFields(f, false).date, "05/04/1996");
}

TEST_F(TimeFrameInputTest, ReadsTheDateInTheDataSetsOrder)
{
    const auto eu = readTimeFrameFields({"05/04/1996", "9:30", "1:15"}, false, 7);
    ASSERT_TRUE(std::holds_alternative<TimeFrameRecord>(eu));
    EXPECT_EQ(std::get<TimeFrameRecord>(eu), (TimeFrameRecord{7, at(1996, 4, 5, 9, 30), at(1996, 4, 5, 10, 45)}));
    const auto us = readTimeFrameFields({"05/04/1996", "9:30", "1:15"}, true, 7);
    EXPECT_EQ(std::get<TimeFrameRecord>(us).start, at(1996, 5, 4, 9, 30));
}

TEST_F(TimeFrameInputTest, AZeroDurationStartsAndEndsOnTheMinute)
{
    const auto f = readTimeFrameFields({"12/07/1996", "23:59", "00:00"}, true, 1);
    EXPECT_EQ(std::get<TimeFrameRecord>(f).start, std::get<TimeFrameRecord>(f).end);
    EXPECT_EQ(std::get<TimeFrameRecord>(f).start % 60, 0);
}

TEST_F(TimeFrameInputTest, RefusesWhatIsNotADateTimeOrDuration)
{
    const auto refusal = [](TimeFrameFields fields, bool american = true) {
        const auto r = readTimeFrameFields(fields, american, 1);
        return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : std::string("accepted");
    };
    EXPECT_EQ(refusal({"13/01/1996", "9:00", "1:00"}), "Please enter a valid date (MM/DD/YYYY).");
    EXPECT_EQ(refusal({"31/02/1996", "9:00", "1:00"}, false), "Please enter a valid date (DD/MM/YYYY).");
    EXPECT_EQ(refusal({"1/1/96", "9:00", "1:00"}), "Please enter a valid date (MM/DD/YYYY).");
    EXPECT_EQ(refusal({"1/1/1996", "25:00", "1:00"}), "Please enter a valid time (HH:MM).");
    EXPECT_EQ(refusal({"1/1/1996", "nine", "1:00"}), "Please enter a valid time (HH:MM).");
    EXPECT_EQ(refusal({"1/1/1996", "9:00", "-1:00"}), "Please enter a valid duration (HH:MM).");
    EXPECT_EQ(refusal({"1/1/1996", "9:00", "1:75"}), "Please enter a valid duration (HH:MM).");
    // A frame that would end after the last storable second.
    EXPECT_EQ(refusal({"12/31/2037", "23:00", "99999:00"}), "Please enter a valid duration (HH:MM).");
    EXPECT_EQ(refusal({"1/1/1996", "9:00", "1:00"}), "accepted");
}

} // namespace
} // namespace quillory
