#include "app/propertiespages.h"

#include "data/money.h"
#include "data/numbers.h"
#include "data/text.h"
#include "platform/prompter.h"
#include "platform/qt/utf8limit.h"
#include "records/projectinfodialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillory {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

template <std::size_t N> QLineEdit* fieldEdit(const char* name, const char (&)[N], QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    limitToBytes(edit, static_cast<int>(N - 1));
    return edit;
}

template <std::size_t N> void showText(QLineEdit* edit, const char (&field)[N])
{
    edit->setText(qs(fieldText(field)));
}

template <std::size_t N> void takeText(char (&field)[N], const QLineEdit* edit)
{
    updateFieldText(field, edit->text().toStdString());
}

// A flag keeps its stored value while its control shows it unchanged, so a
// record that says "on" with another non-zero number is rewritten as read.
void takeFlag(LeInt32& flag, bool on)
{
    if ((flag != 0) != on)
        flag = on ? 1 : 0;
}

// The record's company fields in the order of the page.
template <typename Record, typename Visit> void forEachCompanyField(Record& r, Visit visit)
{
    visit(0, r.companyName);
    visit(1, r.companyAddress);
    visit(2, r.companyZip);
    visit(3, r.companyState);
    visit(4, r.companyCity);
    visit(5, r.companyCountry);
    visit(6, r.companyPhone);
}

} // namespace

CPropertiesPage::CPropertiesPage(SettingsRecord& record, QWidget* parent)
    : QWidget(parent)
    , m_record(record)
{
}

void CPropertiesPage::showEvent(QShowEvent* event)
{
    if (!m_bVisited) {
        OnInitDialog();
        m_bVisited = true;
    }
    QWidget::showEvent(event);
}

// Company --------------------------------------------------------------------

CPropertiesPage1::CPropertiesPage1(SettingsRecord& record, QWidget* parent)
    : CPropertiesPage(record, parent)
{
    const char* const names[7] = {"company", "address", "zip", "state", "city", "country", "phone"};
    forEachCompanyField(m_record, [&](int i, const auto& field) { m_fields[i] = fieldEdit(names[i], field, this); });
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Company :"), m_fields[0]);
    form->addRow(QStringLiteral("Address :"), m_fields[1]);
    auto* zipState = new QHBoxLayout;
    zipState->addWidget(m_fields[2], 1);
    zipState->addWidget(new QLabel(QStringLiteral("State :"), this));
    zipState->addWidget(m_fields[3], 2);
    form->addRow(QStringLiteral("ZIP :"), zipState);
    form->addRow(QStringLiteral("City :"), m_fields[4]);
    form->addRow(QStringLiteral("Country :"), m_fields[5]);
    form->addRow(QStringLiteral("Phone :"), m_fields[6]);
}

void CPropertiesPage1::OnInitDialog()
{
    forEachCompanyField(m_record, [this](int i, const auto& field) { showText(m_fields[i], field); });
}

void CPropertiesPage1::OnOK()
{
    forEachCompanyField(m_record, [this](int i, auto& field) { takeText(field, m_fields[i]); });
}

// Invoice --------------------------------------------------------------------

CPropertiesPage2::CPropertiesPage2(SettingsRecord& record, QWidget* parent)
    : CPropertiesPage(record, parent)
    , m_invoiceText(fieldEdit("invoiceText", record.invoiceText, this))
    , m_nextInvoiceNumber(fieldEdit("nextInvoiceNumber", record.nextInvoiceNumber, this))
    , m_footerNote(new QPlainTextEdit(this))
    , m_applySalesTax(new QCheckBox(QStringLiteral("Apply Sales Tax"), this))
    , m_salesTaxText(fieldEdit("salesTaxText", record.salesTaxText, this))
    , m_salesTaxPercent(new QLineEdit(this))
{
    m_footerNote->setObjectName(QStringLiteral("footerNote"));
    m_footerNote->setTabChangesFocus(true);
    m_applySalesTax->setObjectName(QStringLiteral("applySalesTax"));
    m_salesTaxPercent->setObjectName(QStringLiteral("salesTaxPercent"));

    auto* tax = new QGroupBox(this);
    auto* taxForm = new QFormLayout(tax);
    taxForm->addRow(m_applySalesTax);
    taxForm->addRow(QStringLiteral("Sales Tax text :"), m_salesTaxText);
    auto* rate = new QHBoxLayout;
    rate->addWidget(m_salesTaxPercent);
    rate->addWidget(new QLabel(QStringLiteral("%"), tax));
    rate->addStretch(1);
    taxForm->addRow(QStringLiteral("Sales Tax :"), rate);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Invoice Text :"), m_invoiceText);
    form->addRow(QStringLiteral("Next Invoice# :"), m_nextInvoiceNumber);
    form->addRow(QStringLiteral("Footer Note :"), m_footerNote);
    form->addRow(tax);
}

