// Projects files a disk or another program damaged, in the projects dialog.
#include "data/fileio.h"
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

TEST(DamagedProjects, AChainOfThirtyThousandOpensAndSaves)
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

// The projects file cannot be read, and the disk fails the one look the
// dialog takes before saving: the file may well be there, so what the dialog
// shows (nothing) is not saved over it.
TEST(DamagedProjects, AFileThatCannotBeLookedAtIsNeverSavedOverByAnEmptyTree)
{
    test::TempDir dir;
    const std::string dataSet = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(dataSet, LocaleDefaults{}));
    const std::string prj = siblingPath(dataSet, "prj");
    const std::string precious = test::bytesOf(std::vector<ProjectRecord>{newProjectRecord(0, "Precious", -1)});
    test::writeBytes(prj, precious);
    class FailingOnce : public PosixFileSystem {
    public:
        std::string path;
        int opens = 0;
        int looks = 0;
        std::unique_ptr<FileHandle> open(const std::string& file, OpenMode mode) override
        {
            return file == path && mode == OpenMode::Read && opens++ == 0 ? nullptr : PosixFileSystem::open(file, mode);
        }
        FileType type(const std::string& file) override
        {
            return file == path && looks++ == 0 ? FileType::Unknown : PosixFileSystem::type(file);
        }
    } disk;
    disk.path = prj;
    ScopedFileSystem scope(disk);
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
    ProjectsDialog dialog(prj, ProjectsDialog::EditMode, prompter, help);
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(test::readBytes(prj), precious);
}

} // namespace
} // namespace quillory
