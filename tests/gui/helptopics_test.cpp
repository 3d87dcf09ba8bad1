#include "platform/qt/helpwindow.h"
#include "support/testenv.h"

#include <QDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace quillory {
namespace {

TEST(HelpTopics, InstalledTopicsBesideTheProgramComeFirst)
{
    test::TempDir prefix;
    const QString bin = QString::fromStdString(prefix.file("bin"));
    std::filesystem::create_directories(prefix.file("bin"));
    // Nothing installed: the topics inside the program.
    EXPECT_EQ(helpTopicUrl(300, bin), QUrl(QStringLiteral("qrc:/help/topic300.html")));
    std::filesystem::create_directories(prefix.file("share/quillory/help"));
    test::writeBytes(prefix.file("share/quillory/help/topic300.html"), "<p>installed</p>");
    const QUrl installed = helpTopicUrl(300, bin);
    EXPECT_EQ(installed, QUrl::fromLocalFile(QString::fromStdString(prefix.file("share/quillory/help/topic300.html"))));
    // A topic that was not installed still opens.
    EXPECT_EQ(helpTopicUrl(700, bin), QUrl(QStringLiteral("qrc:/help/topic700.html")));
    EXPECT_EQ(helpTopicUrl(12345, bin), QUrl(QStringLiteral("qrc:/help/topic100.html")));
}

} // namespace
} // namespace quillory
