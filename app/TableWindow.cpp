#include "TableWindow.h"

#include "Artwork.h"
#include "CellEditor.h"
#include "EntryFilter.h"
#include "EntryTableModel.h"
#include "SaveQuestions.h"
#include "SetFieldDialog.h"
#include "TableFileMenu.h"
#include "UiText.h"

#include "species/Vocabulary.h"
#include "tables/ChangeText.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <set>

namespace app {

namespace {

// "3 changes in 2 entries": the TM and HM flags of an entry count as one change, as they show
// on one line.
QString countOf(const std::vector<species::Change>& changes) {
    return QString::fromStdString(tables::countChanges(changes));
}

// "2 entries", "1 entry".
QString entriesOf(const std::vector<species::Change>& changes) {
    std::set<int> entries;
    for (const species::Change& change : changes)
        entries.insert(change.position);
    return QString::fromStdString(tables::counted(entries.size(), "entry", "entries"));
}

QString linesOf(const std::vector<species::Change>& changes, nds::Game game) {
    QStringList lines;
    for (const std::string& line : tables::describeChanges(changes, game))
        lines << QString::fromStdString(line);
    return lines.join('\n');
}

} // namespace

TableWindow::TableWindow(AppServices services, std::function<void(const files::OpenNotes&)> tell,
                         std::function<int()> shownElsewhere)
    : m_services(services), m_tell(std::move(tell)), m_shownElsewhere(std::move(shownElsewhere)),
      m_model(new EntryTableModel(this)), m_filter(new EntryFilter(this)) {
    setObjectName(QStringLiteral("tableWindow"));
    setWindowIcon(artwork::programIcon());
    setAttribute(Qt::WA_QuitOnClose, false);
    m_filter->setSourceModel(m_model);
    m_files = std::make_unique<TableFileMenu>(m_services, *m_model, this);
    setAcceptDrops(true);
    buildMenus();
    buildGrid();
    connect(m_model, &EntryTableModel::refused, this,
            [this](const QString& why) { setStatus(QStringLiteral("Not changed: ") + why); });
    resize(960, 600);
}

TableWindow::~TableWindow() {
    if (m_document)
        m_document->unlisten(m_listening);
    m_model->setDocument(nullptr);
}

void TableWindow::buildMenus() {
    const auto add = [this](QMenu* menu, const char* name, const QString& text,
                            const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuTableFile"));
    const auto choose = [this](const QString& title, const QStringList& filters) {
        return m_files->chooseFile(title, filters, false);
    };
    const QStringList tables = {QStringLiteral("Tables and patches (*.csv *.json)")};
    connect(add(file, "mnuImportTable", QStringLiteral("Import Table...")), &QAction::triggered,
            this, [this, choose, tables] {
                if (const QString path = choose(QStringLiteral("Import Table"), tables);
                    !path.isEmpty())
                    m_files->importTable(path);
            });
    connect(add(file, "mnuExportTable", QStringLiteral("Export Table...")), &QAction::triggered,
            this, [this] { m_files->exportTable(); });
    connect(add(file, "mnuApplyPatch", QStringLiteral("Apply Patch...")), &QAction::triggered, this,
            [this, choose, tables] {
                if (const QString path = choose(QStringLiteral("Apply Patch"), tables);
                    !path.isEmpty())
                    m_files->applyPatch(path);
            });
    connect(add(file, "mnuCompare", QStringLiteral("Compare with Image...")), &QAction::triggered,
            this, [this] { m_files->compare(); });
    file->addSeparator();
    m_save = add(file, "mnuTableSave", QStringLiteral("Save Changes"), QKeySequence::Save);
    m_discard = add(file, "mnuTableDiscard", QStringLiteral("Discard Changes"));
    file->addSeparator();
    connect(add(file, "mnuTableClose", QStringLiteral("Close"), QKeySequence::Close),
            &QAction::triggered, this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuTableEdit"));
    m_undoEdit = add(edit, "mnuTableUndoEdit", QStringLiteral("Undo Edit"), QKeySequence::Undo);
    m_undoSave = add(edit, "mnuTableUndoSave", QStringLiteral("Undo Save"));
    edit->addSeparator();
    connect(add(edit, "mnuSetSelected", QStringLiteral("Set for Selected Entries...")),
            &QAction::triggered, this, &TableWindow::setForSelected);
    connect(add(edit, "mnuTableFind", QStringLiteral("Filter"), QKeySequence::Find),
            &QAction::triggered, this, [this] {
                m_search->setFocus(Qt::ShortcutFocusReason);
                m_search->selectAll();
            });
    connect(m_save, &QAction::triggered, this, [this] { (void)saveStaged(); });
    connect(m_discard, &QAction::triggered, this, &TableWindow::askToDiscard);
    connect(m_undoEdit, &QAction::triggered, this, [this] {
        if (m_document)
            m_document->undoStep();
    });
    connect(m_undoSave, &QAction::triggered, this, &TableWindow::undoSaveRequested);
    m_undoSave->setEnabled(false);
}

void TableWindow::buildGrid() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_search = new QLineEdit(central);
    m_search->setObjectName(QStringLiteral("txtFilter"));
    m_search->setPlaceholderText(QStringLiteral("Filter by name, type or ability"));
    m_search->setAccessibleName(QStringLiteral("Filter by name, type or ability"));
    m_search->setClearButtonEnabled(true);
    // The clear button is an icon: screen readers need its name.
    for (QAction* action : m_search->actions()) {
        action->setText(QStringLiteral("Clear the filter"));
        action->setToolTip(action->text());
    }
    for (QToolButton* button : m_search->findChildren<QToolButton*>())
        button->setAccessibleName(QStringLiteral("Clear the filter"));
    m_grid = new QTableView(central);
    m_grid->setObjectName(QStringLiteral("tblEntries"));
    m_grid->setAccessibleName(QStringLiteral("Entries"));
    m_grid->setModel(m_filter);
    auto* editor = new CellEditor(m_grid);
    m_grid->setItemDelegate(editor);
    // Said once the editor has closed, and the cell shows its value again.
    connect(
        editor, &CellEditor::refused, this,
        [this](const QString& message) {
            m_services.prompter.showMessage(this, Prompter::Icon::Warning, uitext::programName(),
                                            message);
        },
        Qt::QueuedConnection);
    m_grid->setSortingEnabled(true);
    m_grid->sortByColumn(0, Qt::AscendingOrder);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    // Column widths from a sample of rows: measuring every cell of 507 rows would be slow.
    m_grid->horizontalHeader()->setResizeContentsPrecision(64);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid->installEventFilter(this);
    m_status = new QLabel(central);
    m_status->setObjectName(QStringLiteral("lblTableStatus"));
    layout->addWidget(m_search);
    layout->addWidget(m_grid);
    layout->addWidget(m_status);
    setCentralWidget(central);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->setText(text);
        showStatus();
    });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = m_grid->indexAt(at);
        QMenu menu(this);
        QAction* back = menu.addAction(QStringLiteral("Put Back the Value on Disk"));
        back->setEnabled(index.isValid() && !index.data(Qt::ToolTipRole).toString().isEmpty());
        if (menu.exec(m_grid->viewport()->mapToGlobal(at)) == back)
            putBackFromDisk(index);
    });
}

