// The three pages of the properties sheet: Company, Invoice and General.
// Each page fills its controls from the settings record the first time it
// is shown and, when the sheet ends with OK, reads them back into the
// record; a page never shown leaves its fields as they were.
#pragma once

#include "data/records.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace quillory {

class Prompter;

class CPropertiesPage : public QWidget {
    Q_OBJECT
public:
    CPropertiesPage(SettingsRecord& record, QWidget* parent);
    bool visited() const { return m_bVisited; }
    // The control that does not read, after saying why; nothing when all
    // do. Nothing is taken back before every page agrees.
    virtual QWidget* validate(Prompter&) { return nullptr; }
    // Reads the controls back into the record.
    virtual void OnOK() = 0;

protected:
    // Fills the controls from the record.
    virtual void OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;

    SettingsRecord& m_record;

private:
    bool m_bVisited = false;
};

class CPropertiesPage1 final : public CPropertiesPage {
    Q_OBJECT
public:
    CPropertiesPage1(SettingsRecord& record, QWidget* parent = nullptr);
    // Company, Address, ZIP, State, City, Country, Phone.
    QLineEdit* field(int index) const { return m_fields[index]; }
    void OnOK() override;

protected:
    void OnInitDialog() override;

private:
    QLineEdit* m_fields[7];
};

class CPropertiesPage2 final : public CPropertiesPage {
    Q_OBJECT
public:
    CPropertiesPage2(SettingsRecord& record, QWidget* parent = nullptr);
    QLineEdit* invoiceText() const { return m_invoiceText; }
    QLineEdit* nextInvoiceNumber() const { return m_nextInvoiceNumber; }
    QPlainTextEdit* footerNote() const { return m_footerNote; }
    QCheckBox* applySalesTax() const { return m_applySalesTax; }
    QLineEdit* salesTaxText() const { return m_salesTaxText; }
    QLineEdit* salesTaxPercent() const { return m_salesTaxPercent; }
    QWidget* validate(Prompter& prompter) override;
    void OnOK() override;

protected:
    void OnInitDialog() override;

private:
    QLineEdit* m_invoiceText;
    QLineEdit* m_nextInvoiceNumber;
    QPlainTextEdit* m_footerNote;
    QCheckBox* m_applySalesTax;
    QLineEdit* m_salesTaxText;
    QLineEdit* m_salesTaxPercent;
    QString m_shownRate;
    std::optional<double> m_typedRate; // a rate the user typed, once it reads
};

class CPropertiesPage3 final : public CPropertiesPage {
    Q_OBJECT
public:
    CPropertiesPage3(SettingsRecord& record, QWidget* parent = nullptr);
    QCheckBox* showTips() const { return m_showTips; }
    QRadioButton* americanDates() const { return m_american; }
    QRadioButton* europeanDates() const { return m_european; }
    QLineEdit* monetarySymbol() const { return m_monetarySymbol; }
    void OnOK() override;

protected:
    void OnInitDialog() override;

private:
    QCheckBox* m_showTips;
    QRadioButton* m_american;
    QRadioButton* m_european;
    QLineEdit* m_monetarySymbol;
};

} // namespace quillory
