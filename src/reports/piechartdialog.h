// PieChartDialog ("Projects Pie Chart"): the period list and, for "Custom",
// two typed dates on the left; the pie of the period's time per project on
// the right, with a tip naming the slice under the mouse, and beside it the
// legend of every slice. The chart reloads when the period changes and when
// a date is left.
#pragma once

#include <QDialog>
#include <QWidget>

#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace quillory {

class CPieChart;
class Clock;
class Prompter;

// The chart area: the pie is drawn anew at every paint, with the tip of the
// slice under the mouse.
class PieChartView final : public QWidget {
    Q_OBJECT
public:
    PieChartView(CPieChart& chart, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CPieChart& m_chart;
};

class PieChartDialog final : public QDialog {
    Q_OBJECT
public:
    PieChartDialog(const std::string& dataSetPath, Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~PieChartDialog() override;

    CPieChart& chart() { return *m_pChart; }
    PieChartView* view() const { return m_view; }
    // Colour, name, time, share and charges of each slice, then the total.
    QTreeWidget* legend() const { return m_legend; }

    // The dates of "Custom", enabled only while it is chosen.
    void UpdatePeriodFields();
    // The chart of the chosen period; a typed date that is not a date is
    // refused (once for the same text) and leaves the chart empty.
    void LoadData();

private:
    void fillLegend();

    std::string m_strPath;
    Prompter& m_prompter;
    const Clock& m_clock;
    std::unique_ptr<CPieChart> m_pChart;
    QComboBox* m_period;
    QLabel* m_fromLabel;
    QLabel* m_toLabel;
    QLineEdit* m_from;
    QLineEdit* m_to;
    PieChartView* m_view;
    QTreeWidget* m_legend;
    std::string m_refused; // the custom dates last refused
};

} // namespace quillory
