#include "records/projectinfodialog.h"

#include "data/money.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/collator.h"
#include "platform/prompter.h"
#include "platform/qt/utf8limit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillory {

namespace {

constexpr int kNameBytes = sizeof(ProjectRecord::name) - 1;

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

QString textFromCrLf(const std::string& text)
{
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string crLfFromText(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s.toStdString();
}

ProjectInfoDialog::ProjectInfoDialog(
    const std::string& projectsFile, ProjectRecord& record, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_record(record)
    , m_prompter(prompter)
    , m_name(new QLineEdit(this))
    , m_customers(new QComboBox(this))
    , m_priceLabel(new QLabel(QStringLiteral("Charges per hour ($) :"), this))
    , m_price(new QLineEdit(this))
    , m_memo(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Project information"));
    setObjectName(QStringLiteral("projectInfoDialog"));
    m_name->setObjectName(QStringLiteral("name"));
    limitToBytes(m_name, kNameBytes);
    m_customers->setObjectName(QStringLiteral("customer"));
    m_customers->setMaxVisibleItems(12);
    m_price->setObjectName(QStringLiteral("price"));
    m_memo->setObjectName(QStringLiteral("memo"));
    m_memo->setTabChangesFocus(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Project name :"), m_name);
    form->addRow(QStringLiteral("Customer :"), m_customers);
    form->addRow(m_priceLabel, m_price);
    form->addRow(QStringLiteral("Memo :"), m_memo);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* done = buttons->addButton(QStringLiteral("Done"), QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    done->setObjectName(QStringLiteral("done"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ProjectInfoDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(420, 360);

    fillCustomers(siblingPath(projectsFile, "cus"), prompter);
    // The project's own values are shown even when the customers cannot be
    // read, so that Done never wipes them.
    m_name->setText(qs(fieldText(record.name)));
    const SettingsRecord settings = displaySettings(projectsFile);
    m_priceLabel->setText(
        QStringLiteral("Charges per hour (") + qs(fieldText(settings.monetarySymbol)) + QStringLiteral(") :"));
    m_shownPrice = qs(FormatAmount(record.pricePerHour));
    m_price->setText(m_shownPrice);
    m_memo->setPlainText(textFromCrLf(fieldText(record.memo)));
    // Typing replaces the name at once: a new project's "New project" above all.
    m_name->selectAll();
    m_name->setFocus();
}

void ProjectInfoDialog::fillCustomers(const std::string& customersFile, Prompter& prompter)
{
    // A project can be given back no customer: the first entry, whatever
    // the customers' names.
    m_customers->addItem(QString::fromLatin1(kNoCustomer), std::int32_t{-1});
    const std::int32_t customerId = m_record.customerId;
    auto customers = loadCustomers(customersFile, prompter);
    if (!customers) {
        m_customers->setCurrentIndex(customerId < 0 ? 0 : -1);
        return;
    }
    std::vector<std::string> names;
    for (const CustomerRecord& c : *customers)
        names.push_back(fieldText(c.name));
    for (std::size_t i : collator().order(names))
        m_customers->addItem(qs(names[i]), std::int32_t{(*customers)[i].id});
    // The project's customer is found by its id: two customers of the same
    // name stay two customers. A customer that is gone selects nothing, and
    // Done then keeps the id.
    m_customers->setCurrentIndex(customerId >= 0 ? m_customers->findData(customerId) : 0);
}

void ProjectInfoDialog::accept()
{
    // A price left as shown keeps its stored value, even one of more than
    // two decimals from an older file.
    double price = m_record.pricePerHour;
    if (m_price->text() != m_shownPrice) {
        const auto typed = ParseAmount(m_price->text().toStdString());
        if (!typed) {
            // The record stays as it was: nothing is taken back until every
            // field reads.
            m_prompter.inform(kInvalidAmountMessage, "Warning");
            m_price->setFocus();
            m_price->selectAll();
            return;
        }
        price = typed->toDouble();
    }
    updateFieldText(m_record.name, m_name->text().toStdString());
    if (m_customers->currentIndex() >= 0)
        m_record.customerId = m_customers->currentData().toInt();
    m_record.pricePerHour = price;
    updateFieldText(m_record.memo, crLfFromText(m_memo->toPlainText()));
    QDialog::accept();
}

} // namespace quillory
