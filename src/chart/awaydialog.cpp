#include "chart/awaydialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace quillory {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

AwayDialog::AwayDialog(QWidget* parent)
    : QDialog(parent)
    , m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("awayQuestion"));
    setWindowTitle(QStringLiteral("Time away"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_text->setObjectName(QStringLiteral("awayText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(360);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(m_text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto make = [this, buttons](AwayAnswer answer, const char* name) {
        auto* button = new QPushButton(qs(awayAnswerLabel(answer, {})), this);
        button->setObjectName(QLatin1String(name));
        // No button answers Enter: each answer takes a deliberate press.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, answer] {
            emit answered(answer);
            hide();
        });
        buttons->addWidget(button);
        return button;
    };
    m_keep = make(AwayAnswer::Keep, "awayKeep");
    m_checkOut = make(AwayAnswer::CheckOut, "awayCheckOut");
    m_leaveOut = make(AwayAnswer::LeaveOut, "awayLeaveOut");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // Closing the question, by Escape or by its frame, keeps the time.
    connect(this, &QDialog::rejected, this, [this] { emit answered(AwayAnswer::Keep); });
    m_keep->setFocus();
}

void AwayDialog::setQuestion(const QString& text, const QString& checkOutLabel)
{
    m_text->setText(text);
    m_checkOut->setText(checkOutLabel);
    adjustSize();
}

QString AwayDialog::text() const
{
    return m_text->text();
}

QPushButton* AwayDialog::button(AwayAnswer answer) const
{
    switch (answer) {
    case AwayAnswer::Keep:
        return m_keep;
    case AwayAnswer::CheckOut:
        return m_checkOut;
    case AwayAnswer::LeaveOut:
        return m_leaveOut;
    }
    return nullptr;
}

void AwayDialog::keyPressEvent(QKeyEvent* event)
{
    // A dialog clicks its default button on Enter, or the focused one; here
    // Enter is taken and does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quillory
