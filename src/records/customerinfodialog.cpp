#include "records/customerinfodialog.h"

#include "data/text.h"
#include "platform/qt/utf8limit.h"
#include "records/projectinfodialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillory {

namespace {

struct FieldDescription {
    const char* label;
    const char* name;
    int capacity; // bytes of text the record holds
};

constexpr FieldDescription kFields[7] = {
    {"Customer :", "customer", 60},
    {"Address :", "address", 60},
    {"City :", "city", 30},
    {"ZIP :", "zip", 30},
    {"State :", "state", 30},
    {"Country :", "country", 30},
    {"Phone :", "phone", 30},
};

// The record's text fields in the order of the form.
template <typename Record, typename Visit> void forEachField(Record& r, Visit visit)
{
    visit(0, r.name);
    visit(1, r.address);
    visit(2, r.city);
    visit(3, r.zip);
    visit(4, r.state);
    visit(5, r.country);
    visit(6, r.phone);
}

} // namespace

CustomerInfoDialog::CustomerInfoDialog(CustomerRecord& record, QWidget* parent)
    : QDialog(parent)
    , m_record(record)
{
    setWindowTitle(QStringLiteral("Customer info"));
    setObjectName(QStringLiteral("customerInfoDialog"));
    auto* form = new QFormLayout;
    for (int i = 0; i < 7; ++i) {
        m_fields[i] = new QLineEdit(this);
        m_fields[i]->setObjectName(QString::fromLatin1(kFields[i].name));
        limitToBytes(m_fields[i], kFields[i].capacity);
        form->addRow(QString::fromLatin1(kFields[i].label), m_fields[i]);
    }
    // Created after the fields so the tab order runs down the form.
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("notes"));
    m_notes->setTabChangesFocus(true);
    form->addRow(QStringLiteral("Notes :"), m_notes);
    forEachField(
        record, [this](int i, const auto& field) { m_fields[i]->setText(QString::fromStdString(fieldText(field))); });
    m_notes->setPlainText(textFromCrLf(fieldText(record.notes)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomerInfoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CustomerInfoDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(400, 420);
    m_fields[0]->setFocus();
}

void CustomerInfoDialog::accept()
{
    forEachField(m_record, [this](int i, auto& field) { updateFieldText(field, m_fields[i]->text().toStdString()); });
    updateFieldText(m_record.notes, crLfFromText(m_notes->toPlainText()));
    QDialog::accept();
}

} // namespace quillory