void CPropertiesPage2::OnInitDialog()
{
    showText(m_invoiceText, m_record.invoiceText);
    showText(m_nextInvoiceNumber, m_record.nextInvoiceNumber);
    m_footerNote->setPlainText(textFromCrLf(fieldText(m_record.footerNote)));
    m_applySalesTax->setChecked(m_record.applySalesTax != 0);
    showText(m_salesTaxText, m_record.salesTaxText);
    m_shownRate = qs(FormatAmount(m_record.salesTaxPercent));
    m_salesTaxPercent->setText(m_shownRate);
}

QWidget* CPropertiesPage2::validate(Prompter& prompter)
{
    // A rate left as shown keeps its stored value, even one of more than
    // two decimals.
    m_typedRate.reset();
    if (m_salesTaxPercent->text() == m_shownRate)
        return nullptr;
    const auto typed = ParseAmount(m_salesTaxPercent->text().toStdString());
    if (!typed) {
        prompter.inform(kInvalidAmountMessage, "Warning");
        return m_salesTaxPercent;
    }
    m_typedRate = typed->toDouble();
    return nullptr;
}

void CPropertiesPage2::OnOK()
{
    takeText(m_record.invoiceText, m_invoiceText);
    takeText(m_record.nextInvoiceNumber, m_nextInvoiceNumber);
    updateFieldText(m_record.footerNote, crLfFromText(m_footerNote->toPlainText()));
    takeFlag(m_record.applySalesTax, m_applySalesTax->isChecked());
    takeText(m_record.salesTaxText, m_salesTaxText);
    if (m_typedRate)
        m_record.salesTaxPercent = *m_typedRate;
}

// General --------------------------------------------------------------------

CPropertiesPage3::CPropertiesPage3(SettingsRecord& record, QWidget* parent)
    : CPropertiesPage(record, parent)
    , m_showTips(new QCheckBox(QStringLiteral("Show tips in Gantt Chart"), this))
    , m_american(new QRadioButton(QStringLiteral("American Date format (MM/DD/YYYY)"), this))
    , m_european(new QRadioButton(QStringLiteral("European Date format (DD/MM/YYYY)"), this))
    , m_monetarySymbol(fieldEdit("monetarySymbol", record.monetarySymbol, this))
{
    m_showTips->setObjectName(QStringLiteral("showTips"));
    m_american->setObjectName(QStringLiteral("americanDates"));
    m_european->setObjectName(QStringLiteral("europeanDates"));
    auto* note = new QLabel(QStringLiteral("Note: checking this option on some computers will slow down the system. "
                                           "Use only with high-performance computers."),
        this);
    note->setWordWrap(true);
    auto* dates = new QGroupBox(QStringLiteral("Date format"), this);
    auto* dateList = new QVBoxLayout(dates);
    dateList->addWidget(m_american);
    dateList->addWidget(m_european);
    auto* symbol = new QFormLayout;
    symbol->addRow(QStringLiteral("Monetary Symbol :"), m_monetarySymbol);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_showTips);
    layout->addWidget(note);
    layout->addWidget(dates);
    layout->addLayout(symbol);
    layout->addStretch(1);
}

void CPropertiesPage3::OnInitDialog()
{
    m_showTips->setChecked(m_record.showTips != 0);
    (m_record.americanDates != 0 ? m_american : m_european)->setChecked(true);
    showText(m_monetarySymbol, m_record.monetarySymbol);
}

void CPropertiesPage3::OnOK()
{
    takeFlag(m_record.showTips, m_showTips->isChecked());
    takeFlag(m_record.americanDates, m_american->isChecked());
    takeText(m_record.monetarySymbol, m_monetarySymbol);
}

} // namespace quillory
