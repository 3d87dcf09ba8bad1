// The window's side of time away: while projects are timed and not paused it
// samples the desktop's idle time and the machine's clocks every few seconds,
// hands them to the tracker, and at the return raises the window with the
// question. The question stays in step with the document: a project checked
// out or paused meanwhile drops out of it, and with none left it goes. A
// second period away while it is open extends it.
#pragma once

#include "chart/away.h"
#include "chart/awaydialog.h"
#include "chart/awayquestion.h"
#include "platform/idlesource.h"
#include "platform/sleepclock.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QSettings;
class QWidget;

namespace quillory {

class CMainFrame;
class CQuilloryDoc;
class Clock;
class TimingView;

// The options as kept in `settings` (group "Away", keys "ask" and "minutes").
AwayOptions loadAwayOptions(QSettings& settings);
void saveAwayOptions(QSettings& settings, const AwayOptions& options);

class AwayWatch final : public QObject {
    Q_OBJECT
public:
    // `window` is raised for the question and owns it; no idle source means
    // only sleep is seen.
    AwayWatch(CQuilloryDoc& doc, TimingView& view, QWidget& window, const Clock& clock,
        std::unique_ptr<IdleSource> idle, std::unique_ptr<SleepClock> sleep, QObject* parent = nullptr);
    ~AwayWatch() override;

    void setOptions(const AwayOptions& options);
    const AwayOptions& options() const { return m_options; }
    // The threshold in seconds rather than minutes, for tests that cannot
    // wait a minute, and how often to look.
    void setThresholdSeconds(std::int64_t seconds) { m_tracker.setThreshold(seconds); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool hasIdleSource() const { return m_idle != nullptr; }
    // Called after an answer has changed what runs (the window's commands).
    void setAfterAnswer(std::function<void()> refresh) { m_afterAnswer = std::move(refresh); }
    // Where "Options..." reads and writes the options.
    void setSettingsFactory(std::function<std::unique_ptr<QSettings>()> factory) { m_settings = std::move(factory); }

    // One look at the clocks and the desktop; the timer calls it.
    void tick();
    // The open question, or none; and what it is about.
    AwayDialog* question() const { return m_dialog; }
    const std::optional<AwayPeriod>& period() const { return m_period; }
    // View > Options...: the options dialog, kept on OK.
    void OnOptions();

private:
    void ask(const AwayPeriod& period);
    // Brings the open question in step with the document; closes it when
    // nothing it asks about is timed any more.
    void refreshQuestion();
    void answer(AwayAnswer answer);
    void closeQuestion();

    CQuilloryDoc& m_doc;
    TimingView& m_view;
    QWidget& m_window;
    const Clock& m_clock;
    std::unique_ptr<IdleSource> m_idle;
    std::unique_ptr<SleepClock> m_sleep;
    AwayOptions m_options;
    AwayTracker m_tracker{std::int64_t{kDefaultAwayMinutes} * 60};
    QTimer m_timer;
    QPointer<AwayDialog> m_dialog;
    std::optional<AwayPeriod> m_period;
    std::vector<RunningProject> m_asked; // what the open question names now
    std::string m_watched; // the data set the samples and the question are about
    std::function<void()> m_afterAnswer;
    std::function<std::unique_ptr<QSettings>()> m_settings;
};

// Watches time away for the main window (which owns the watch) with the
// user's options, and offers "Options..." in the View menu; with the
// desktop's own idle source and clocks unless others are given.
AwayWatch* watchTimeAway(CMainFrame& frame, CQuilloryDoc& doc, const Clock& clock, std::unique_ptr<IdleSource> idle,
    std::unique_ptr<SleepClock> sleep);
AwayWatch* watchTimeAway(CMainFrame& frame, CQuilloryDoc& doc, const Clock& clock);

} // namespace quillory
