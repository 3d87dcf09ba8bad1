#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "records/projecttree.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>

namespace quillory {
namespace {

ProjectRecord project(std::int32_t id, const char* name, std::int32_t parentId = -1)
{
    return newProjectRecord(id, name, parentId);
}

// The tree as text: "Name(child,child(grandchild)),Other".
std::string shape(const ProjectTree& tree, int parent = ProjectTree::kNone)
{
    std::string s;
    for (int key : tree.childrenOf(parent)) {
        if (!s.empty())
            s += ",";
        s += fieldText(tree.record(key).name);
        if (!tree.childrenOf(key).empty())
            s += "(" + shape(tree, key) + ")";
    }
    return s;
}

int keyNamed(const ProjectTree& tree, const std::string& name)
{
    for (int key : tree.listOrder()) {
        if (fieldText(tree.record(key).name) == name)
            return key;
    }
    ADD_FAILURE() << "no project " << name;
    return ProjectTree::kNone;
}

class ProjectTreeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createDataSet(path, LocaleDefaults{})); }
    test::TempDir dir;
    std::string path = dir.file("Tree.qly");
};

TEST_F(ProjectTreeTest, SubProjectsHangUnderTheirParentsReadBeforeThem)
{
    const ProjectTree tree({project(0, "A"), project(1, "B"), project(2, "A1", 0), project(3, "A1a", 2),
        project(4, "B1", 1), project(5, "A2", 0)});
    EXPECT_EQ(shape(tree), "A(A1(A1a),A2),B(B1)");
    EXPECT_EQ(tree.size(), 6);
}

TEST_F(ProjectTreeTest, AMissingOrLaterParentPutsAProjectAtTheTopAndKeepsItsParentId)
{
    ProjectTree tree({project(0, "Early child", 7), project(7, "Parent"), project(1, "Orphan", 99)});
    EXPECT_EQ(shape(tree), "Early child,Parent,Orphan");
    const auto saved = tree.recordsToSave();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].parentId, 7);
    EXPECT_EQ(saved[2].parentId, 99);
}

TEST_F(ProjectTreeTest, NewProjectsTakeFreshIdsAndDefaults)
{
    ProjectTree tree;
    const int first = tree.create("New project", ProjectTree::kNone, path);
    EXPECT_EQ(tree.record(first).id, 0);
    EXPECT_EQ(fieldText(tree.record(first).name), "New project");
    EXPECT_EQ(tree.record(first).customerId, -1);
    EXPECT_EQ(tree.record(first).pricePerHour, 0.0);
    EXPECT_EQ(tree.record(first).parentId, -1);
    const int sub = tree.create("New sub-project", first, path);
    EXPECT_EQ(tree.record(sub).id, 1);
    EXPECT_EQ(tree.record(sub).parentId, 0);
    EXPECT_EQ(shape(tree), "New project(New sub-project)");
    EXPECT_TRUE(tree.modified());
}

TEST_F(ProjectTreeTest, IdsOfDeletedProjectsWithRecordedTimeAreNotReused)
{
    ProjectTree tree({project(0, "A"), project(4, "Gone soon")});
    tree.remove(keyNamed(tree, "Gone soon"));
    // Project 4 still has time recorded, and an orphan names 6 as its parent.
    test::writeRecords(path, std::vector<TimeFrameRecord>{{4, 10, 20}});
    EXPECT_EQ(tree.record(tree.create("New project", ProjectTree::kNone, path)).id, 5);
    ProjectTree orphans({project(0, "A"), project(1, "Orphan", 6)});
    EXPECT_EQ(orphans.record(orphans.create("New project", ProjectTree::kNone, path)).id, 7);
}

TEST_F(ProjectTreeTest, DeletingTakesTheWholeSubtree)
{
    ProjectTree tree({project(0, "A"), project(1, "A1", 0), project(2, "A1a", 1), project(3, "B")});
    tree.remove(keyNamed(tree, "A1"));
    EXPECT_EQ(shape(tree), "A,B");
    const auto saved = tree.recordsToSave();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(fieldText(saved[1].name), "B");
}

TEST_F(ProjectTreeTest, RenamingKeepsSixtyBytes)
{
    ProjectTree tree({project(0, "A")});
    tree.rename(0, std::string(75, 'x'));
    EXPECT_EQ(fieldText(tree.record(0).name), std::string(60, 'x'));
    tree.rename(0, std::string(59, 'x') + "\xC3\xA9"); // the é would straddle the limit
    EXPECT_EQ(fieldText(tree.record(0).name), std::string(59, 'x'));
}

