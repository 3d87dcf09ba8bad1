// View > Options...: the user's own options, kept in the program's settings
// rather than in the data set. For now: whether and after how long to ask
// about time away.
#pragma once

#include "chart/away.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace quillory {

class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // `idleAvailable`: whether the desktop tells idle time (else only sleep
    // is noticed, and the dialog says so).
    OptionsDialog(const AwayOptions& options, bool idleAvailable, QWidget* parent = nullptr);
    AwayOptions options() const;

private:
    QCheckBox* m_ask;
    QSpinBox* m_minutes;
};

} // namespace quillory
