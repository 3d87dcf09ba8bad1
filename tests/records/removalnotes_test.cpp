#include "data/text.h"
#include "records/projecttree.h"
#include "records/removalnotes.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

namespace quillory {
namespace {

using test::at;

ProjectRecord priced(std::int32_t id, const char* name, std::int32_t parentId, double price)
{
    ProjectRecord p = newProjectRecord(id, name, parentId);
    p.pricePerHour = price;
    return p;
}

int keyNamed(const ProjectTree& tree, const std::string& name)
{
    for (int key : tree.listOrder()) {
        if (fieldText(tree.record(key).name) == name)
            return key;
    }
    return ProjectTree::kNone;
}

TEST(RemovalNotes, ADeletedProjectsTimeIsCountedAsEverywhereElse)
{
    // Backend (10.01 an hour) with three sub-projects; Other shares an id
    // with Api, as a damaged file may have it.
    const ProjectTree tree({priced(1, "Backend", -1, 10.01), priced(2, "Api", 1, 60), priced(3, "Db", 1, 0),
        priced(4, "Cache", 1, 0), priced(5, "Web", -1, 30), priced(2, "Other", -1, 99)});
    const std::vector<TimeFrameRecord> oneMinute{{1, 0, 60}, {1, 100, 160}};
    const struct {
        const char* removed;
        std::vector<TimeFrameRecord> frames;
        std::string note;
    } cases[] = {
        // Each frame's charge is rounded to the cent before adding: two
        // minutes at 10.01 are 0.17 + 0.17, not 0.33.
        {"Backend", oneMinute,
            "Backend and its 3 sub-projects have 2 recorded time frames (00:02, $0.34); they will show as (deleted "
            "project) and charge nothing."},
        // Whole hours, never modulo a day; seconds past the minute do not count.
        {"Web", {{5, 0, 25 * 3600 + 30 * 60 + 59}},
            "Web has 1 recorded time frame (25:30, $765.00); it will show as (deleted project) and charge nothing."},
        // Time of a project that stays (the id Other keeps), or of one long
        // gone, is not lost by this deletion.
        {"Backend", {{2, 0, 3600}, {9, 0, 3600}}, ""},
        {"Web", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(projectRemovalNote(tree, keyNamed(tree, c.removed), c.frames, "$"), c.note);
    }
    EXPECT_EQ(subtreeOf(tree, keyNamed(tree, "Backend")).size(), 4u);
    EXPECT_TRUE(subtreeOf(tree, 99).empty());
}

TEST(RemovalNotes, ARemovedCustomersProjectsAreNamed)
{
    std::vector<ProjectRecord> projects;
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G", "H"}) {
        projects.push_back(newProjectRecord(static_cast<std::int32_t>(projects.size()), name, -1));
        projects.back().customerId = 7;
    }
    projects[1].customerId = 8;
    projects[2].customerId = -1;
    const struct {
        std::vector<std::int32_t> removed;
        std::size_t projects;
        std::string note;
    } cases[] = {
        {{8}, 8, "B will have no customer."},
        {{7}, 2, "A will have no customer."},
        {{7}, 5, "A, D and E will have no customer."},
        {{7, 8}, 8, "A, B, D, E, F and 2 more projects will have no customer."},
        {{9}, 8, ""},
        {{}, 8, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        const std::vector<ProjectRecord> some(projects.begin(), projects.begin() + static_cast<long>(c.projects));
        EXPECT_EQ(customerRemovalNote(some, c.removed), c.note);
    }
}

TEST(RemovalNotes, FramesAndRunningProjectsAreShownWithTheirTimeAndCharge)
{
    test::TimeZone zone("Europe/Berlin");
    const TimeFrameRecord design{1, at(2026, 8, 12, 14, 0), at(2026, 8, 12, 16, 30)};
    EXPECT_EQ(frameNote("Design", design, 85, true, "€"), "Design, 08/12/2026 14:00-16:30, 02:30, €212.50");
    EXPECT_EQ(frameNote("Design", design, 85, false, "€"), "Design, 12/08/2026 14:00-16:30, 02:30, €212.50");
    FramesSum sum;
    sum.add(design, 85);
    sum.add({2, at(2026, 8, 13, 22, 0), at(2026, 8, 15, 3, 0)}, 100);
    EXPECT_EQ(framesNote(sum, "$"), "2 time frames, 31:30, $3112.50");

    // Paused since 12:00 (no tick yet): the pause is not counted.
    const Timestamp now = at(2026, 8, 12, 12, 10);
    const std::vector<RunningProject> running{{1, at(2026, 8, 12, 9, 57)}, {7, at(2026, 8, 12, 11, 45)}};
    const std::vector<ProjectRecord> projects{newProjectRecord(1, "Design", -1)};
    EXPECT_EQ(runningProjectsNote(running, false, 0, now, projects), "Design 02:13, (deleted project) 00:25");
    EXPECT_EQ(runningProjectsNote(running, true, at(2026, 8, 12, 12, 0), now, projects),
        "Design 02:03, (deleted project) 00:15");
}

} // namespace
} // namespace quillory