bool TableWindow::load(species::ImageDocument& document, const QString& caption) {
    if (m_document)
        m_document->unlisten(m_listening);
    m_document = &document;
    m_listening = m_document->listen([this](const std::vector<int>&) {
        m_saved.clear(); // what the last save wrote is what the disk held then
        showStatus();
    });
    m_saved.clear();
    setWindowTitle(QStringLiteral("Table - ") + caption + QStringLiteral("[*]"));
    // What the disk holds now: the table is read again whenever it is shown anew.
    const base::Status read = document.reloadAll();
    m_tell(document.takeNotes());
    if (!read.ok() || !document.table(species::Kind::BaseStats).place) {
        const base::Error error =
            read.ok() ? *document.table(species::Kind::BaseStats).missing : read.error();
        m_services.prompter.showMessage(this, Prompter::Icon::Warning, uitext::programName(),
                                        QString::fromStdString(error.describe()) +
                                            QStringLiteral(" The table cannot be shown."));
        m_model->setDocument(nullptr);
        return false;
    }
    m_model->setDocument(&document);
    m_grid->resizeColumnsToContents();
    showStatus();
    return true;
}

void TableWindow::showStatus() {
    const std::vector<species::Change> changes =
        m_document ? m_document->pending() : std::vector<species::Change>();
    setWindowModified(!changes.empty());
    m_save->setEnabled(!changes.empty());
    m_discard->setEnabled(!changes.empty());
    m_undoEdit->setEnabled(m_document && m_document->canUndoStep());
    setStatus(!m_saved.isEmpty()
                  ? m_saved
                  : QStringLiteral("%1 entries, %2 shown; %3")
                        .arg(m_model->rowCount())
                        .arg(m_filter->rowCount())
                        .arg(changes.empty() ? QStringLiteral("no changes") : countOf(changes)));
}

void TableWindow::setStatus(const QString& text) {
    m_status->setText(text);
    // Screen readers announce the line by its name: its text, whatever it says now.
    m_status->setAccessibleName(text);
}

int TableWindow::ask(const QString& text, const QString& details, QList<Prompter::Button> buttons) {
    return m_services.prompter.ask(
        this, Prompter::Question::withCancel(Prompter::Icon::Question, uitext::programName(), text,
                                             std::move(buttons), details));
}

