#include "platform/qt/periodchooser.h"

#include "data/calendar.h"
#include "platform/clock.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>

namespace quillory {

namespace {
constexpr int kDateCharacters = 10; // 12/31/2026
}

PeriodChooser::PeriodChooser(bool offerAll, std::function<bool()> americanDates, const Clock& clock, QWidget* parent)
    : QWidget(parent)
    , m_offerAll(offerAll)
    , m_americanDates(std::move(americanDates))
    , m_clock(clock)
    , m_list(new QComboBox(this))
    , m_from(new QLineEdit(this))
    , m_to(new QLineEdit(this))
{
    m_list->setObjectName(QStringLiteral("period"));
    m_from->setObjectName(QStringLiteral("from"));
    m_to->setObjectName(QStringLiteral("to"));
    if (m_offerAll)
        m_list->addItem(QStringLiteral("All dates"));
    for (const char* name : kQuickPeriodNames)
        m_list->addItem(QString::fromLatin1(name));
    m_list->addItem(QStringLiteral("Custom"));
    const int width = m_from->fontMetrics().horizontalAdvance(QString(kDateCharacters + 2, QLatin1Char('0')));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    for (auto [text, edit] : {std::pair{"From :", m_from}, std::pair{"To :", m_to}}) {
        edit->setMaxLength(kDateCharacters);
        edit->setFixedWidth(width + 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(edit);
        layout->addWidget(label);
        layout->addWidget(edit);
        // A typed date makes the period custom; leaving it applies it.
        connect(edit, &QLineEdit::textEdited, this, [this] {
            const QSignalBlocker quiet(m_list);
            m_list->setCurrentIndex(m_list->count() - 1);
            m_edited = true;
        });
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (!m_edited)
                return;
            m_edited = false;
            emit changed();
        });
    }
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] {
        fill();
        emit changed();
    });
}

bool PeriodChooser::isAll() const
{
    return m_offerAll && m_list->currentIndex() == 0;
}

std::string PeriodChooser::typedDates() const
{
    return m_from->text().toStdString() + '\n' + m_to->text().toStdString();
}

void PeriodChooser::fill()
{
    const int index = m_list->currentIndex();
    if (index == m_list->count() - 1) {
        // Custom keeps the dates typed; after all dates, this month's are there to edit.
        if (m_from->text().isEmpty() && m_to->text().isEmpty()) {
            const PeriodTexts texts = QuickPeriodTexts(QuickPeriod::ThisMonth, m_clock.now(), m_americanDates());
            m_from->setText(QString::fromStdString(texts.from));
            m_to->setText(QString::fromStdString(texts.to));
        }
        return;
    }
    m_edited = false;
    if (isAll()) {
        m_from->clear();
        m_to->clear();
    } else {
        const PeriodTexts texts
            = QuickPeriodTexts(static_cast<QuickPeriod>(index - presetOffset()), m_clock.now(), m_americanDates());
        m_from->setText(QString::fromStdString(texts.from));
        m_to->setText(QString::fromStdString(texts.to));
    }
}

void PeriodChooser::chooseAll()
{
    if (m_offerAll)
        m_list->setCurrentIndex(0);
}

void PeriodChooser::choose(QuickPeriod period)
{
    m_list->setCurrentIndex(static_cast<int>(period) + presetOffset());
}

void PeriodChooser::chooseDays(const PeriodBounds& period)
{
    {
        const QSignalBlocker quiet(m_list);
        m_list->setCurrentIndex(m_list->count() - 1);
    }
    m_from->setText(QString::fromStdString(FormatDate(period.from, m_americanDates())));
    m_to->setText(QString::fromStdString(FormatDate(period.to, m_americanDates())));
    m_edited = false;
    emit changed();
}

std::variant<std::optional<PeriodBounds>, std::string> PeriodChooser::period() const
{
    if (isAll())
        return std::optional<PeriodBounds>{};
    const bool american = m_americanDates();
    const auto first = ParseTypedDate(m_from->text().toStdString(), american);
    const auto last = ParseTypedDate(m_to->text().toStdString(), american);
    if (!first || !last)
        return invalidDateMessage(american);
    const PeriodBounds period{fromLocalTime(first->year, first->month, first->day, 0, 0, 0),
        fromLocalTime(last->year, last->month, last->day, 23, 59, 59)};
    if (period.to < period.from)
        return std::string(kPeriodEndsBeforeStart);
    return std::optional<PeriodBounds>{period};
}

} // namespace quillory
