// ProjectsDialog: the projects tree, for editing (create, nest, update,
// rename in place, move by dragging, delete with sub-projects) or for picking
// one project. It works on a copy of the projects file and writes the whole
// file back, atomically, when the user confirms with OK.
#pragma once

#include "records/projecttree.h"

#include <QDialog>
#include <QTreeView>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QMenu;

namespace quillory {

class HelpService;
class ProjectTreeModel;
class Prompter;

// The tree control: drops a dragged project after the project under the
// pointer, as the dialog decides, and offers the dialog's commands from the
// keyboard: the Menu key and Shift+F10 for the popup menu, Insert, Delete and
// Enter (the last three only while editing keys are on).
class ProjectTreeView final : public QTreeView {
    Q_OBJECT
public:
    explicit ProjectTreeView(QWidget* parent = nullptr);
    // The item whose label (not just its row) lies under the point.
    QModelIndex labelAt(const QPoint& point) const;
    // A label is being edited in place.
    bool isEditingLabel() const { return state() == EditingState; }
    void setEditKeys(bool on) { m_editKeys = on; }

signals:
    void projectDropped(int dragged, int target);
    void labelDoubleClicked(const QModelIndex& index);
    // A popup menu at a point of the viewport, for an item or for none.
    void menuRequested(const QPoint& point, const QModelIndex& item);
    void insertPressed();
    void deletePressed(const QModelIndex& item);
    void enterPressed(const QModelIndex& item);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void keyboardMenu();
    bool m_editKeys = false;
};

inline constexpr const char* kNewProjectName = "New project";
inline constexpr const char* kNewSubProjectName = "New sub-project";

class ProjectsDialog final : public QDialog {
    Q_OBJECT
public:
    enum Mode { EditMode = 0, SelectionMode = 1 };

    ProjectsDialog(
        const std::string& projectsFile, Mode mode, Prompter& prompter, HelpService& help, QWidget* parent = nullptr);
    ~ProjectsDialog() override;

    // The projects file was read and holds no project.
    bool isEmptyAsRead() const { return m_loaded && m_tree.size() == 0; }
    // The chosen project's id, after OK in selection mode.
    std::int32_t selectedId() const { return m_selectedId; }

    // What edits one project's details; the information dialog by default.
    void setProjectEditor(std::function<void(ProjectRecord&)> editor) { m_editor = std::move(editor); }

    // The commands of the popup menus, on the clicked item.
    void setClickedKey(int key) { m_clickedKey = key; }
    void createProject();
    void createSubProject();
    void updateProject();
    void deleteProject();
    void whatsThis();
    // A drop of one project on another.
    bool dropProject(int dragged, int target);
    // The popup menu for a right-click on an item or on empty space.
    std::unique_ptr<QMenu> popupMenu(bool onItem);

    // OK: in selection mode only with a project selected; saves the tree.
    void accept() override;
    // Cancel, Escape and the close box: changes are given up only once the
    // user says so.
    void reject() override;

    ProjectTreeView* treeView() const { return m_view; }
    ProjectTreeModel* model() const { return m_model.get(); }
    ProjectTree& tree() { return m_tree; }
    QLabel* note() const { return m_note; }

private:
    void onContextMenu(const QPoint& point, const QModelIndex& item);
    void onDoubleClick(const QModelIndex& index);
    // Makes an item the clicked one and runs a command on it.
    void onItemCommand(const QModelIndex& item, void (ProjectsDialog::*command)());
    void editClicked();
    void selectAndShow(const QModelIndex& index);
    void nameInPlace(const QModelIndex& index, const char* defaultName);

    std::string m_projectsFile;
    Mode m_mode;
    Prompter& m_prompter;
    HelpService& m_help;
    ProjectTree m_tree;
    bool m_loaded = false;
    std::unique_ptr<ProjectTreeModel> m_model;
    ProjectTreeView* m_view;
    QLabel* m_note;
    int m_clickedKey = ProjectTree::kNone;
    std::int32_t m_selectedId = -1;
    std::function<void(ProjectRecord&)> m_editor;
};

} // namespace quillory
