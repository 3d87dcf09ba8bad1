// CQuilloryView: the main window's client area. It shows the totals panel,
// the running-projects panel and the week chart drawn by the engines, keeps
// them current through the document's update hints and its 30-second timer,
// and reloads both totals and chart whenever the window is activated.
#pragma once

#include "app/document.h"
#include "chart/ganttchart.h"
#include "chart/timing.h"
#include "chart/totals.h"
#include "platform/repeatguard.h"

#include <QDate>
#include <QLocale>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace quillory {

class Clock;

class CQuilloryView final : public QWidget, public DocumentView, public TimingView {
    Q_OBJECT
public:
    CQuilloryView(CQuilloryDoc& doc, Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~CQuilloryView() override;

    void OnUpdate(int hint) override;
    // Activation of the window: reread the totals, reload the week.
    void OnActivateView();

    void RefreshRunningPanel() override;
    void RefreshTotals() override;
    void RefreshChart() override;
    // The 30-second tick: pause accounting, then the running panel.
    void OnTimer();

    CGanttChart& chart() { return *m_pGanttChart; }
    const Totals& totals() const { return m_totals; }

signals:
    // Hints 1, 2, 5 and 6 ask for a printout.
    void printRequested(int hint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    SettingsRecord currentSettings() const;

    CQuilloryDoc& m_doc;
    RepeatGuardPrompter m_prompter;
    const Clock& m_clock;
    std::unique_ptr<CGanttChart> m_pGanttChart;
    Totals m_totals;
    QTimer m_timer;
    std::string m_lastLoadedPath;
};

// The long date of the locale without its year ("Monday, March 4").
QString longDateWithoutYear(const QLocale& locale, const QDate& date);
// The long-date pattern of the locale with the year and its separators taken out.
QString longDateFormatWithoutYear(const QString& format);

} // namespace quillory
