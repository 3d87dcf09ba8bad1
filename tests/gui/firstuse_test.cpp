// What a new user meets: the first check-in without projects, the data set
// reopened from anywhere, F1 wherever the focus is.
#include "app/documentdialogs.h"
#include "app/quilloryapp.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/qt/helpkey.h"
#include "records/customersdialog.h"
#include "records/historydialog.h"
#include "records/projectsdialog.h"
#include "support/guisupport.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace quillory {
namespace {

// Answers each modal dialog, by its object name, as it comes up.
class ModalScript {
public:
    explicit ModalScript(std::map<QString, std::function<void(QWidget*)>> steps)
        : m_steps(std::move(steps))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last)
                return;
            m_last = modal;
            seen.push_back(modal->objectName().toStdString());
            if (const auto step = m_steps.find(modal->objectName()); step != m_steps.end())
                step->second(modal);
        });
        m_timer.start(10);
    }
    std::vector<std::string> seen;

private:
    std::map<QString, std::function<void(QWidget*)>> m_steps;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

TEST(FirstUse, CheckInWithoutProjectsOffersToCreateOne)
{
    for (const bool create : {false, true}) {
        SCOPED_TRACE(create);
        test::TempDir dir;
        const std::string path = dir.file("First.qly");
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        test::ScriptedPrompter prompter;
        test::RecordingHelp help;
        test::FakeClock clock;
        QtDocumentDialogs dialogs(prompter, help, clock);
        prompter.answers = {create ? MessageAnswer::Yes : MessageAnswer::No};
        std::string selectedAtOpening;
        ModalScript script({
            {QStringLiteral("projectInfoDialog"),
                [](QWidget* info) {
                    // The name is typed over "New project", then Done.
                    auto* name = info->findChild<QLineEdit*>(QStringLiteral("name"));
                    EXPECT_EQ(name->selectedText(), QStringLiteral("New project"));
                    test::typeText(name, QStringLiteral("Backend"));
                    QTest::keyClick(name, Qt::Key_Return);
                }},
            {QStringLiteral("projectsDialog"),
                [&](QWidget* projects) {
                    auto* tree = projects->findChild<QTreeView*>();
                    selectedAtOpening = tree->currentIndex().data().toString().toStdString();
                    QTest::keyClick(tree, create ? Qt::Key_Return : Qt::Key_Escape);
                }},
        });
        const auto chosen = dialogs.chooseProject(siblingPath(path, "prj"));
        EXPECT_EQ(prompter.texts().at(0), "There are no projects yet. Create one now?");
        if (!create) {
            EXPECT_EQ(script.seen, std::vector<std::string>{"projectsDialog"}) << "the empty list as before";
            EXPECT_FALSE(chosen);
            continue;
        }
        EXPECT_EQ(script.seen, (std::vector<std::string>{"projectInfoDialog", "projectsDialog"}));
        EXPECT_EQ(selectedAtOpening, "Backend");
        EXPECT_EQ(chosen, std::optional<std::int32_t>(0));
        const auto saved = readRecords<ProjectRecord>(siblingPath(path, "prj")).value();
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(fieldText(saved[0].name), "Backend");
        // With a project there, nothing is asked.
        prompter.clear();
        ModalScript pick({{QStringLiteral("projectsDialog"), [](QWidget* d) { static_cast<QDialog*>(d)->accept(); }}});
        EXPECT_EQ(dialogs.chooseProject(siblingPath(path, "prj")), std::optional<std::int32_t>(0));
        EXPECT_TRUE(prompter.messages.empty());
    }
}

// The user's settings in a folder of the test's own, the user's home untouched.
class ScopedSettings {
public:
    explicit ScopedSettings(const std::string& folder)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(folder));
    }
    ~ScopedSettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
            qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config")));
    }
};

TEST(FirstUse, TheLastDataSetIsReopenedFromAnyFolder)
{
    test::TempDir dir;
    const ScopedSettings settings(dir.file("config"));
    const std::string a = dir.file("A.qly");
    const std::string b = dir.file("B.qly");
    ASSERT_TRUE(createDataSet(a, LocaleDefaults{}));
    ASSERT_TRUE(createDataSet(b, LocaleDefaults{}));
    const std::string cfg = dir.file("LastOpenedFile.cfg");
    const auto opened = [&](const QStringList& arguments) {
        CQuilloryApp app(arguments, cfg);
        return app.document().isOpen() ? app.document().path() : std::string("(none)");
    };
    const struct {
        const char* what;
        std::function<void()> before;
        QStringList arguments;
        std::string opened;
    } starts[] = {
        {"first start anywhere", [] {}, {}, "(none)"},
        {"a data set named", [] {}, {QString::fromStdString(a)}, a},
        {"another folder: the user's last", [&] { std::filesystem::remove(cfg); }, {}, a},
        {"the folder's file says otherwise", [&] { test::writeBytes(cfg, b + std::string(1, '\0')); }, {}, b},
        {"the folder's file names nothing there", [&] { test::writeBytes(cfg, dir.file("Gone.qly") + '\0'); }, {},
            "(none)"},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.what);
        start.before();
        EXPECT_EQ(opened(start.arguments), start.opened);
    }
    EXPECT_EQ(rememberedDataSet(), b);
    EXPECT_EQ(test::readBytes(cfg), dir.file("Gone.qly") + '\0') << "nothing open: the file is left alone";
}

TEST(FirstUse, F1OpensTheTopicOfTheDialogThatHasTheFocus)
{
    test::TempDir dir;
    const std::string path = dir.file("Help.qly");
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
    test::ScriptedPrompter prompter;
    test::RecordingHelp help;
    test::FakeClock clock;
    HelpKey key(help, kHelpIndex);
    qApp->installEventFilter(&key);
    ProjectsDialog projects(siblingPath(path, "prj"), ProjectsDialog::EditMode, prompter, help);
    CustomersDialog customers(siblingPath(path, "cus"), prompter);
    HistoryDialog history(path, prompter, help, clock);
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Confirmation"), QStringLiteral("?"), QMessageBox::Ok, &customers);
    QDialog other;
    other.setObjectName(QStringLiteral("invoiceDialog"));
    for (QWidget* w : std::initializer_list<QWidget*>{&projects, &customers, &history, &box, &other}) {
        w->show();
        QWidget* focus = w->focusWidget() ? w->focusWidget() : w;
        QTest::keyClick(focus, Qt::Key_F1);
        w->hide();
    }
    qApp->removeEventFilter(&key);
    EXPECT_EQ(help.contexts, (std::vector<int>{700, 500, 600, 500, 100}));
}

} // namespace
} // namespace quillory
