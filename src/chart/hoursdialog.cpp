#include "chart/hoursdialog.h"

#include <QAbstractSlider>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quillory {

namespace {

// A scroll bar used as a pair of arrows: it has no position worth keeping,
// so it always sits in the middle of a range it can step out of both ways.
QScrollBar* arrows(QWidget* parent, const QString& name)
{
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setObjectName(name);
    bar->setRange(-1, 1);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setFixedHeight(36);
    return bar;
}

} // namespace

QString hourText(int hour)
{
    return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'));
}

HoursDialog::HoursDialog(int startHour, int endHour, QWidget* parent)
    : QDialog(parent)
    , m_hours{startHour, endHour}
    , m_start(new QLabel(this))
    , m_end(new QLabel(this))
    , m_startArrows(arrows(this, QStringLiteral("startArrows")))
    , m_endArrows(arrows(this, QStringLiteral("endArrows")))
{
    setWindowTitle(QStringLiteral("Select chart hours"));
    setObjectName(QStringLiteral("hoursDialog"));
    // Wide enough for its caption on a framed desktop.
    setMinimumWidth(300);
    m_start->setObjectName(QStringLiteral("startHour"));
    m_end->setObjectName(QStringLiteral("endHour"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Starting Hour :"), this), 0, 0);
    grid->addWidget(m_start, 0, 1);
    grid->addWidget(m_startArrows, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Ending Hour :"), this), 1, 0);
    grid->addWidget(m_end, 1, 1);
    grid->addWidget(m_endArrows, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    for (QScrollBar* bar : {m_startArrows, m_endArrows}) {
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { OnVScroll(bar, action); });
    }
    showHours();
}

void HoursDialog::OnVScroll(QScrollBar* bar, int action)
{
    int delta = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderToMaximum:
        delta = -1; // down
        break;
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
    case QAbstractSlider::SliderToMinimum:
        delta = 1; // up
        break;
    default:
        break;
    }
    if (bar == m_startArrows)
        m_hours.stepStart(delta);
    else
        m_hours.stepEnd(delta);
    // The bar takes the position left here once this signal returns: back in
    // the middle, both arrows keep working.
    bar->setSliderPosition(0);
    showHours();
}

void HoursDialog::showHours()
{
    m_start->setText(hourText(m_hours.start));
    m_end->setText(hourText(m_hours.end));
}

} // namespace quillory
