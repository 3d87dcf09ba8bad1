// A projects file nested deeper than any tree view can lay out opens in the
// projects dialog without exhausting the stack.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "records/projectsdialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace quillory {
namespace {

TEST(DeepProjects, AChainOfThirtyThousandOpensAndSaves)
{
    test::TempDir dir;
    const std::string dataSet = dir.file("Deep.qly");
    ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
    std::vector<ProjectRecord> chain;
    for (int i = 0; i < 30000; ++i)
        chain.push_back(newProjectRecord(i, "Link", i - 1));
    const std::string prj = siblingPath(dataSet, "prj");
    test::writeBytes(prj, test::bytesOf(chain));
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
    ProjectsDialog dialog(prj, ProjectsDialog::EditMode, prompter, help);
    dialog.show();
    QApplication::processEvents();
    dialog.accept();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(test::readBytes(prj), test::bytesOf(chain)) << "nothing changed, nothing rewritten";
}

} // namespace
} // namespace quillory
