#include "app/optionsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillory {

OptionsDialog::OptionsDialog(const AwayOptions& options, bool idleAvailable, QWidget* parent)
    : QDialog(parent)
    , m_ask(new QCheckBox(QStringLiteral("&Ask about time away"), this))
    , m_minutes(new QSpinBox(this))
{
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    m_ask->setObjectName(QStringLiteral("awayAsk"));
    m_ask->setChecked(options.ask);
    m_minutes->setObjectName(QStringLiteral("awayMinutes"));
    m_minutes->setRange(kFewestAwayMinutes, kMostAwayMinutes);
    m_minutes->setValue(options.minutes);
    m_minutes->setEnabled(options.ask);
    connect(m_ask, &QCheckBox::toggled, m_minutes, &QWidget::setEnabled);

    auto* after = new QLabel(QStringLiteral("a&fter"), this);
    after->setBuddy(m_minutes);
    auto* row = new QHBoxLayout;
    row->addWidget(m_ask);
    row->addWidget(after);
    row->addWidget(m_minutes);
    row->addWidget(new QLabel(QStringLiteral("minutes"), this));
    row->addStretch(1);

    auto* group = new QGroupBox(QStringLiteral("Time away"), this);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addLayout(row);
    auto* explanation = new QLabel(QStringLiteral("When projects are being timed and you come back after leaving "
                                                  "keyboard and mouse alone, or after the computer slept, for at "
                                                  "least that long, Quillory asks what to do with the time."),
        group);
    explanation->setWordWrap(true);
    inGroup->addWidget(explanation);
    if (!idleAvailable) {
        auto* unavailable
            = new QLabel(QStringLiteral("Idle time: Not available on this desktop. Only sleep is noticed."), group);
        unavailable->setObjectName(QStringLiteral("awayUnavailable"));
        unavailable->setWordWrap(true);
        inGroup->addWidget(unavailable);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

AwayOptions OptionsDialog::options() const
{
    return {m_ask->isChecked(), m_minutes->value()};
}

} // namespace quillory
