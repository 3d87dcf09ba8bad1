#include "reports/piechartdialog.h"

#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/qt/qtdevicecontext.h"
#include "reports/piechart.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <variant>

namespace quillory {

namespace {

enum LegendColumn { kLegendName, kLegendTime, kLegendShare, kLegendCharges, kLegendColumns };

QIcon swatch(Rgb color)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 10, 10, QColor(color.r, color.g, color.b));
    return QIcon(pixmap);
}

QTreeWidgetItem* legendItem(
    QTreeWidget* legend, const QString& name, std::int64_t minutes, int tenths, const std::string& charges)
{
    auto* item = new QTreeWidgetItem(legend);
    item->setText(kLegendName, name);
    item->setText(kLegendTime, QString::fromStdString(FormatDuration(minutes, false)));
    item->setText(kLegendShare, QString::fromStdString(FormatShare(tenths)));
    item->setText(kLegendCharges, QString::fromStdString(charges));
    for (int c = kLegendTime; c < kLegendColumns; ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

PieChartView::PieChartView(CPieChart& chart, QWidget* parent)
    : QWidget(parent)
    , m_chart(chart)
{
    setObjectName(QStringLiteral("pieChart"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 200);
}

void PieChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtDeviceContext dc(painter);
    m_chart.setRect({20, 20, width() - 20, height() - 20});
    const QPoint mouse = underMouse() ? mapFromGlobal(QCursor::pos()) : QPoint(-1, -1);
    m_chart.Draw(dc, mouse.x(), mouse.y());
}

void PieChartView::mouseMoveEvent(QMouseEvent* event)
{
    // The tip follows the mouse.
    update();
    QWidget::mouseMoveEvent(event);
}

void PieChartView::leaveEvent(QEvent* event)
{
    update();
    QWidget::leaveEvent(event);
}

PieChartDialog::PieChartDialog(const std::string& dataSetPath, Prompter& prompter, const Clock& clock, QWidget* parent)
    : QDialog(parent)
    , m_strPath(dataSetPath)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_pChart(std::make_unique<CPieChart>())
    , m_period(new QComboBox(this))
    , m_fromLabel(new QLabel(QStringLiteral("From :"), this))
    , m_toLabel(new QLabel(QStringLiteral("To :"), this))
    , m_from(new QLineEdit(this))
    , m_to(new QLineEdit(this))
    , m_view(new PieChartView(*m_pChart, this))
    , m_legend(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Projects Pie Chart"));
    setObjectName(QStringLiteral("pieChartDialog"));
    m_period->setObjectName(QStringLiteral("period"));
    m_from->setObjectName(QStringLiteral("from"));
    m_to->setObjectName(QStringLiteral("to"));
    for (const char* name : kPiePeriodNames)
        m_period->addItem(QString::fromLatin1(name));

    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("exit"));
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);

    auto* controls = new QVBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Chart Period :"), this));
    controls->addWidget(m_period);
    controls->addSpacing(10);
    controls->addWidget(m_fromLabel);
    controls->addWidget(m_from);
    controls->addWidget(m_toLabel);
    controls->addWidget(m_to);
    controls->addStretch();
    controls->addWidget(exit);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(line);
    layout->addWidget(m_view, 1);
    m_legend->setObjectName(QStringLiteral("legend"));
    m_legend->setColumnCount(kLegendColumns);
    m_legend->setHeaderLabels(
        {QStringLiteral("Project"), QStringLiteral("Time"), QStringLiteral("Share"), QStringLiteral("Charges")});
    m_legend->setRootIsDecorated(false);
    m_legend->setSelectionMode(QAbstractItemView::NoSelection);
    m_legend->setFocusPolicy(Qt::NoFocus);
    m_legend->header()->setStretchLastSection(false);
    m_legend->header()->setSectionResizeMode(kLegendName, QHeaderView::Stretch);
    for (int c = kLegendTime; c < kLegendColumns; ++c)
        m_legend->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_legend->setMinimumWidth(320);
    layout->addWidget(m_legend);
    resize(900, 440);

    m_period->setCurrentIndex(kPieThisYear);
    UpdatePeriodFields();
    LoadData();
    connect(m_period, &QComboBox::currentIndexChanged, this, [this] {
        UpdatePeriodFields();
        LoadData();
    });
    connect(m_from, &QLineEdit::editingFinished, this, &PieChartDialog::LoadData);
    connect(m_to, &QLineEdit::editingFinished, this, &PieChartDialog::LoadData);
}

PieChartDialog::~PieChartDialog() = default;

void PieChartDialog::UpdatePeriodFields()
{
    const bool american = displaySettings(m_strPath).americanDates != 0;
    const auto [from, to] = CustomPeriodStart(american);
    m_from->setText(QString::fromStdString(from));
    m_to->setText(QString::fromStdString(to));
    const bool custom = m_period->currentIndex() == kPieCustom;
    for (QWidget* w : {static_cast<QWidget*>(m_fromLabel), static_cast<QWidget*>(m_toLabel),
             static_cast<QWidget*>(m_from), static_cast<QWidget*>(m_to)})
        w->setEnabled(custom);
}

void PieChartDialog::LoadData()
{
    Period period{};
    if (m_period->currentIndex() == kPieCustom) {
        const std::string from = m_from->text().toStdString();
        const std::string to = m_to->text().toStdString();
        const auto read = CustomPiePeriod(from, to, displaySettings(m_strPath).americanDates != 0);
        if (const auto* refusal = std::get_if<std::string>(&read)) {
            m_pChart->Clear();
            fillLegend();
            m_view->update();
            // Leaving the box's edit again must not bring the same box back.
            if (m_refused != from + '\n' + to) {
                m_refused = from + '\n' + to;
                m_prompter.inform(*refusal, "Warning");
            }
            return;
        }
        period = std::get<Period>(read);
    } else {
        period = PiePeriod(m_period->currentIndex(), m_clock.now());
    }
    m_refused.clear();
    m_pChart->LoadData(m_strPath, period, m_prompter);
    fillLegend();
    m_view->update();
}

void PieChartDialog::fillLegend()
{
    const std::string symbol = fieldText(displaySettings(m_strPath).monetarySymbol);
    m_legend->clear();
    const std::vector<PieLegendRow> rows = PieLegend(*m_pChart);
    int shares = 0;
    for (const PieLegendRow& row : rows) {
        QTreeWidgetItem* item = legendItem(
            m_legend, QString::fromStdString(row.name), row.minutes, row.shareTenths, FormatMoney(symbol, row.amount));
        item->setIcon(kLegendName, swatch(row.color));
        shares += row.shareTenths;
    }
    if (rows.empty())
        return;
    QTreeWidgetItem* total = legendItem(m_legend, QStringLiteral("Total"), m_pChart->totalMinutes(), shares,
        FormatMoney(symbol, m_pChart->totalAmount()));
    QFont bold = total->font(kLegendName);
    bold.setBold(true);
    for (int c = 0; c < kLegendColumns; ++c)
        total->setFont(c, bold);
}

} // namespace quillory