bool TableWindow::saveStaged(const std::set<int>& positions) {
    if (!m_document)
        return true;
    const auto batch = [&] {
        return positions.empty() ? m_document->pending() : m_document->pending(positions);
    };
    const std::vector<species::Change> changes = batch();
    if (changes.empty())
        return true;
    const bool one = tables::describeChanges(changes).size() == 1;
    const std::string layout = m_document->layoutChange(changes);
    if (ask((one ? QStringLiteral("Save this change to the ROM?")
                 : QStringLiteral("Save these %1 to the ROM?").arg(countOf(changes))) +
                (layout.empty() ? QString() : QLatin1Char(' ') + layoutSentence(layout)),
            linesOf(changes, m_model->game()), {{QStringLiteral("Save"), QMessageBox::Save}}) != 0)
        return false;
    const SaveRound round{
        batch,
        [&](const species::SaveOutcome& conflict) {
            return ask(QStringLiteral("Another program changed %1 in the ROM since the table read "
                                      "them (below). Overwrite them with the changes staged here?")
                           .arg(entriesOf(conflict.theirs)),
                       linesOf(conflict.theirs, m_model->game()),
                       {{QStringLiteral("Overwrite")}}) == 0;
        },
        [this] { m_tell(m_document->takeNotes()); },
        [this](const base::Error& error) {
            m_services.prompter.showMessage(
                this, Prompter::Icon::Warning, uitext::programName(),
                QString::fromStdString(error.describe()) +
                    QStringLiteral(" Nothing was written; the changes are still staged."));
        }};
    const std::optional<species::SaveOutcome> saved =
        saveAsking(*m_document, "table save of " + countOf(changes).toStdString(), round);
    if (!saved)
        return false;
    m_saved = countOf(changes) + QStringLiteral(" saved");
    showStatus();
    return true;
}

void TableWindow::askToDiscard() {
    if (!m_document)
        return;
    const std::vector<species::Change> changes = m_document->pending();
    if (changes.empty())
        return;
    if (ask(QStringLiteral("Discard the %1 staged here?").arg(countOf(changes)), {},
            {{QStringLiteral("Discard"), QMessageBox::Discard}}) == 0)
        m_document->discardAll();
}

void TableWindow::setUndoSaveEnabled(bool enabled) {
    m_undoSave->setEnabled(enabled);
}

std::vector<int> TableWindow::selectedPositions() const {
    std::vector<int> positions;
    for (const QModelIndex& row : m_grid->selectionModel()->selectedRows())
        positions.push_back(m_filter->mapToSource(row).row());
    std::sort(positions.begin(), positions.end());
    return positions;
}

void TableWindow::setForSelected() {
    const std::vector<int> positions = selectedPositions();
    if (positions.empty())
        return;
    auto* dialog = new SetFieldDialog(
        m_model->game(), static_cast<int>(positions.size()),
        [this](const SetFieldDialog::Request& request, const QString& said) {
            return applyRequest(request, said);
        },
        this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

bool TableWindow::applyRequest(const SetFieldDialog::Request& request, const QString& said) {
    std::vector<species::Change> values;
    for (const int position : selectedPositions()) {
        const int now = m_model->value(position, request.field);
        const int after = request.operation == SetFieldDialog::Operation::Add ? now + request.value
                          : request.operation == SetFieldDialog::Operation::Subtract
                              ? now - request.value
                              : request.value;
        values.push_back(m_document->changeTo(position, request.field, after));
    }
    const QStringList refused = m_model->stage(values);
    if (refused.isEmpty())
        return true;
    m_services.prompter.showMessage(
        this, Prompter::Icon::Warning, uitext::programName(),
        QStringLiteral("Nothing was changed: %1 of the selected entries cannot take \"%2\".\n\n%3")
            .arg(refused.size())
            .arg(said, uitext::listed(refused)));
    return false;
}

void TableWindow::putBackFromDisk(const QModelIndex& index) {
    const QModelIndex source = m_filter->mapToSource(index);
    const EntryTableModel::Column& column =
        EntryTableModel::columns()[static_cast<std::size_t>(source.column())];
    if (column.kind != EntryTableModel::Column::Kind::Field)
        return;
    (void)m_model->stage({m_document->changeTo(source.row(), column.field,
                                               m_document->diskValue(source.row(), column.field))});
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter edits the cell, as F2 does; while a cell is edited, its editor has the keys, and
    // Enter ends the edit.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_grid->currentIndex().isValid()) {
            m_grid->edit(m_grid->currentIndex());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TableWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().front().isLocalFile())
        event->acceptProposedAction();
}

// A table is imported, a patch applied, each after its preview; anything else is refused.
void TableWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    m_files->dropped(urls.front().toLocalFile());
}

void TableWindow::closeEvent(QCloseEvent* event) {
    // The entry the main window shows keeps its edits in sight there; the others' would be
    // out of sight once this window closes.
    std::set<int> staged = m_document ? m_document->pendingEntries() : std::set<int>();
    staged.erase(m_shownElsewhere());
    if (!staged.empty()) {
        const QString named = staged.size() == 1
                                  ? QString::fromStdString(vocabulary::entryLabel(*staged.begin()))
                                  : QStringLiteral("%1 entries").arg(staged.size());
        switch (askToSave(m_services.prompter, this, named)) {
        case SaveAnswer::Save:
            if (!saveStaged(staged)) {
                event->ignore();
                return;
            }
            break;
        case SaveAnswer::Discard:
            m_document->discard(staged);
            break;
        case SaveAnswer::Cancel:
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace app
