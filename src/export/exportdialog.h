// ExportDialog ("Export Quillory data to an ASCII file") gathers the output
// file, the period, the project, the format and the options of an export,
// and writes the file when OK is pressed. An existing file is replaced only
// once the user said so: in the file chooser, or, for the name the dialog
// starts with, when OK is pressed.
#pragma once

#include "export/exportwriter.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillory {

class Clock;
class Prompter;

inline constexpr const char* kExportDefaultFileName = "QLYExport.txt";
inline constexpr const char* kAllProjects = "All Projects";

class ExportDialog final : public QDialog {
    Q_OBJECT
public:
    // `userName` is written in the "User" column of every line.
    ExportDialog(const std::string& dataSetPath, Prompter& prompter, std::string userName, const Clock& clock,
        QWidget* parent = nullptr);

    QPushButton* fileButton() const { return m_fileButton; }
    QLabel* fileLabel() const { return m_fileLabel; }
    QLineEdit* fromEdit() const { return m_from; }
    QLineEdit* toEdit() const { return m_to; }
    QComboBox* projectList() const { return m_projects; }
    // The formats the dialog offers; the item data is the ExportFormat.
    QComboBox* formatList() const { return m_format; }
    // "Duration in minutes", "24-hour format", "Date and time in one field".
    QCheckBox* option(int index) const { return m_options[index]; }
    const std::string& outputFile() const { return m_outputFile; }

    // Asks for the output file; nothing is written yet.
    void OnFile();
    // Writes the export, then reports and closes; stays open on a refusal or
    // a failure.
    void accept() override;

private:
    void fillProjects();
    ExportFormat format() const;
    // The options shape the text format only; the default name follows the format.
    void formatChanged();
    // Whether the output may be written: chosen in the chooser, new, or
    // confirmed now.
    bool mayReplaceOutput();

    std::string m_path;
    Prompter& m_prompter;
    std::string m_userName;
    std::string m_outputFile = kExportDefaultFileName;
    bool m_outputChosen = false; // in the chooser, which asked before replacing
    QPushButton* m_fileButton;
    QLabel* m_fileLabel;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QComboBox* m_projects;
    QComboBox* m_format;
    QCheckBox* m_options[3];
};

} // namespace quillory
