#include "app/document.h"
#include "app/mainframe.h"
#include "chart/quilloryview.h"
#include "chart/viewpainter.h"
#include "data/fileio.h"
#include "data/localedefaults.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/qt/localedates.h"
#include "platform/qt/qtdevicecontext.h"
#include "support/guisupport.h"
#include "support/recordingdc.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <tuple>

namespace quillory {
namespace {

using test::at;

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createDataSet(path, LocaleDefaults{"$", true}));
        ProjectRecord alpha = newProjectRecord(1, "Alpha", -1);
        alpha.pricePerHour = 60.0;
        test::writeRecords(path, std::vector<ProjectRecord>{alpha});
        // Tuesday 5 March, 09:00 to 11:00.
        test::writeRecords(path, std::vector<TimeFrameRecord>{{1, at(1996, 3, 5, 9, 0), at(1996, 3, 5, 11, 0)}});
    }
    void start()
    {
        doc = std::make_unique<CQuilloryDoc>(prompter, clock, path, dir.file("LastOpenedFile.cfg"));
        frame = std::make_unique<CMainFrame>(*doc, prompter, clock, help, profile);
        frame->show();
        frame->resize(800, 600);
        frame->view().OnActivateView();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }
    CQuilloryView& view() { return frame->view(); }

    test::TimeZone zone{"Europe/Berlin"};
    test::TempDir dir;
    std::string path = dir.file("View.qly");
    test::ScriptedPrompter prompter;
    test::FakeClock clock{at(1996, 3, 6, 12, 0)};
    test::MemoryProfile profile;
    test::RecordingHelp help;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ViewTest, AnotherDataSetShowsNothingOfThePreviousOneEvenWhenItCannotBeRead)
{
    start();
    ASSERT_EQ(view().chart().items().size(), 1u);
    ASSERT_GT(view().totals().m_totalMinutes[kThisYear], 0);
    const std::string other = dir.file("Other.qly");
    ASSERT_TRUE(createDataSet(other, LocaleDefaults{"$", true}));
    std::filesystem::remove(siblingPath(other, "tfr"));
    prompter.openNames.push_back(other);
    doc->OnFileOpen();
    EXPECT_EQ(doc->path(), other);
    EXPECT_TRUE(view().chart().items().empty());
    EXPECT_EQ(view().totals().m_totalMinutes[kThisYear], 0);
    EXPECT_FALSE(prompter.messages.empty()) << "the missing file is reported";
}

TEST_F(ViewTest, RendersABarAndThePanelsOnScreen)
{
    start();
    const QImage image = view().grab().toImage();
    ASSERT_EQ(image.width(), view().width());
    const Rect chart = view().chart().rect(); // as the paint left it
    const int W = view().width();
    const int hourWidth = (W - 10 - 150) / 12;
    const int hoursLeft = 5 + 150 + (W - 10 - 150) % 12;
    const int rowHeight = chart.height() / 7;
    // Tuesday's row, the middle of the bar from 09:00 (column 1) to 11:00 (column 3).
    const QColor bar = image.pixelColor(hoursLeft + 2 * hourWidth, chart.top + rowHeight + rowHeight / 2);
    EXPECT_EQ(bar, QColor(255, 0, 0));
    // The bar is framed in black and the row around it is white.
    EXPECT_EQ(image.pixelColor(hoursLeft + hourWidth, chart.top + rowHeight + rowHeight / 2), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(hoursLeft + 2 * hourWidth, chart.top + rowHeight + 2), QColor(255, 255, 255));
    // Grey background between the panels and the chart.
    EXPECT_EQ(image.pixelColor(W / 2, 60), QColor(192, 192, 192));

    // The totals' first label starts 8 pixels in, in the first row (30..45):
    // dark text there, white box before it.
    int darkInLabel = 0;
    for (int x = 8; x < 60; ++x) {
        for (int y = 31; y < 45; ++y)
            darkInLabel += image.pixelColor(x, y).lightness() < 100;
    }
    EXPECT_GT(darkInLabel, 20);
    for (int y = 31; y < 45; ++y)
        EXPECT_EQ(image.pixelColor(6, y), QColor(255, 255, 255)) << y;
    EXPECT_EQ(view().totals().m_totalLabels[0], "Today (03/06/1996)");
    EXPECT_EQ(view().totals().m_totalMinutes[1], 120);
}

TEST_F(ViewTest, ActivationReloadsTotalsAndWeek)
{
    start();
    ASSERT_EQ(view().chart().items().size(), 1u);
    ASSERT_TRUE(appendTimeFrame({1, at(1996, 3, 6, 8, 0), at(1996, 3, 6, 9, 0)}, path, prompter));
    view().OnActivateView();
    EXPECT_EQ(view().chart().items().size(), 2u);
    EXPECT_EQ(view().totals().m_totalMinutes[0], 60);
}

// The files an activation opens, by name.
class OpenedFiles : public PosixFileSystem {
public:
    std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override
    {
        opened.push_back(path);
        return PosixFileSystem::open(path, mode);
    }
    long count(const std::string& path) const { return std::count(opened.begin(), opened.end(), path); }
    std::vector<std::string> opened;
};

TEST_F(ViewTest, ActivationReadsTheTimeFramesAndTheProjectsOnce)
{
    start();
    ASSERT_TRUE(appendTimeFrame({1, at(1996, 3, 6, 8, 0), at(1996, 3, 6, 9, 0)}, path, prompter));
    OpenedFiles files;
    {
        ScopedFileSystem scope(files);
        view().OnActivateView();
    }
    EXPECT_EQ(files.count(siblingPath(path, "tfr")), 1);
    EXPECT_EQ(files.count(siblingPath(path, "prj")), 1);
    // And both the totals and the week are of what was read.
    EXPECT_EQ(view().chart().items().size(), 2u);
    EXPECT_EQ(view().totals().m_totalMinutes[kToday], 60);
    EXPECT_EQ(view().totals().m_totalMinutes[kThisWeek], 180);
}

