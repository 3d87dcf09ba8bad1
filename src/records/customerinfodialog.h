// CustomerInfoDialog: the eight fields of one customer. OK copies them into
// the caller's record, each cut to what its field holds.
#pragma once

#include "data/records.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace quillory {

class CustomerInfoDialog final : public QDialog {
    Q_OBJECT
public:
    CustomerInfoDialog(CustomerRecord& record, QWidget* parent = nullptr);

    // Customer, Address, City, ZIP, State, Country, Phone.
    QLineEdit* field(int index) const { return m_fields[index]; }
    QPlainTextEdit* notes() const { return m_notes; }

    void accept() override;

private:
    CustomerRecord& m_record;
    QLineEdit* m_fields[7];
    QPlainTextEdit* m_notes;
};

} // namespace quillory
