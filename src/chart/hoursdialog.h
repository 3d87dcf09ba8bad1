// HoursDialog ("Select chart hours"): the first and last hour the week chart
// shows, each moved by a pair of arrows. OK keeps what the arrows left;
// Cancel changes nothing.
#pragma once

#include "chart/ganttchart.h"

#include <QDialog>

class QLabel;
class QScrollBar;

namespace quillory {

class HoursDialog final : public QDialog {
    Q_OBJECT
public:
    HoursDialog(int startHour, int endHour, QWidget* parent = nullptr);

    int startHour() const { return m_hours.start; }
    int endHour() const { return m_hours.end; }
    QLabel* startLabel() const { return m_start; }
    QLabel* endLabel() const { return m_end; }
    QScrollBar* startArrows() const { return m_startArrows; }
    QScrollBar* endArrows() const { return m_endArrows; }

private:
    // An arrow of either bar: down lowers the hour, up raises it.
    void OnVScroll(QScrollBar* bar, int action);
    void showHours();

    ChartHours m_hours;
    QLabel* m_start;
    QLabel* m_end;
    QScrollBar* m_startArrows;
    QScrollBar* m_endArrows;
};

// "08:00".
QString hourText(int hour);

} // namespace quillory
