// ProjectInfoDialog edits one project's name, customer, price per hour and
// memo, in the caller's record; it writes no file. Done takes the fields
// back; Escape and the close box leave the record as it was.
#pragma once

#include "data/records.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace quillory {

class Prompter;

// The first entry of the customer list, for a project without a customer.
inline constexpr const char* kNoCustomer = "(no customer)";

class ProjectInfoDialog final : public QDialog {
    Q_OBJECT
public:
    ProjectInfoDialog(
        const std::string& projectsFile, ProjectRecord& record, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* customerList() const { return m_customers; }
    QLabel* priceLabel() const { return m_priceLabel; }
    QLineEdit* priceEdit() const { return m_price; }
    QPlainTextEdit* memoEdit() const { return m_memo; }

    // Done.
    void accept() override;

private:
    void fillCustomers(const std::string& customersFile, Prompter& prompter);

    ProjectRecord& m_record;
    Prompter& m_prompter;
    QString m_shownPrice;
    QLineEdit* m_name;
    QComboBox* m_customers;
    QLabel* m_priceLabel;
    QLineEdit* m_price;
    QPlainTextEdit* m_memo;
};

// Text with CR LF line ends as an edit control shows it, and back.
QString textFromCrLf(const std::string& text);
std::string crLfFromText(const QString& text);

} // namespace quillory
