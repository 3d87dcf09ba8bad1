#include "chart/runningprojectdialog.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace quillory {
namespace {

class RunningProjectDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
        test::writeRecords(
            dataSet, std::vector<ProjectRecord>{newProjectRecord(1, "One", -1), newProjectRecord(2, "Two", -1)});
    }
    test::TempDir dir;
    std::string dataSet = dir.file("Run.qly");
    test::ScriptedPrompter prompter;
};

TEST_F(RunningProjectDialogTest, ListsTheNamesInCheckInOrderWithTheFirstSelected)
{
    RunningProjectDialog d({2, 1, 2}, siblingPath(dataSet, "prj"), prompter);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Select a running project"));
    ASSERT_EQ(d.list()->count(), 3);
    EXPECT_EQ(d.list()->item(0)->text(), QStringLiteral("Two"));
    EXPECT_EQ(d.list()->item(1)->text(), QStringLiteral("One"));
    EXPECT_EQ(d.list()->item(2)->text(), QStringLiteral("Two"));
    EXPECT_EQ(d.list()->currentRow(), 0);
    d.list()->setCurrentRow(1);
    d.accept();
    EXPECT_EQ(d.selectedId(), 1);
}

TEST_F(RunningProjectDialogTest, ADoubleClickChooses)
{
    RunningProjectDialog d({1, 2}, siblingPath(dataSet, "prj"), prompter);
    d.show();
    const QRect second = d.list()->visualItemRect(d.list()->item(1));
    QTest::mouseClick(d.list()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(d.list()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.selectedId(), 2);
}

TEST_F(RunningProjectDialogTest, CancelChoosesNothing)
{
    RunningProjectDialog d({1, 2}, siblingPath(dataSet, "prj"), prompter);
    d.reject();
    EXPECT_EQ(d.selectedId(), -1);
}

} // namespace
} // namespace quillory
