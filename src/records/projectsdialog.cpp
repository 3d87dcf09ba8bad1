#include "records/projectsdialog.h"

#include "data/fileio.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/help.h"
#include "platform/prompter.h"
#include "platform/qt/utf8limit.h"
#include "records/projectinfodialog.h"
#include "records/projecttreemodel.h"
#include "records/removalnotes.h"

#include <QDialogButtonBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <cstring>

namespace quillory {

namespace {

// The project a drag carries, when it comes from this tree.
int draggedKey(const QAbstractItemModel* model, const QMimeData* data)
{
    const auto* projects = qobject_cast<const ProjectTreeModel*>(model);
    return projects ? projects->keyFromMimeData(data) : ProjectTree::kNone;
}

constexpr int kProjectNameBytes = sizeof(ProjectRecord::name) - 1;

// The in-place name editor takes no more than a name holds.
class ProjectNameDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            limitToBytes(line, kProjectNameBytes);
        return editor;
    }
};

} // namespace

ProjectTreeView::ProjectTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("projectsTree"));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragDropOverwriteMode(true);
    setExpandsOnDoubleClick(false);
    setItemDelegate(new ProjectNameDelegate(this));
}

void ProjectTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        keyboardMenu();
        return;
    }
    // A click counts as on an item only on its label.
    emit menuRequested(event->pos(), labelAt(event->pos()));
}

void ProjectTreeView::keyboardMenu()
{
    // From the keyboard the menu is for the selected project, shown below
    // its label.
    const QModelIndex item = currentIndex();
    const QRect r = visualRect(item);
    emit menuRequested(item.isValid() ? QPoint(r.left() + 8, r.bottom()) : QPoint(8, 8), item);
}

void ProjectTreeView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const QModelIndex item = currentIndex();
    if (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
        keyboardMenu();
        return;
    }
    if (m_editKeys && mods == Qt::NoModifier && !isEditingLabel()) {
        switch (event->key()) {
        case Qt::Key_Insert:
            emit insertPressed();
            return;
        case Qt::Key_Delete:
            if (item.isValid())
                emit deletePressed(item);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (item.isValid()) {
                emit enterPressed(item);
                return;
            }
            break;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(event);
}

QModelIndex ProjectTreeView::labelAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return {};
    QRect label = visualRect(index);
    label.setWidth(fontMetrics().horizontalAdvance(index.data().toString()) + 8);
    return label.contains(point) ? index : QModelIndex();
}

void ProjectTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = labelAt(event->position().toPoint());
    QTreeView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton)
        emit labelDoubleClicked(index);
}

void ProjectTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggedKey(this->model(), event->mimeData()) != ProjectTree::kNone)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ProjectTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeView::dragMoveEvent(event);
    const QModelIndex target = indexAt(event->position().toPoint());
    auto* model = qobject_cast<ProjectTreeModel*>(this->model());
    const int dragged = draggedKey(this->model(), event->mimeData());
    if (model && target.isValid() && model->tree().canMove(dragged, ProjectTreeModel::keyOf(target)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ProjectTreeView::dropEvent(QDropEvent* event)
{
    // The move happens in the tree, not by the view's own row shuffling.
    const QModelIndex target = indexAt(event->position().toPoint());
    const int dragged = draggedKey(this->model(), event->mimeData());
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (target.isValid() && dragged != ProjectTree::kNone)
        emit projectDropped(dragged, ProjectTreeModel::keyOf(target));
}

ProjectsDialog::ProjectsDialog(
    const std::string& projectsFile, Mode mode, Prompter& prompter, HelpService& help, QWidget* parent)
    : QDialog(parent)
    , m_projectsFile(projectsFile)
    , m_mode(mode)
    , m_prompter(prompter)
    , m_help(help)
    , m_view(new ProjectTreeView(this))
    , m_note(new QLabel(
          QStringLiteral("NOTE : Click your right mouse's button to create, delete or update your projects."), this))
{
    setWindowTitle(QStringLiteral("Quillory's Projects"));
    setObjectName(QStringLiteral("projectsDialog"));
    m_editor = [this](ProjectRecord& record) {
        ProjectInfoDialog dialog(m_projectsFile, record, m_prompter, this);
        dialog.exec();
    };

    if (auto records = loadProjects(projectsFile, prompter)) {
        m_tree = ProjectTree(std::move(*records));
        m_tree.setDataSetPath(projectsFile);
        m_loaded = true;
    }
    m_model = std::make_unique<ProjectTreeModel>(m_tree);
    m_view->setModel(m_model.get());
    m_view->expandAll();
    // The last project of the file is selected and in view.
    if (const std::vector<int> keys = m_tree.listOrder(); !keys.empty())
        selectAndShow(m_model->indexOfKey(keys.back()));

    if (m_mode == SelectionMode)
        m_note->setText(
            QStringLiteral("HINT: Double-click on one project's label to select it and close this window."));
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    // Enter in the tree is the tree's own: the buttons have their letters.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ProjectsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProjectsDialog::reject);
    m_view->setEditKeys(m_mode == EditMode);
    connect(m_view, &ProjectTreeView::menuRequested, this, &ProjectsDialog::onContextMenu);
    connect(m_view, &ProjectTreeView::insertPressed, this, &ProjectsDialog::createProject);
    connect(m_view, &ProjectTreeView::deletePressed, this,
        [this](const QModelIndex& item) { onItemCommand(item, &ProjectsDialog::deleteProject); });
    connect(m_view, &ProjectTreeView::enterPressed, this,
        [this](const QModelIndex& item) { onItemCommand(item, &ProjectsDialog::updateProject); });
    connect(m_view, &ProjectTreeView::projectDropped, this, &ProjectsDialog::dropProject);
    connect(m_view, &ProjectTreeView::labelDoubleClicked, this, &ProjectsDialog::onDoubleClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addWidget(m_note);
    layout->addWidget(buttons);
    resize(380, 420);
}

ProjectsDialog::~ProjectsDialog()
{
    // The view must let go of the model before the model goes.
    m_view->setModel(nullptr);
}

void ProjectsDialog::selectAndShow(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
}

std::unique_ptr<QMenu> ProjectsDialog::popupMenu(bool onItem)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("&Create a new project"), this, &ProjectsDialog::createProject);
    menu->addSeparator();
    if (onItem) {
        menu->addAction(QStringLiteral("Create a &sub-project"), this, &ProjectsDialog::createSubProject);
        menu->addSeparator();
        menu->addAction(QStringLiteral("&Update this project"), this, &ProjectsDialog::updateProject);
        menu->addAction(QStringLiteral("&Delete this project"), this, &ProjectsDialog::deleteProject);
        menu->addSeparator();
    }
    menu->addAction(QStringLiteral("&What's This?"), this, &ProjectsDialog::whatsThis);
    return menu;
}

void ProjectsDialog::onContextMenu(const QPoint& point, const QModelIndex& item)
{
    if (m_mode == SelectionMode || m_view->isEditingLabel())
        return;
    if (item.isValid())
        m_clickedKey = ProjectTreeModel::keyOf(item);
    popupMenu(item.isValid())->exec(m_view->viewport()->mapToGlobal(point));
}

void ProjectsDialog::onItemCommand(const QModelIndex& item, void (ProjectsDialog::*command)())
{
    m_clickedKey = ProjectTreeModel::keyOf(item);
    (this->*command)();
}

void ProjectsDialog::onDoubleClick(const QModelIndex& index)
{
    if (m_view->isEditingLabel() || !index.isValid())
        return;
    m_clickedKey = ProjectTreeModel::keyOf(index);
    if (m_mode == EditMode)
        updateProject();
    else
        accept();
}

void ProjectsDialog::editClicked()
{
    if (!m_tree.isAlive(m_clickedKey))
        return;
    ProjectRecord& record = m_tree.record(m_clickedKey);
    const ProjectRecord before = record;
    m_editor(record);
    // A cancelled information dialog leaves nothing to save.
    if (std::memcmp(&before, &record, sizeof record) != 0)
        m_model->recordChanged(m_clickedKey);
}

void ProjectsDialog::createProject()
{
    const QModelIndex index = m_model->createProject(kNewProjectName, ProjectTree::kNone, m_projectsFile);
    selectAndShow(index);
    m_clickedKey = ProjectTreeModel::keyOf(index);
    editClicked();
    nameInPlace(index, kNewProjectName);
}

void ProjectsDialog::createSubProject()
{
    if (!m_tree.isAlive(m_clickedKey))
        return;
    const QModelIndex index = m_model->createProject(kNewSubProjectName, m_clickedKey, m_projectsFile);
    m_view->expand(index.parent());
    selectAndShow(index);
    m_clickedKey = ProjectTreeModel::keyOf(index);
    editClicked();
    nameInPlace(index, kNewSubProjectName);
}

void ProjectsDialog::nameInPlace(const QModelIndex& index, const char* defaultName)
{
    // A new project still named as created gets its name typed in the
    // tree: the editor opens with the name selected, so typing replaces it.
    if (index.isValid() && fieldText(m_tree.record(ProjectTreeModel::keyOf(index)).name) == defaultName)
        m_view->edit(index);
}

void ProjectsDialog::updateProject()
{
    editClicked();
}

void ProjectsDialog::deleteProject()
{
    if (!m_tree.isAlive(m_clickedKey))
        return;
    // Under the question, what becomes of the time recorded for them.
    const auto frames = readRecords<TimeFrameRecord>(siblingPath(m_projectsFile, "tfr"));
    const std::string detail = frames
        ? projectRemovalNote(m_tree, m_clickedKey, *frames, fieldText(displaySettings(m_projectsFile).monetarySymbol))
        : std::string();
    if (!m_prompter.ask("Are you sure you want to delete the selected project and all its sub-projects?", detail,
            "Delete Confirmation"))
        return;
    m_model->removeProject(m_clickedKey);
    m_clickedKey = ProjectTree::kNone;
}

void ProjectsDialog::whatsThis()
{
    m_help.showHelp(kHelpProjectsTree);
}

bool ProjectsDialog::dropProject(int dragged, int target)
{
    // The move rebuilds the rows; what was open stays open.
    std::vector<int> expanded;
    for (int key : m_tree.listOrder()) {
        if (m_view->isExpanded(m_model->indexOfKey(key)))
            expanded.push_back(key);
    }
    if (!m_model->moveProject(dragged, target))
        return false;
    for (int key : expanded)
        m_view->expand(m_model->indexOfKey(key));
    m_view->expand(m_model->indexOfKey(dragged));
    selectAndShow(m_model->indexOfKey(dragged));
    return true;
}

void ProjectsDialog::reject()
{
    // Everything done here lives in the dialog until OK: leaving it behind
    // is asked first, Escape and the close box included.
    if (m_tree.modified() && !m_prompter.ask("Discard your changes to the projects?"))
        return;
    QDialog::reject();
}

void ProjectsDialog::accept()
{
    if (m_mode == SelectionMode) {
        const QModelIndex selected = m_view->currentIndex();
        if (!selected.isValid()) {
            m_prompter.inform("You must select a project before validating by OK.", "No selection");
            return;
        }
        m_selectedId = m_tree.record(ProjectTreeModel::keyOf(selected)).id;
    }
    // A projects file that is there (or may be: the look at it failed) but
    // could not be read is never replaced by what the dialog shows: that
    // would be an empty tree.
    if (!m_loaded && fileSystem().type(m_projectsFile) != FileType::Missing) {
        m_prompter.reportFileError(kCannotOpenProjectFile, m_projectsFile);
        if (m_mode == EditMode)
            return;
        QDialog::accept();
        return;
    }
    // A tree that was read and left as it was needs no rewrite.
    if (m_tree.modified() || !m_loaded) {
        const bool saved = saveProjects(m_projectsFile, m_tree.recordsToSave(), m_prompter);
        if (!saved && m_mode == EditMode)
            return;
    }
    QDialog::accept();
}

} // namespace quillory