TEST_F(ProjectTreeTest, ADroppedProjectFollowsTheTargetWithItsSubtree)
{
    ProjectTree tree({project(0, "A"), project(1, "A1", 0), project(2, "A2", 0), project(3, "B"), project(4, "B1", 3),
        project(5, "B1a", 4)});
    ASSERT_TRUE(tree.move(keyNamed(tree, "B1"), keyNamed(tree, "A1")));
    EXPECT_EQ(shape(tree), "A(A1,B1(B1a),A2),B");
    EXPECT_EQ(tree.record(keyNamed(tree, "B1")).parentId, 0);
    ASSERT_TRUE(tree.move(keyNamed(tree, "A2"), keyNamed(tree, "B")));
    EXPECT_EQ(shape(tree), "A(A1,B1(B1a)),B,A2");
    EXPECT_EQ(tree.record(keyNamed(tree, "A2")).parentId, -1);
}

TEST_F(ProjectTreeTest, DropsOnItselfItsSubtreeOrNothingAreRefused)
{
    ProjectTree tree({project(0, "A"), project(1, "A1", 0), project(2, "A1a", 1), project(3, "B")});
    const std::string before = shape(tree);
    EXPECT_FALSE(tree.move(keyNamed(tree, "A"), keyNamed(tree, "A")));
    EXPECT_FALSE(tree.move(keyNamed(tree, "A"), keyNamed(tree, "A1a")));
    EXPECT_FALSE(tree.move(keyNamed(tree, "A"), ProjectTree::kNone));
    EXPECT_EQ(shape(tree), before);
    EXPECT_FALSE(tree.modified());
}

TEST_F(ProjectTreeTest, WhatIsSavedReadsBackAsTheSameTree)
{
    ProjectTree tree({project(0, "A"), project(1, "A1", 0), project(2, "B"), project(3, "B1", 2), project(4, "B2", 2)});
    // B moves under A after A1: its sub-projects come along, and the file
    // must now hold A before B and B before B1 and B2.
    ASSERT_TRUE(tree.move(keyNamed(tree, "B"), keyNamed(tree, "A1")));
    ASSERT_TRUE(tree.move(keyNamed(tree, "B2"), keyNamed(tree, "B")));
    const std::string shown = shape(tree);
    EXPECT_EQ(shown, "A(A1,B(B1),B2)");
    const ProjectTree reread(tree.recordsToSave());
    EXPECT_EQ(shape(reread), shown);
}

TEST_F(ProjectTreeTest, AnUnchangedOrderIsSavedAsItWasRead)
{
    const std::vector<ProjectRecord> records{
        project(3, "C"), project(0, "A"), project(5, "C1", 3), project(1, "A1", 0)};
    ProjectTree tree(records);
    tree.rename(keyNamed(tree, "A"), "Renamed");
    const auto saved = tree.recordsToSave();
    std::vector<std::int32_t> ids;
    for (const auto& r : saved)
        ids.push_back(r.id);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3, 0, 5, 1}));
}

TEST_F(ProjectTreeTest, AnOrphanWhoseParentWouldNowComeFirstIsSavedAtTheTop)
{
    // "Early" names 7 but is read before it, so it shows at the top; moving
    // it after project 7 must not hang it under 7 at the next opening.
    ProjectTree tree({project(0, "Early", 7), project(7, "Seven"), project(1, "Last")});
    ASSERT_TRUE(tree.move(keyNamed(tree, "Early"), keyNamed(tree, "Seven")));
    EXPECT_EQ(tree.record(keyNamed(tree, "Early")).parentId, -1); // a drop files it where it shows
    // Seven moves up past the orphan, which stays where it is.
    ProjectTree other({project(2, "First"), project(0, "Early", 7), project(7, "Seven")});
    ASSERT_TRUE(other.move(keyNamed(other, "Seven"), keyNamed(other, "First")));
    EXPECT_EQ(shape(other), "First,Seven,Early");
    const auto saved = other.recordsToSave();
    const ProjectTree reread(saved);
    EXPECT_EQ(shape(reread), "First,Seven,Early");
    EXPECT_EQ(saved[2].parentId, -1);
}

