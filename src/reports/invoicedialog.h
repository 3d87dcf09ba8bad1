// InvoiceDialog ("New invoice"): the customer, the period and the invoice
// number of a new invoice. Print and To File... read the dates strictly and
// build the invoice; one without lines is made only when the user says so.
// Print then moves the data set's next invoice number on at once; To File...
// leaves that to the writing of the file, so a file that is refused or
// fails uses no number. Cancel changes nothing.
#pragma once

#include "app/document.h"
#include "reports/invoicerequest.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quillory {

class Clock;
class Prompter;

class InvoiceDialog final : public QDialog {
    Q_OBJECT
public:
    InvoiceDialog(const std::string& customersFile, Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

    // Runs the dialog: how it ended.
    InvoiceChoice run();
    // The request confirmed with Print or To File...
    const InvoiceRequest& request() const { return m_request; }
    InvoiceChoice choice() const { return m_choice; }

    // What Print and To File... do.
    void confirm(InvoiceChoice choice);

private:
    std::string m_dataSetPath;
    Prompter& m_prompter;
    const Clock& m_clock;
    QComboBox* m_customers;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_number;
    InvoiceRequest m_request;
    InvoiceChoice m_choice = InvoiceChoice::Cancel;
};

} // namespace quillory
