#include "reports/invoicedialog.h"

#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/qt/monthbuttons.h"
#include "platform/qt/utf8limit.h"
#include "records/projectpaths.h"
#include "reports/invoice.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <variant>

namespace quillory {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

InvoiceDialog::InvoiceDialog(const std::string& customersFile, Prompter& prompter, const Clock& clock, QWidget* parent)
    : QDialog(parent)
    , m_dataSetPath(siblingPath(customersFile, "qly"))
    , m_prompter(prompter)
    , m_clock(clock)
    , m_customers(new QComboBox(this))
    , m_from(new QLineEdit(this))
    , m_to(new QLineEdit(this))
    , m_number(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("New invoice"));
    setObjectName(QStringLiteral("invoiceDialog"));
    m_customers->setObjectName(QStringLiteral("customers"));
    m_from->setObjectName(QStringLiteral("from"));
    m_to->setObjectName(QStringLiteral("to"));
    m_number->setObjectName(QStringLiteral("invoiceNumber"));
    limitToBytes(m_number, static_cast<int>(kMaxInvoiceNumber));

    if (const auto customers = loadCustomers(customersFile, prompter)) {
        for (const CustomerChoice& c : invoiceCustomerChoices(*customers))
            m_customers->addItem(qs(c.name), c.id);
        // The projects without a customer are billed too, as qly invoice
        // --customer none bills them; with no customers at all the empty
        // list already means them.
        if (m_customers->count() > 0)
            m_customers->addItem(QString::fromLatin1(kNoCustomerLabel), -1);
        m_customers->setCurrentIndex(m_customers->count() > 0 ? 0 : -1);
        const SettingsRecord settings = displaySettings(m_dataSetPath);
        const InvoiceFields fields = initialInvoiceFields(settings, clock.now());
        m_from->setText(qs(fields.from));
        m_to->setText(qs(fields.to));
        m_number->setText(qs(fields.invoiceNumber));
        const QString form = settings.americanDates ? QStringLiteral("MM/DD/YYYY") : QStringLiteral("DD/MM/YYYY");
        m_from->setPlaceholderText(form);
        m_to->setPlaceholderText(form);
    }

    auto* period = new QGroupBox(QStringLiteral("The invoice concerns the period..."), this);
    auto* dates = new QFormLayout;
    dates->addRow(QStringLiteral("from :"), m_from);
    dates->addRow(QStringLiteral("to :"), m_to);
    auto* periodRow = new QHBoxLayout(period);
    periodRow->addLayout(dates, 1);
    periodRow->addWidget(new MonthButtons(
        m_from, m_to, [this] { return displaySettings(m_dataSetPath).americanDates != 0; }, m_clock, period));
    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("Customer :"), m_customers);
    auto* number = new QFormLayout;
    number->addRow(QStringLiteral("Invoice #"), m_number);

    auto* toFile = new QPushButton(QStringLiteral("To File..."), this);
    auto* print = new QPushButton(QStringLiteral("Print"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    toFile->setObjectName(QStringLiteral("toFile"));
    print->setObjectName(QStringLiteral("print"));
    cancel->setObjectName(QStringLiteral("cancel"));
    print->setDefault(true);
    connect(toFile, &QPushButton::clicked, this, [this] { confirm(InvoiceChoice::ToFile); });
    connect(print, &QPushButton::clicked, this, [this] { confirm(InvoiceChoice::Print); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(toFile);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(period);
    layout->addLayout(number);
    layout->addLayout(buttons);
}

InvoiceChoice InvoiceDialog::run()
{
    m_choice = InvoiceChoice::Cancel;
    exec();
    return m_choice;
}

void InvoiceDialog::confirm(InvoiceChoice choice)
{
    const std::int32_t customerId = m_customers->currentIndex() >= 0 ? m_customers->currentData().toInt() : -1;
    const bool american = displaySettings(m_dataSetPath).americanDates != 0;
    const InvoiceFields fields{
        m_from->text().toStdString(), m_to->text().toStdString(), m_number->text().toStdString()};
    auto read = readInvoiceFields(fields, customerId, american);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        m_prompter.inform(*refusal, "Warning");
        return;
    }
    auto request = std::get<InvoiceRequest>(std::move(read));
    request.issued = m_clock.now();
    // An invoice that cannot be built (its files unreadable) is not made,
    // and one without lines only when asked for: neither wastes a number.
    CInvoice invoice(request);
    if (!invoice.Load(m_dataSetPath, m_prompter))
        return;
    if (invoice.lines().empty()) {
        const std::string customer
            = customerId != -1 ? m_customers->currentText().toStdString() : std::string(kNoCustomerName);
        if (!m_prompter.ask(EmptyInvoiceQuestion(customer)))
            return;
    }
    m_request = std::move(request);
    // A printed invoice's number moves on whether or not it is then printed;
    // a file's once it is written.
    if (choice == InvoiceChoice::Print)
        AdvanceInvoiceNumber(m_dataSetPath, fields.invoiceNumber, m_prompter);
    m_choice = choice;
    done(choice == InvoiceChoice::Print ? 1 : 3);
}

} // namespace quillory