TEST_F(ProjectTreeTest, AParentWithASharedIdOrIdMinusOneIsSavedWithAFreshOne)
{
    // Two projects share id 1; C hangs under the later one.
    ProjectTree shared({project(1, "A"), project(1, "B"), project(1, "C", 1)});
    EXPECT_EQ(shape(shared), "A,B(C)");
    shared.create("A1", keyNamed(shared, "A"), path);
    EXPECT_EQ(shape(shared), "A(A1),B(C)");
    const auto saved = shared.recordsToSave();
    EXPECT_EQ(shape(ProjectTree(saved)), "A(A1),B(C)");
    // The first of the shared id keeps it: time recorded under 1 showed as
    // A's and still does.
    EXPECT_EQ(saved[0].id, 1);
    std::set<std::int32_t> ids;
    for (const auto& r : saved)
        ids.insert(r.id);
    EXPECT_EQ(ids.size(), 4u);
    // A project with id -1 can be nobody's parent as it stands.
    ProjectTree minusOne({project(-1, "X"), project(3, "Y")});
    minusOne.create("X1", keyNamed(minusOne, "X"), path);
    const auto written = minusOne.recordsToSave();
    EXPECT_EQ(shape(ProjectTree(written)), "X(X1),Y");
    EXPECT_NE(written[0].id, -1);
    EXPECT_GT(written[0].id, 4) << "fresh, not an id in use";
    // A drop alone can call for a fresh id; it passes over the ids the time
    // frames still use, as a new project's does.
    test::writeRecords(path, std::vector<TimeFrameRecord>{{9, 0, 60}});
    ProjectTree dropped({project(1, "A"), project(3, "C", 1), project(1, "B"), project(2, "D")});
    dropped.setDataSetPath(path);
    ASSERT_EQ(shape(dropped), "A(C),B,D");
    ASSERT_TRUE(dropped.move(keyNamed(dropped, "D"), keyNamed(dropped, "C")));
    const auto afterDrop = dropped.recordsToSave();
    EXPECT_EQ(shape(ProjectTree(afterDrop)), "A(C,D),B");
    for (const ProjectRecord& r : afterDrop)
        EXPECT_TRUE(r.id <= 3 || r.id > 9) << "id " << r.id << " of " << fieldText(r.name);
}

TEST_F(ProjectTreeTest, AChainOfThirtyThousandIsShownNoDeeperThanATreeCanLayOut)
{
    std::vector<ProjectRecord> chain;
    for (int i = 0; i < 30000; ++i)
        chain.push_back(project(i, "Link", i - 1));
    ProjectTree tree(chain);
    const int perRoot = ProjectTree::kMaxDepth + 1;
    EXPECT_EQ(tree.childrenOf(ProjectTree::kNone).size(), static_cast<std::size_t>((30000 + perRoot - 1) / perRoot));
    int deepest = 0;
    for (int key : tree.listOrder())
        deepest = std::max(deepest, tree.depthOf(key));
    EXPECT_EQ(deepest, ProjectTree::kMaxDepth);
    // Unchanged, it is written back as it was read.
    const auto same = tree.recordsToSave();
    EXPECT_EQ(std::memcmp(same.data(), chain.data(), chain.size() * sizeof(ProjectRecord)), 0);
    // Nothing grows past the limit: a sub-project of the deepest goes to the
    // top, and a drop that would sink a subtree below it is refused.
    const int deepestKey = ProjectTree::kMaxDepth;
    EXPECT_EQ(tree.parentForNew(deepestKey), ProjectTree::kNone);
    EXPECT_EQ(tree.parentForNew(deepestKey - 1), deepestKey - 1);
    EXPECT_FALSE(tree.canMove(perRoot, deepestKey - 1)) << "a whole chain of " << perRoot << " below depth 127";
    EXPECT_TRUE(tree.canMove(tree.listOrder().back(), deepestKey));
    // Deleting from the top takes the whole rest of its chain, without recursion.
    tree.remove(0);
    EXPECT_EQ(tree.size(), 30000 - perRoot);
    const ProjectTree reread(tree.recordsToSave());
    EXPECT_EQ(reread.size(), tree.size());
    EXPECT_EQ(reread.childrenOf(ProjectTree::kNone).size(), tree.childrenOf(ProjectTree::kNone).size());
}

// Damaged files (ids shared, ids of -1, parents named before, after or not at
// all) edited at random: whatever the tree shows is what the next opening
// shows, sub-projects included.
TEST_F(ProjectTreeTest, DamagedIdsNeverMoveASubProjectOnSave)
{
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    int failures = 0;
    for (int round = 0; round < 400 && failures < 5; ++round) {
        std::vector<ProjectRecord> records;
        const int count = pick(0, 12);
        for (int i = 0; i < count; ++i) {
            const std::string name = "p" + std::to_string(i);
            records.push_back(project(pick(-1, 5), name.c_str(), pick(-2, 5)));
        }
        ProjectTree tree(records);
        int made = 0;
        for (int edit = pick(1, 8); edit > 0; --edit) {
            const std::vector<int> keys = tree.listOrder();
            const int any
                = keys.empty() ? ProjectTree::kNone : keys[static_cast<std::size_t>(pick(0, int(keys.size()) - 1))];
            const std::string name = "n" + std::to_string(made++);
            switch (pick(0, 3)) {
            case 0:
                tree.create(name, ProjectTree::kNone, path);
                break;
            case 1:
                tree.create(name, any, path);
                break;
            case 2:
                tree.remove(any);
                break;
            case 3:
                tree.move(any,
                    keys.empty() ? ProjectTree::kNone : keys[static_cast<std::size_t>(pick(0, int(keys.size()) - 1))]);
                break;
            }
        }
        const ProjectTree reread(tree.recordsToSave());
        if (shape(reread) != shape(tree)) {
            ++failures;
            ADD_FAILURE() << "round " << round << ": shown " << shape(tree) << ", read back " << shape(reread);
        }
    }
}

} // namespace
} // namespace quillory