TEST_F(ViewTest, AMissingTimeFramesFileIsReportedOnceNotAtEveryActivation)
{
    start();
    std::filesystem::remove(siblingPath(path, "tfr"));
    prompter.clear();
    view().OnActivateView();
    view().OnActivateView();
    view().OnActivateView();
    const std::string expected = "Cannot open time frames file : " + siblingPath(path, "tfr");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{expected});
    // Once the file is back, a later loss is reported again.
    ASSERT_TRUE(createDataSet(path, LocaleDefaults{}));
    view().OnActivateView();
    std::filesystem::remove(siblingPath(path, "tfr"));
    view().OnActivateView();
    EXPECT_EQ(prompter.texts().size(), 2u);
}

TEST_F(ViewTest, AMissingProjectsFileIsReportedOnceToo)
{
    start();
    std::filesystem::remove(siblingPath(path, "prj"));
    prompter.clear();
    for (int i = 0; i < 4; ++i)
        view().OnActivateView();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot open project file : " + siblingPath(path, "prj")});
    EXPECT_EQ(view().chart().items().at(0).name, "(deleted project)");
}

TEST_F(ViewTest, HintsFromTheDocumentRefreshTheView)
{
    start();
    const std::string other = dir.file("Other.qly");
    ASSERT_TRUE(createDataSet(other, LocaleDefaults{}));
    prompter.openNames.push_back(other);
    doc->OnFileOpen();
    EXPECT_TRUE(view().chart().items().empty());
    EXPECT_EQ(view().totals().m_totalMinutes[3], 0);
}

TEST_F(ViewTest, TheTimerTakesThePauseOffTheRunningProjects)
{
    start();
    doc->CheckIn(1);
    doc->TogglePause();
    clock.advance(30);
    view().OnTimer();
    EXPECT_EQ(doc->running()[0].start, clock.now());
}

// Records the drawing and measures texts in the fonts the screen uses.
class ScreenFontDC : public test::RecordingDC {
public:
    void setFont(const FontSpec& font) override
    {
        RecordingDC::setFont(font);
        m_metrics.emplace(qtFont(font));
    }
    int textWidth(const std::string& text) override
    {
        return m_metrics ? m_metrics->horizontalAdvance(QString::fromStdString(text)) : 0;
    }

private:
    std::optional<QFontMetrics> m_metrics;
};

TEST_F(ViewTest, ABusyYearsTotalsFitTheDefaultWindowInBothDateOrders)
{
    // 70 days of 27 hours at 60.00: 1890:00 and 113400.00 this year.
    std::vector<TimeFrameRecord> frames;
    for (int day = 0; day < 70; ++day) {
        const Timestamp start = at(1996, 1, 1, 6, 0) + day * 86400;
        frames.push_back({1, start, start + 27 * 3600});
    }
    test::writeRecords(path, frames);
    for (const auto& [american, symbol, week] :
        std::vector<std::tuple<bool, const char*, const char*>>{{true, "$", "This week (03/04/1996 - 03/10/1996)"},
            {false, "\u20ac", "This week (04/03/1996 - 10/03/1996)"}}) {
        SettingsRecord settings{};
        ASSERT_TRUE(readSettings(path, settings));
        settings.americanDates = american ? 1 : 0;
        setFieldText(settings.monetarySymbol, symbol);
        ASSERT_TRUE(writeSettings(settings, path, prompter));
        start();
        frame->setPlacement({30, 30, 600, 400});
        view().OnActivateView();
        EXPECT_EQ(view().totals().m_totalLabels[1], week);
        ScreenFontDC dc;
        const int W = view().width();
        EXPECT_GE(W, 590);
        DrawTotalsPanel(dc, layoutView(dc, W, &view().totals(), symbol), &view().totals(), symbol);
        EXPECT_EQ(dc.textCall("1890:00").flags, kTextRight | kTextVCenter | kTextSingleLine);
        dc.textCall(std::string(symbol) + "113400.00");
        for (const test::DrawCall& c : dc.ofKind(test::DrawCall::Text)) {
            dc.setFont(c.font);
            EXPECT_LE(dc.textWidth(c.text), c.rect.width()) << c.text;
        }
        TearDown();
    }
}

TEST(LongDateWithoutYear, TakesTheYearAndItsSeparatorOut)
{
    EXPECT_EQ(longDateFormatWithoutYear("dddd, MMMM d, yyyy").toStdString(), "dddd, MMMM d");
    EXPECT_EQ(longDateFormatWithoutYear("dddd, d. MMMM yyyy").toStdString(), "dddd, d. MMMM");
    EXPECT_EQ(longDateFormatWithoutYear("dddd d MMMM yyyy").toStdString(), "dddd d MMMM");
    EXPECT_EQ(longDateFormatWithoutYear("yyyy'年'M'月'd'日'dddd").toStdString(), "M'月'd'日'dddd");
    EXPECT_EQ(longDateFormatWithoutYear("dddd, d MMMM yyyy 'г'.").toStdString(), "dddd, d MMMM");
    EXPECT_EQ(longDateFormatWithoutYear("dddd, MMMM d").toStdString(), "dddd, MMMM d");
    EXPECT_EQ(longDateWithoutYear(QLocale(QLocale::English, QLocale::UnitedStates), QDate(1996, 3, 4)).toStdString(),
        "Monday, March 4");
    EXPECT_EQ(longDateWithoutYear(QLocale(QLocale::German, QLocale::Germany), QDate(1996, 3, 4)).toStdString(),
        "Montag, 4. März");
}

} // namespace
} // namespace quillory
