// Reading each kind of source: the frames it gives, the rows it rejects with
// their reasons and numbers, and the files it refuses outright. Fixtures are
// written from the kinds' documented formats; times are compared in UTC.
#include "import/csvreader.h"
#include "import/importsource.h"
#include "import/isotime.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <ctime>

namespace quillory {
namespace {

std::string utcText(Timestamp t)
{
    const std::time_t time = t;
    std::tm tm{};
    gmtime_r(&time, &tm);
    char text[24];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &tm);
    return text;
}

// "Project|Customer|price|start-end", the price in cents or "-".
std::vector<std::string> framesOf(const ImportBatch& batch)
{
    std::vector<std::string> frames;
    for (const SourceFrame& f : batch.frames) {
        const SourceProject& p = batch.projects[f.project];
        frames.push_back(p.name + "|" + p.customer + "|" + (p.price ? std::to_string(p.price->value()) : "-") + "|"
            + utcText(f.start) + "-" + utcText(f.end));
    }
    return frames;
}

struct SourceCase {
    const char* name;
    ImportKind kind;
    std::string text;
    std::vector<std::string> frames;
    // "line 3: " or "element 2: " and a part of the reason.
    std::vector<std::string> rejected = {};
    std::uint64_t open = 0;
    std::uint64_t skipped = 0;
};

class ImportSourceTest : public ::testing::Test {
protected:
    SourceReading read(ImportKind kind, const std::string& text)
    {
        test::writeBytes(source, text);
        return readImportSource(kind, source);
    }
    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string source = dir.file("source");
};

TEST_F(ImportSourceTest, EachKindGivesItsFramesAndRejectsRowsWithTheirReasons)
{
    const SourceCase cases[] = {
        {"timewarrior", ImportKind::Timewarrior,
            R"([{"id":3,"start":"20240304T080000Z","end":"20240304T103000Z","tags":["Website","design"],"annotation":"x"},
                {"id":2,"start":"20240305T130000Z","end":"20240305T141500Z","other":{"tags":["not","these"]}},
                {"id":1,"start":"20240307T080000Z","tags":["Website"]},
                {"start":"20240304T080000Z","end":"20240304T070000Z","tags":["A"]},
                {"start":"99991231T000000Z","end":"99991231T010000Z","tags":["A"]},
                {"start":"2024-03-04","end":"x"},
                {"end":"20240304T070000Z"},
                {"start":"20240301T000000Z","end":"20240402T000000Z","tags":["A"]},
                {"start":"20240304T080000Z","end":"20240304T090000Z","tags":[1]},
                42,
                {"start":"20240304T080000Z","end":"20240304T090000Z","tags":["Two\nlines"]},
                {"start":"20240304T080000Z","end":"20240304T090000Z","tags":["a\tb"]}])",
            {"Website||-|20240304T080000Z-20240304T103000Z", "(untagged)||-|20240305T130000Z-20240305T141500Z"},
            {"element 4: the end lies before", "element 5: the start lies outside the years 1970 to 2037",
                "element 6: the start is not a time", "element 7: the interval has no start",
                "element 8: the frame lasts longer than 31 days", "element 9: the tags are not",
                "element 10: it is not an interval", "element 11: the project's name is more than one line",
                "element 12: the project's name holds control characters"},
            1},
        {"watson", ImportKind::Watson,
            R"([[1709539200, 1709548200, "Website", "a1", ["x", "y"], 1709548200],
                [1709643600.9, 1709648100, "Consulting", "b2", [], 0],
                [1709548200, 1709539200, "A", "c3", [], 0],
                ["1709539200", 1709548200, "A"], [1, 2], {"project": "A"},
                [-4000, 100, "A"],
                [1709539200, 1709548200, "W\u009b31m", "d4", [], 0]])",
            {"Website||-|20240304T080000Z-20240304T103000Z", "Consulting||-|20240305T130000Z-20240305T141500Z"},
            {"element 3: the end lies before", "element 4: it is not a frame", "element 5: it is not a frame",
                "element 6: it is not a frame", "element 7: the start lies outside",
                "element 8: the project's name holds control characters"}},
        {"csv with a byte-order mark, semicolons, quotes, offsets and local times", ImportKind::Csv,
            "\xEF\xBB\xBFProject;CUSTOMER ; Start;End;Price\r\n"
            "\"Web; \"\"Shop\"\"\";Acme;2024-03-04T09:00:00+01:00;2024-03-04 10:30;75.50\r\n"
            "\r\n"
            "Design;;2024-03-05 14:00;2024-03-05T15:00Z;\r\n"
            "\"Two\nlines\";;2024-03-05 14:00;2024-03-05 15:00;\r\n"
            "Web;;2024-03-05 14:00;2024-03-05 15:00;12,50\r\n"
            "Web;;2024-02-30 14:00;2024-03-05 15:00;\r\n"
            ";;2024-03-05 14:00;2024-03-05 15:00;\r\n"
            "\xFF\xFE;;2024-03-05 14:00;2024-03-05 15:00;\r\n",
            {"Web; \"Shop\"|Acme|7550|20240304T080000Z-20240304T093000Z",
                "Design||-|20240305T130000Z-20240305T150000Z"},
            {"line 5: the project's name is more than one line", "line 7: the price \"12,50\" is not an amount",
                "line 8: the start \"2024-02-30 14:00\" is not a date", "line 9: no project is named",
                "line 10: the project's name is not UTF-8"}},
        {"csv with a carriage return alone at each line's end", ImportKind::Csv,
            "project,start,end\rA,2024-03-04T09:00,2024-03-04T10:00\r\"B\rC\",2024-03-04T09:00,2024-03-04T10:00\r"
            "D,2024-03-04T11:00,2024-03-04T12:00",
            {"A||-|20240304T080000Z-20240304T090000Z", "D||-|20240304T100000Z-20240304T110000Z"},
            {"line 3: the project's name is more than one line"}},
        {"tab-separated dates, start times and durations, across the change to summer time", ImportKind::Csv,
            "date\tstart\tduration\tproject\n"
            "2024-03-04\t9:00\t1:30\tWeb\n"
            "2024-03-04\t13:00:30\t0.25\tWeb\n"
            "2024-03-31\t01:30\t2\tNight\n"
            "2024-03-04\t25:00\t1:00\tWeb\n"
            "2024-03-04\t10:00\t-1\tWeb\n"
            "2024-03-04\t10:00\t1:60\tWeb\n"
            "2024-03-31\t02:30\t1:00\tGap",
            {"Web||-|20240304T080000Z-20240304T093000Z", "Web||-|20240304T120030Z-20240304T121530Z",
                "Night||-|20240331T003000Z-20240331T023000Z"},
            {"line 5: the start \"25:00\"", "line 6: the duration \"-1\"", "line 7: the duration \"1:60\"",
                "line 8: the start \"02:30\" is a time the clock skipped"}},
        {"icalendar", ImportKind::ICalendar,
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n"
            "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
            "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
            "BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20240304T080000Z\r\nDTEND:20240304T103000Z\r\n"
            "SUMMARY:Web\\, sh\r\n op\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:VALARM\r\nEND:VEVENT\r\n"
            "BEGIN:VTODO\r\nSUMMARY:Not a frame\r\nEND:VTODO\r\n"
            "BEGIN:VEVENT\r\nDTSTART;TZID=Europe/Berlin:20240305T140000\r\nDURATION:PT1H15M\r\nSUMMARY:Consulting\r\n"
            "END:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART:20240306T080000\r\nDTEND:20240306T084500\r\nSUMMARY:Floating\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20240307\r\nSUMMARY:Holiday\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART;TZID=Mars/Olympus:20240307T080000\r\nDTEND:20240307T090000Z\r\n"
            "SUMMARY:Away\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART:20240307T080000Z\r\nDTEND:20240307T090000Z\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART:20240307T080000Z\r\nDTEND:20240307T090000Z\r\nSUMMARY:Daily\r\n"
            "RRULE:FREQ=DAILY\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nDTSTART:20240307T080000Z\r\nSUMMARY:Open\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n",
            {"Web, shop||-|20240304T080000Z-20240304T103000Z", "Consulting||-|20240305T130000Z-20240305T141500Z",
                "Floating||-|20240306T070000Z-20240306T074500Z"},
            {"line 35: it is an all-day event", "line 39: the time zone \"Mars/Olympus\" of its DTSTART is unknown",
                "line 44: the event has no SUMMARY", "line 48: the event repeats",
                "line 54: the event has neither DTEND nor DURATION"},
            0, 1},
        {"the years 1970 to 2037 as the local clock counts them, as dates are typed", ImportKind::Csv,
            "project,start,end\nEarly,1970-01-01T00:30,1970-01-01T01:30\nBefore,1969-12-31T23:30,1970-01-01T00:30\n"
            "Late,2037-12-31T22:00,2037-12-31T23:00\nAfter,2038-01-01T00:30,2038-01-01T01:00\n",
            {"Early||-|19691231T233000Z-19700101T003000Z", "Late||-|20371231T210000Z-20371231T220000Z"},
            {"line 3: the start lies outside the years 1970 to 2037",
                "line 5: the start lies outside the years 1970 to 2037"}},
        {"calendar times the clock shows twice are their first showing", ImportKind::ICalendar,
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
            "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;TZID=Europe/Berlin:20261025T023000\r\n"
            "DTEND;TZID=Europe/Berlin:20261025T040000\r\nSUMMARY:Berlin\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:2\r\nDTSTART;TZID=America/New_York:20261101T013000\r\n"
            "DTEND;TZID=America/New_York:20261101T030000\r\nSUMMARY:New York\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20261025T023000\r\nDTEND:20261025T040000\r\nSUMMARY:Floating\r\n"
            "END:VEVENT\r\nEND:VCALENDAR\r\n",
            {"Berlin||-|20261025T003000Z-20261025T030000Z", "New York||-|20261101T053000Z-20261101T080000Z",
                "Floating||-|20261025T003000Z-20261025T030000Z"}},
        {"csv times the clock shows twice are their first showing", ImportKind::Csv,
            "project,start,end\nWinter,2026-12-01T10:00,2026-12-01T11:00\nTwice,2026-10-25T02:30,2026-10-25T04:00\n",
            {"Winter||-|20261201T090000Z-20261201T100000Z", "Twice||-|20261025T003000Z-20261025T030000Z"}},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SourceReading reading = read(c.kind, c.text);
        ASSERT_TRUE(reading.batch) << reading.refusal;
        EXPECT_EQ(framesOf(*reading.batch), c.frames);
        ASSERT_EQ(reading.batch->rejected.size(), c.rejected.size());
        for (std::size_t i = 0; i < c.rejected.size(); ++i)
            EXPECT_EQ(reading.batch->rejected[i].text().rfind(c.rejected[i], 0), 0u)
                << reading.batch->rejected[i].text();
        EXPECT_EQ(reading.batch->openIntervals, c.open);
        EXPECT_EQ(reading.batch->skippedComponents, c.skipped);
    }
}

