// Names are never made of control characters in the window either: the
// edit fields take none, pasted or typed, and a name that holds one anyway
// is refused with the strict-input message.
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/qt/utf8limit.h"
#include "records/projectinfodialog.h"
#include "records/projecttreemodel.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace quillory {
namespace {

const char* const kControlled[] = {"\x1b[2J\x1b[31mred", "bell\a", "tab\there", "del\x7f", "next\xc2\x85line"};

TEST(ControlCharacters, EditFieldsTakeNone)
{
    QLineEdit edit;
    limitToBytes(&edit, 60);
    for (const char* text : kControlled) {
        QString input = QString::fromUtf8(text);
        int position = 0;
        EXPECT_EQ(edit.validator()->validate(input, position), QValidator::Invalid) << text;
    }
    QString plain = QStringLiteral("Müller & Søn");
    int position = 0;
    EXPECT_EQ(edit.validator()->validate(plain, position), QValidator::Acceptable);
}

TEST(ControlCharacters, ANameHoldingThemIsRefused)
{
    test::TempDir dir;
    const std::string plans = dir.file("Plans.qly");
    ASSERT_TRUE(createDataSet(plans, LocaleDefaults{"$", true}));
    const std::string prj = siblingPath(plans, "prj");
    test::ScriptedPrompter prompter;
    for (const char* text : kControlled) {
        SCOPED_TRACE(text);
        prompter.clear();
        ProjectRecord record = newProjectRecord(3, "Site", -1);
        ProjectInfoDialog dialog(prj, record, prompter);
        dialog.nameEdit()->setText(QString::fromUtf8(text));
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{kControlCharactersMessage});
        EXPECT_EQ(prompter.messages.front().caption, "Warning");
        EXPECT_EQ(fieldText(record.name), "Site");

        ProjectTree tree({newProjectRecord(3, "Site", -1)});
        ProjectTreeModel model(tree);
        EXPECT_FALSE(model.setData(model.index(0, 0), QString::fromUtf8(text)));
        EXPECT_EQ(fieldText(tree.record(tree.listOrder().front()).name), "Site");
    }
}

} // namespace
} // namespace quillory
