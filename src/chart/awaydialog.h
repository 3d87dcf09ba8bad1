// The question at the return from time away. It waits beside the window
// without holding it: the timer, the chart and every command go on while it
// is open. Escape or closing it keeps the time, and Enter answers nothing,
// so no stray key drops or changes time.
#pragma once

#include "chart/awayquestion.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillory {

class AwayDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AwayDialog(QWidget* parent = nullptr);

    // The question and the label of its check-out answer.
    void setQuestion(const QString& text, const QString& checkOutLabel);
    QString text() const;
    QPushButton* button(AwayAnswer answer) const;

signals:
    // Once per question: the button pressed, or Keep for Escape and closing.
    void answered(AwayAnswer answer);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_text;
    QPushButton* m_keep;
    QPushButton* m_checkOut;
    QPushButton* m_leaveOut;
};

} // namespace quillory