TEST_F(ImportSourceTest, AFileThatIsNotOfItsKindIsRefusedInOneSentenceNamingIt)
{
    const std::string manyColumns = [] {
        std::string header;
        for (int i = 0; i < 10000; ++i)
            header += "column" + std::to_string(i) + ",";
        return header;
    }();
    const struct {
        ImportKind kind;
        std::string text;
        const char* says;
    } cases[] = {
        {ImportKind::Timewarrior, "", " is empty."},
        {ImportKind::Timewarrior, R"([{"start":"20240304T080000Z","end":"2024)",
            " is not a Timewarrior export: it ends before its JSON does"},
        {ImportKind::Timewarrior, R"([{"start":"20240304T080000Z"},)", ": it ends before its JSON does"},
        {ImportKind::Timewarrior, R"({"start":"20240304T080000Z"})", ": it is not a JSON array of intervals."},
        {ImportKind::Timewarrior, R"([[1709539200, 1709548200, "Website"]])", ": it is not a JSON array of intervals."},
        {ImportKind::Timewarrior, "[{\"start\":\"\xff\"}]", ": it holds text that is not UTF-8 (line 1, column "},
        {ImportKind::Timewarrior, "[]\n,", ": it is not valid JSON (line 2, column 1)."},
        {ImportKind::Watson, R"([{"id":1,"start":"20240304T080000Z"}])", " is not a Watson frames file: it is not a"},
        {ImportKind::Watson, "project,start,end\n", " is not a Watson frames file: it is not valid JSON"},
        {ImportKind::Csv, "start,end\n2024-03-04 09:00,2024-03-04 10:00\n", ": its header row has no project column."},
        {ImportKind::Csv, "project,end\n", ": its header row has no start column."},
        {ImportKind::Csv, "project,start\n", ": its header row has neither an end nor a duration column."},
        {ImportKind::Csv, "project,start,end\nA,\"2024-03-04 09:00,2024\n", ": the quoted field that begins on line 2"},
        {ImportKind::Csv, std::string("project,start,end\nA\0B", 22), ": it holds zero bytes"},
        {ImportKind::Csv, manyColumns + "\n1,2,3\n", ": its header row has no project column."},
        {ImportKind::ICalendar, "BEGIN:VEVENT\r\nEND:VEVENT\r\n", " is not an iCalendar file: it does not begin with"},
        {ImportKind::ICalendar, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20240304T0800",
            ": it ends before its calendar does"},
        {ImportKind::ICalendar, std::string("BEGIN:VCALENDAR\r\n\0", 18), ": it holds zero bytes"},
    };
    const std::string fullName = dir.path() + "/source";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        const SourceReading reading = read(c.kind, c.text);
        EXPECT_FALSE(reading.batch);
        EXPECT_FALSE(reading.unreadable);
        EXPECT_EQ(reading.refusal.rfind(fullName, 0), 0u) << reading.refusal;
        EXPECT_NE(reading.refusal.find(c.says), std::string::npos) << reading.refusal;
    }
    const SourceReading missing = readImportSource(ImportKind::Csv, dir.file("missing.csv"));
    EXPECT_TRUE(missing.unreadable);
    EXPECT_EQ(missing.refusal, dir.file("missing.csv") + " cannot be opened.");
}

