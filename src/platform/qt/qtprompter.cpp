#include "platform/qt/qtprompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <string>

namespace quillory {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The question in the box's own text, the paragraph of detail under it in
// the smaller informative text.
void setTexts(QMessageBox& box, const std::string& text)
{
    // Messages quote names and paths as the user typed them: "<h1>Big</h1>"
    // is a project's name, not markup.
    box.setTextFormat(Qt::PlainText);
    const auto split = text.find(Prompter::kDetailSeparator);
    if (split == std::string::npos) {
        box.setText(QString::fromStdString(text));
        return;
    }
    box.setText(QString::fromStdString(text.substr(0, split)));
    box.setInformativeText(
        QString::fromStdString(text.substr(split + std::char_traits<char>::length(Prompter::kDetailSeparator))));
    if (auto* detail = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        detail->setTextFormat(Qt::PlainText);
}

} // namespace

QString qtNameFilters(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() && pattern.isEmpty())
            break;
        filters << (description.contains(QLatin1Char('('))
                ? description
                : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QWidget* QtPrompter::boxOwner() const
{
    // A box raised from a dialog belongs to that dialog: it stays above it,
    // and F1 there opens the dialog's help.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return m_owner.data();
}

MessageAnswer QtPrompter::showMessage(
    const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString(),
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, boxOwner());
    setTexts(box, text);
    // Every question the program asks is about throwing something away
    // (running time, a project, time frames): Enter answers No.
    if (buttons == MessageButtons::YesNo)
        box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::size_t QtPrompter::askChoice(const std::string& text, const std::string& caption,
    const std::vector<std::string>& answers, std::size_t defaultAnswer, std::size_t cancelAnswer)
{
    QMessageBox box(
        QMessageBox::Question, QString::fromStdString(caption), QString(), QMessageBox::NoButton, boxOwner());
    setTexts(box, text);
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        // The answer that changes nothing takes the place of Cancel, the
        // others line up before it in the order given.
        const auto role = i == cancelAnswer ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        buttons.push_back(box.addButton(QString::fromStdString(answers[i]), role));
        buttons.back()->setObjectName(QStringLiteral("answer%1").arg(i));
    }
    if (defaultAnswer < buttons.size())
        box.setDefaultButton(buttons[defaultAnswer]);
    if (cancelAnswer < buttons.size())
        box.setEscapeButton(buttons[cancelAnswer]);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return i;
    }
    return cancelAnswer;
}

std::optional<std::string> QtPrompter::askFileName(const FileDialogRequest& request, bool forSaving)
{
    QFileDialog dialog(m_owner.data());
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(qtNameFilters(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.initialName.empty())
        dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtPrompter::askSaveFileName(const FileDialogRequest& request)
{
    return askFileName(request, true);
}

std::optional<std::string> QtPrompter::askOpenFileName(const FileDialogRequest& request)
{
    return askFileName(request, false);
}

} // namespace quillory
