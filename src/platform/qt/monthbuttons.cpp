#include "platform/qt/monthbuttons.h"

#include "data/quickperiods.h"
#include "platform/clock.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillory {

MonthButtons::MonthButtons(
    QLineEdit* from, QLineEdit* to, std::function<bool()> americanDates, const Clock& clock, QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const struct {
        QuickMonth month;
        const char* text;
        const char* name;
    } buttons[] = {{QuickMonth::This, "This month", "thisMonth"}, {QuickMonth::Last, "Last month", "lastMonth"}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        button->setObjectName(QString::fromLatin1(b.name));
        // Enter in a date field still presses the dialog's own default.
        button->setAutoDefault(false);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [from, to, americanDates, &clock, month = b.month] {
            const PeriodTexts texts = QuickMonthTexts(month, clock.now(), americanDates());
            from->setText(QString::fromStdString(texts.from));
            to->setText(QString::fromStdString(texts.to));
        });
    }
    layout->addStretch();
}

} // namespace quillory