TEST_F(ImportSourceTest, ATableOfTenThousandColumnsIsReadByItsNamedColumns)
{
    std::string header;
    std::string row;
    for (int i = 0; i < 10000; ++i) {
        header += (i == 4000 ? "Project" : i == 9998 ? "start" : i == 9999 ? "end" : "c" + std::to_string(i)) + ",";
        row += std::string(i == 4000 ? "Wide"
                       : i == 9998   ? "2024-03-04T08:00Z"
                       : i == 9999   ? "2024-03-04T09:00Z"
                                     : "x")
            + ",";
    }
    const SourceReading reading = read(ImportKind::Csv, header + "\n" + row + "\n" + row + "\n");
    ASSERT_TRUE(reading.batch) << reading.refusal;
    EXPECT_EQ(framesOf(*reading.batch), std::vector<std::string>(2, "Wide||-|20240304T080000Z-20240304T090000Z"));
}

TEST(CsvQuoting, FieldsSplitAsRfc4180Has)
{
    const struct {
        std::string raw;
        char delimiter;
        std::vector<std::string> fields;
    } cases[] = {
        {"a,b,,c", ',', {"a", "b", "", "c"}},
        {"\"a,b\",\"say \"\"hi\"\"\",", ',', {"a,b", "say \"hi\"", ""}},
        {"\"two\r\nlines\";x", ';', {"two\r\nlines", "x"}},
        {"a\tb,c\t\"\"", '\t', {"a", "b,c", ""}},
        {"", ',', {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCsvRecord(c.raw, c.delimiter), c.fields) << c.raw;
}

TEST(IsoTimes, AreReadStrictly)
{
    const test::TimeZone zone{"America/New_York"};
    const struct {
        const char* text;
        std::optional<std::int64_t> seconds;
    } cases[] = {
        {"2024-03-04T09:00:00Z", 1709542800},
        {"20240304T090000Z", 1709542800},
        {"2024-03-04 10:00+01:00", 1709542800},
        {"2024-03-04T10:00:00.750+0100", 1709542800},
        {"2024-03-04T04:00", 1709542800}, // local: New York is five hours behind
        {"2024-03-04", std::nullopt},
        {"2024-3-4T09:00Z", std::nullopt},
        {"2024-03-04T24:00Z", std::nullopt},
        {"2024-02-30T09:00Z", std::nullopt},
        {"2024-03-04T09:00+25:00", std::nullopt},
        {"2024-03-04T09:00 Z", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isoSeconds(c.text), c.seconds) << c.text;
    EXPECT_EQ(parseDuration("1:30"), 5400);
    EXPECT_EQ(parseDuration("0.25"), 900);
    EXPECT_EQ(parseDuration("2"), 7200);
    EXPECT_EQ(parseDuration("1:30:15"), 5415);
    for (const char* bad : {"", ".", "1.5.", "1,5", "-1", "1:5", "1:75", "1e3", "1:30:"})
        EXPECT_FALSE(parseDuration(bad)) << bad;
}

} // namespace
} // namespace quillory
