// ImportDialog ("Import time frames"), File > Import...: the kind of
// source and its file are chosen, the file is read and matched against the
// data set at once, and the preview shows what will happen (the counts and
// the first frames as they will land) before Import writes anything.
// Rejected rows are listed with their reasons on request.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QTableWidget;

namespace quillory {

class Prompter;
struct ImportBatch;
struct ImportPlan;

class ImportDialog final : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const std::string& dataSetPath, Prompter& prompter, QWidget* parent = nullptr);
    ~ImportDialog() override;

    QComboBox* kindList() const { return m_kinds; }
    QPushButton* fileButton() const { return m_fileButton; }
    QLabel* fileLabel() const { return m_fileLabel; }
    QFormLayout* counts() const { return m_counts; }
    QTableWidget* firstFrames() const { return m_firstFrames; }
    QPushButton* rejectedButton() const { return m_rejectedButton; }
    QPushButton* importButton() const { return m_importButton; }
    // What the preview shows; nothing before a source was read.
    const ImportPlan* plan() const { return m_plan.get(); }
    const ImportBatch* batch() const { return m_batch.get(); }

    // Asks for the source file, then previews it.
    void OnFile();
    // Reads the chosen file as the chosen kind and shows what would land;
    // a file that is not of that kind is refused with the reason.
    void preview();
    // The rejected rows with their reasons, in a list of their own.
    void showRejected();
    // Lands the import and closes; stays open when it cannot be written.
    void accept() override;

private:
    void showPlan();

    std::string m_path;
    Prompter& m_prompter;
    std::string m_source;
    std::unique_ptr<ImportBatch> m_batch;
    std::unique_ptr<ImportPlan> m_plan;
    QComboBox* m_kinds;
    QPushButton* m_fileButton;
    QLabel* m_fileLabel;
    QFormLayout* m_counts;
    QTableWidget* m_firstFrames;
    QPushButton* m_rejectedButton;
    QPushButton* m_importButton;
};

// Runs the dialog over the data set; true when time frames were imported.
bool RunImportDialog(const std::string& dataSetPath, Prompter& prompter, QWidget* parent);

} // namespace quillory
