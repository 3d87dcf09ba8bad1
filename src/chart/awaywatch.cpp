#include "chart/awaywatch.h"

#include "app/commands.h"
#include "app/document.h"
#include "app/mainframe.h"
#include "app/optionsdialog.h"
#include "chart/awaydialog.h"
#include "chart/quilloryview.h"
#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/qt/idlesources.h"

#include <QSettings>
#include <QWidget>

namespace quillory {

namespace {

// Often enough that the question comes as the user sits down, seldom
// enough to cost nothing.
constexpr int kLookEveryMs = 5000;
const QString kGroup = QStringLiteral("Away");

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("KORVAN"), QStringLiteral("Quillory"));
}

} // namespace

AwayOptions loadAwayOptions(QSettings& settings)
{
    settings.beginGroup(kGroup);
    const auto text = [&settings](const QString& key) -> std::optional<std::string> {
        const QVariant value = settings.value(key);
        if (!value.isValid())
            return std::nullopt;
        return value.toString().trimmed().toLower().toStdString();
    };
    const AwayOptions options = readAwayOptions(text(QStringLiteral("ask")), text(QStringLiteral("minutes")));
    settings.endGroup();
    return options;
}

void saveAwayOptions(QSettings& settings, const AwayOptions& options)
{
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("ask"), options.ask);
    settings.setValue(QStringLiteral("minutes"), options.minutes);
    settings.endGroup();
    settings.sync();
}

AwayWatch::AwayWatch(CQuilloryDoc& doc, TimingView& view, QWidget& window, const Clock& clock,
    std::unique_ptr<IdleSource> idle, std::unique_ptr<SleepClock> sleep, QObject* parent)
    : QObject(parent)
    , m_doc(doc)
    , m_view(view)
    , m_window(window)
    , m_clock(clock)
    , m_idle(std::move(idle))
    , m_sleep(std::move(sleep))
{
    m_timer.setInterval(kLookEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &AwayWatch::tick);
    m_timer.start();
}

AwayWatch::~AwayWatch()
{
    // The question is the window's child, and the window may outlive the watch.
    if (m_dialog)
        m_dialog->deleteLater();
}

void AwayWatch::setOptions(const AwayOptions& options)
{
    m_options = options;
    m_tracker.setThreshold(std::int64_t{options.minutes} * 60);
}

void AwayWatch::tick()
{
    refreshQuestion();
    if (!m_options.ask || !m_doc.isOpen() || m_doc.path() != m_watched) {
        // Another data set's projects were never seen running here.
        m_tracker.reset();
        m_watched = m_doc.isOpen() ? m_doc.path() : std::string();
        if (!m_options.ask || !m_doc.isOpen())
            return;
    }
    // Sampled also while nothing is timed: a project started while the user
    // is away (from the command line, say) is then known as such.
    const AwaySample sample{
        m_clock.now(), m_sleep->sinceBootMs(), m_sleep->awakeMs(), m_idle ? m_idle->idleMilliseconds() : std::nullopt};
    if (const auto period
        = m_tracker.observe(sample, m_doc.isPaused() ? std::vector<RunningProject>{} : m_doc.running()))
        ask(*period);
}

void AwayWatch::ask(const AwayPeriod& period)
{
    m_period = m_dialog && m_period ? extendPeriod(*m_period, period) : period;
    if (!m_dialog) {
        m_dialog = new AwayDialog(&m_window);
        connect(m_dialog, &AwayDialog::answered, this, &AwayWatch::answer);
    }
    m_asked.clear();
    refreshQuestion();
    if (!m_dialog)
        return;
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.raise();
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void AwayWatch::refreshQuestion()
{
    if (!m_dialog || !m_period)
        return;
    const std::vector<RunningProject> entries
        = m_doc.path() == m_watched ? awayStillTimed(*m_period, m_doc) : std::vector<RunningProject>{};
    if (entries.empty()) {
        closeQuestion();
        return;
    }
    if (entries == m_asked)
        return;
    m_asked = entries;
    const bool americanDates = displaySettings(m_doc.path()).americanDates != 0;
    m_dialog->setQuestion(qs(awayQuestionText(*m_period, awayProjectNames(entries, m_doc), americanDates)),
        qs(awayAnswerLabel(AwayAnswer::CheckOut, *m_period)));
}

void AwayWatch::closeQuestion()
{
    if (m_dialog) {
        m_dialog->hide();
        m_dialog->deleteLater();
    }
    m_dialog = nullptr;
    m_period.reset();
    m_asked.clear();
}

void AwayWatch::answer(AwayAnswer answer)
{
    if (!m_period)
        return;
    const AwayPeriod period = *m_period;
    closeQuestion();
    // A question about another data set's projects (one opened since) is
    // about nothing here.
    if (answer == AwayAnswer::Keep || m_doc.path() != m_watched)
        return;
    answerAway(m_doc, period, answer);
    // An answer the disk refused (said already) leaves the projects timed
    // across the time away: the question comes back, so that the time can
    // still be left out once there is room, not only billed by Check Out.
    if (!awayStillTimed(period, m_doc).empty())
        ask(period);
    m_view.RefreshRunningPanel();
    m_view.RefreshTotals();
    m_view.RefreshChart();
    if (m_afterAnswer)
        m_afterAnswer();
}

void AwayWatch::OnOptions()
{
    const auto settings = m_settings ? m_settings() : userSettings();
    OptionsDialog dialog(loadAwayOptions(*settings), hasIdleSource(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    saveAwayOptions(*settings, dialog.options());
    setOptions(dialog.options());
}

AwayWatch* watchTimeAway(CMainFrame& frame, CQuilloryDoc& doc, const Clock& clock, std::unique_ptr<IdleSource> idle,
    std::unique_ptr<SleepClock> sleep)
{
    auto* watch = new AwayWatch(doc, frame.view(), frame, clock, std::move(idle), std::move(sleep), &frame);
    watch->setOptions(loadAwayOptions(*userSettings()));
    watch->setAfterAnswer([&frame] { frame.refreshCommandStates(); });
    frame.setCommandHandler(ID_OPTIONS, [watch] { watch->OnOptions(); });
    return watch;
}

AwayWatch* watchTimeAway(CMainFrame& frame, CQuilloryDoc& doc, const Clock& clock)
{
    return watchTimeAway(frame, doc, clock, desktopIdleSource(), std::make_unique<SystemSleepClock>());
}

} // namespace quillory
