#include "MainWindow.h"

#include "AboutDialog.h"
#include "Artwork.h"
#include "DocumentWatcher.h"
#include "EntryList.h"
#include "EvTmDialog.h"
#include "EvolutionDialog.h"
#include "FileDialogBackend.h"
#include "MovesDialog.h"
#include "NoteDialog.h"
#include "Prompter.h"
#include "RecordForm.h"
#include "SaveQuestions.h"
#include "TableWindow.h"
#include "UiText.h"

#include "species/EggMoveKind.h"
#include "species/EggMoveRules.h"
#include "species/EntryRules.h"
#include "species/Vocabulary.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QWindow>

namespace app {

namespace {

// What a failed save says of the values typed.
const QString kEditsKept =
    QStringLiteral(" Nothing was written, and your changes are still on view to save again.");

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The values of the fields of `parts` of the entry at `position`, as shown.
species::ByField<int> valuesOf(const species::ImageDocument& document, int position,
                               std::initializer_list<species::Part> parts) {
    species::ByField<int> values;
    for (const species::Part part : parts)
        for (const species::FieldDescriptor& field : species::fieldsOf(part))
            values[field.field] = document.value(position, field.field).number();
    return values;
}

EntryDialog* makeEvTmDialog(const MainWindow::EntryContext& entry) {
    return new EvTmDialog(
        QString::fromStdString(vocabulary::entryName(entry.position)),
        valuesOf(entry.document, entry.position,
                 {species::Part::EvYield, species::Part::SpriteFlag, species::Part::TmHm}),
        entry.document.edition()->game);
}

// Only an image with an evolution table has the command on.
EntryDialog* makeEvolutionDialog(const MainWindow::EntryContext& entry) {
    return new EvolutionDialog(entry.position,
                               valuesOf(entry.document, entry.position, {species::Part::Evolution}),
                               entry.document.edition()->game);
}

// Only an image with a learnset table or a list of egg moves has the command on.
EntryDialog* makeMovesDialog(const MainWindow::EntryContext& entry) {
    const species::ImageDocument& document = entry.document;
    MovesDialog::Lists lists;
    if (document.table(species::Kind::Learnsets).place)
        lists.learnset = document.value(entry.position, species::Field::Learnset);
    if (const auto& place = document.table(species::Kind::EggMoves).place) {
        // A form shows its species' egg moves; an Egg entry, which has none, its own.
        const int species = species::eggSpeciesOf(entry.position);
        lists.eggMoves =
            document.value(species > 0 ? species - 1 : entry.position, species::Field::EggMoves);
        lists.freeEggWords =
            species::eggListFreeWords(*place, document.records(species::Kind::EggMoves));
    }
    return new MovesDialog(entry.position, lists);
}

// Why an image has no table of `kind` to edit, for the menu item's tooltip; empty when it has.
QString missingTip(const species::ImageDocument& document, species::Kind kind,
                   const QString& named) {
    const species::KindTable& table = document.table(kind);
    return table.place ? QString()
                       : QStringLiteral("This ROM has no %1: %2")
                             .arg(named, QString::fromStdString(table.missing->describe()));
}

} // namespace

MainWindow::MainWindow(AppServices services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_watcher(new DocumentWatcher(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(uitext::programName());
    setWindowIcon(artwork::programIcon());
    m_ui.setupUi(this);
    m_record = std::make_unique<RecordForm>(m_ui);
    setFixedSize(sizeHint());
    setAcceptDrops(true);

    connect(m_ui.openAction, &QAction::triggered, this, &MainWindow::openImage);
    connect(m_ui.entryList, &EntryList::entryChosen, this, &MainWindow::loadEntry);
    connect(m_ui.saveAction, &QAction::triggered, this, [this] {
        if (takesInput())
            (void)saveEntry();
    });
    connect(m_ui.undoSaveAction, &QAction::triggered, this, &MainWindow::undoSave);
    connect(m_ui.tableAction, &QAction::triggered, this, &MainWindow::showTable);
    connect(m_ui.exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_ui.evTmAction, &QAction::triggered, this, [this] {
        if (m_ui.evTmAction->isEnabled())
            editInDialog(makeEvTmDialog);
    });
    connect(m_ui.evolutionsAction, &QAction::triggered, this, [this] {
        if (m_ui.evolutionsAction->isEnabled())
            editInDialog(makeEvolutionDialog);
    });
    connect(m_ui.movesAction, &QAction::triggered, this, [this] {
        if (m_ui.movesAction->isEnabled())
            editInDialog(makeMovesDialog);
    });
    connect(m_ui.noGenderAction, &QAction::triggered, this,
            [this] { showDialog(new NoteDialog(Note::noGender())); });
    connect(m_ui.readErrorAction, &QAction::triggered, this,
            [this] { showDialog(new NoteDialog(Note::readErrors())); });
    connect(m_ui.aboutAction, &QAction::triggered, this, [this] { showDialog(new AboutDialog); });
    connect(m_record.get(), &RecordForm::edited, this, &MainWindow::showModified);
    for (const species::FieldDescriptor& field : species::fieldsOf(species::Part::Main))
        if (field.isNumber())
            m_ui.boxes[field.field]->installEventFilter(this);
}

// A text box takes some keys for itself (Ctrl+E moves to the end of the line): where one of
// them is a shortcut of the window's own commands, the command wins.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : findChildren<QAction*>())
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                event->ignore(); // whatever the box would say: the shortcut goes on
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

MainWindow::~MainWindow() {
    delete m_dialog.data();
    m_table.reset(); // a view of the document, which goes next
    if (m_document)
        m_document->unlisten(m_listening);
}

// Disabling the window blocks the user's input, but not an action triggered from code.
bool MainWindow::takesInput() const {
    return isEnabled() && !m_dialog;
}

void MainWindow::say(Prompter::Icon icon, const QString& text) {
    m_services.prompter.showMessage(this, icon, uitext::programName(), text);
}

int MainWindow::ask(Prompter::Icon icon, const QString& text, QList<Prompter::Button> buttons) {
    return m_services.prompter.ask(this, Prompter::Question::withCancel(icon, uitext::programName(),
                                                                        text, std::move(buttons)));
}

void MainWindow::dropShownEntry() {
    m_record->clear();
    m_shownRow = -1;
    // As at start: nothing can be typed that could not be saved.
    for (QWidget* widget : m_ui.editingControls())
        widget->setEnabled(false);
    setEntryActionsEnabled(false);
    showModified();
}

// An image dragged from a file manager opens as Open ROM opens it.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (takesInput() && urls.size() == 1 && urls.front().isLocalFile() &&
        urls.front().toLocalFile().endsWith(QStringLiteral(".nds"), Qt::CaseInsensitive))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    openImageAt(urls.front().toLocalFile());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_dialog)
        m_dialog->close();
    if (!settleEdits(true)) {
        event->ignore();
        return;
    }
    if (m_table) {
        m_document->discardAll(); // settled: saved, or the user let them go
        m_table->close();
    }
    event->accept();
}

bool MainWindow::settleEdits(bool all) {
    const bool mine = m_shownRow >= 0 && m_record->hasEdits();
    std::set<int> others = all && m_document ? m_document->pendingEntries() : std::set<int>();
    others.erase(m_shownRow);
    if (!mine && others.empty())
        return true;
    // One question about all unsaved work: an entry by its name, more by their number.
    const std::size_t entries = others.size() + (mine ? 1 : 0);
    const QString named =
        entries > 1
            ? QStringLiteral("%1 entries").arg(entries)
            : QString::fromStdString(vocabulary::entryLabel(mine ? m_shownRow : *others.begin()));
    switch (askToSave(m_services.prompter, this, named)) {
    case SaveAnswer::Save:
        return (!mine || saveEntry()) &&
               (others.empty() || (m_table && m_table->saveStaged(others)));
    case SaveAnswer::Discard:
        if (mine)
            others.insert(m_shownRow);
        m_document->discard(others);
        if (mine)
            m_record->show(m_shownRow); // typed text that was no number goes too
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void MainWindow::showTable() {
    if (!takesInput() || !m_document || !m_ui.tableAction->isEnabled())
        return;
    if (!m_table) {
        m_table = std::make_unique<TableWindow>(
            m_services, [this](const files::OpenNotes& notes) { tell(notes); },
            [this] { return m_shownRow; });
        connect(m_table.get(), &TableWindow::undoSaveRequested, this, &MainWindow::undoSave);
        if (!m_table->load(*m_document, uitext::imageCaption(m_document->edition()->code)))
            return;
        showUndoState();
    }
    m_table->show();
    m_table->raise();
    m_table->activateWindow();
}

void MainWindow::documentChanged(const std::vector<int>& positions) {
    if (m_shownRow >= 0 && (positions.empty() || std::find(positions.begin(), positions.end(),
                                                           m_shownRow) != positions.end()))
        m_record->refresh();
    showModified();
    showUndoState();
}

void MainWindow::showUndoState() {
    const bool undoable = m_document && !m_document->lastSave().empty();
    m_ui.undoSaveAction->setEnabled(undoable);
    if (m_table)
        m_table->setUndoSaveEnabled(undoable);
}

void MainWindow::showModified() {
    setWindowModified(m_shownRow >= 0 && m_record->hasEdits());
}

void MainWindow::openImage() {
    if (!takesInput())
        return;
    // Every time afresh: the folder the program runs in, the first filter.
    FileDialogRequest request;
    request.owner = this;
    request.title =
        QStringLiteral("Open Pokémon Diamond, Pearl, Platinum, HeartGold or SoulSilver ROM...");
    request.nameFilters = {QStringLiteral("NDS ROMs (*.nds)")};
    request.existingFileOnly = true;
    const FileDialogAnswer answer = m_services.fileDialogs.run(request);
    if (!answer.accepted || answer.path.isEmpty())
        return;
    openImageAt(answer.path);
}

void MainWindow::openImageAt(const QString& path) {
    if (!takesInput())
        return;

    // A FIFO, a device or a folder is no image: the document says so before touching it.
    auto document = std::make_unique<species::ImageDocument>(m_services.io, localPath(path));
    const base::Result<species::ImageReport> report = document->open();
    const files::OpenNotes notes = document->takeNotes();
    tell(notes);
    std::optional<base::Error> refused;
    if (!report.ok())
        refused = report.error();
    // An edition with a fixed place is opened even without its table: a load says why it is
    // missing.
    else if (const species::KindTable& stats = report.value().table(species::Kind::BaseStats);
             !stats.place && !report.value().edition->hasFixedBase())
        refused = *stats.missing;
    if (refused) {
        if (refused->kind != base::Error::Kind::Unsupported &&
            refused->kind != base::Error::Kind::NotAnImage) {
            reportFailure(*refused);
            return;
        }
        // The image opened before stays current, so nothing touches the rejected file.
        say(Prompter::Icon::Warning, QStringLiteral("Unsupported ROM"));
        return;
    }
    // The edits on view, and the table's, belong to the image open now.
    if (!settleEdits(true))
        return;
    // Only an image it will work on has its mode changed. Read-only media, an immutable file or
    // another user's file can still be viewed.
    const base::Status writable = document->makeWritable();
    const species::KindTable& stats = report.value().table(species::Kind::BaseStats);
    acceptImage(path, std::move(document),
                stats.place ? stats.place->entries : species::kSpeciesCount);
    if (!writable.ok())
        say(Prompter::Icon::Warning,
            QString::fromStdString(writable.error().describe()) +
                QStringLiteral(" The image is open for viewing, but saving into it will fail."));
    else if (notes.links > 1)
        say(Prompter::Icon::Warning,
            QStringLiteral("This ROM file has %1 names (hard links). It is open for viewing, but "
                           "Save ROM will not write into it: a save would change it under every "
                           "name, and an interrupted save could not be rolled back from the "
                           "others. Copy it to a file of its own to edit it.")
                .arg(notes.links));
}

void MainWindow::acceptImage(const QString& path, std::unique_ptr<species::ImageDocument> document,
                             int entries) {
    if (m_document)
        m_document->unlisten(m_listening);
    // The views leave the document of the image before, which goes once they have.
    const std::unique_ptr<species::ImageDocument> before = std::move(m_document);
    m_document = std::move(document);
    m_listening = m_document->listen(
        [this](const std::vector<int>& positions) { documentChanged(positions); });
    m_record->setDocument(m_document.get());
    m_watcher->watch(m_document.get(), path, [this] { tellNotes(); });
    const nds::GameEdition& edition = *m_document->edition();
    m_imagePath = path;
    // The longer titles of HeartGold and SoulSilver do not fit the strip: they end in "…",
    // and the whole title is in the tooltip and the spoken name.
    const QString title = uitext::fromUtf8(edition.title);
    const QString shown =
        m_ui.gameTitle->fontMetrics().elidedText(title, Qt::ElideRight, m_ui.gameTitle->width());
    m_ui.gameTitle->setText(shown);
    m_ui.gameTitle->setToolTip(shown == title ? QString() : title);
    m_ui.gameTitle->setAccessibleName(title);
    m_ui.gameLanguage->setText(uitext::fromUtf8(edition.language));
    m_ui.gameCode->setText(uitext::fromUtf8(edition.code));
    m_ui.gameCode->setToolTip(QString()); // until a load finds the new image's table
    // "[*]" stands for the mark of unsaved edits.
    setWindowTitle(uitext::imageCaption(edition.code) + QStringLiteral("[*]"));
    QWidget* const opened[] = {m_ui.romInformation, m_ui.speciesFrame,    m_ui.entryList,
                               m_ui.codeCaption,    m_ui.languageCaption, m_ui.titleCaption};
    for (QWidget* widget : opened)
        widget->setEnabled(true);
    m_ui.entryList->showEntries(entries);
    m_ui.entryList->returnTo(-1);
    // The values on view belong to the previous image, and perhaps to another edition's
    // table: nothing of them stays to be saved into this one.
    dropShownEntry();
    m_ui.showListsOf(edition.game);
    m_ui.tableAction->setEnabled(true);
    if (m_table)
        m_table->load(*m_document, uitext::imageCaption(edition.code));
    showUndoState();
}

void MainWindow::setEntryActionsEnabled(bool enabled) {
    m_ui.saveAction->setEnabled(enabled);
    m_ui.evTmAction->setEnabled(enabled);
    m_ui.evolutionsAction->setEnabled(enabled && m_document &&
                                      m_document->table(species::Kind::Evolutions).place);
    m_ui.movesAction->setEnabled(enabled && m_document &&
                                 (m_document->table(species::Kind::Learnsets).place ||
                                  m_document->table(species::Kind::EggMoves).place));
}

void MainWindow::enableEditing() {
    for (QWidget* widget : m_ui.editingControls())
        widget->setEnabled(true);
}

void MainWindow::tellNotes() {
    if (m_document)
        tell(m_document->takeNotes());
}

void MainWindow::loadEntry(int row) {
    if (!takesInput() || row < 0 || !m_document)
        return;
    if (m_shownRow >= 0 && m_record->hasEdits()) {
        // The highlight stays on the entry on view until the question is answered.
        m_ui.entryList->returnTo(m_shownRow);
        if (!settleEdits())
            return;
        m_ui.entryList->returnTo(row);
    }
    enableEditing();
    const base::Result<species::TablePlace> read = m_document->reload(row);
    tellNotes();
    if (!read.ok()) {
        reportFailure(read.error());
        // Nothing of another entry may stay on view to be saved over this one.
        dropShownEntry();
        m_ui.entryList->returnTo(-1);
        return;
    }
    showTablePlace(read.value());
    m_record->show(row);
    m_shownRow = row;
    setEntryActionsEnabled(true);
    // The menu says why an image has no evolutions or moves to edit.
    m_ui.evolutionsAction->setToolTip(
        missingTip(*m_document, species::Kind::Evolutions, QStringLiteral("evolution table")));
    const QStringList missingMoves = {
        missingTip(*m_document, species::Kind::Learnsets, QStringLiteral("learnset table")),
        missingTip(*m_document, species::Kind::EggMoves, QStringLiteral("list of egg moves"))};
    m_ui.movesAction->setToolTip(missingMoves.join(QLatin1Char('\n')).trimmed());
    showModified();

    switch (species::alternateFormNote(row)) {
    case species::FormNote::Deoxys:
        say(Prompter::Icon::Information,
            QStringLiteral("Please note that Deoxys' alternate formes can be edited below."));
        break;
    case species::FormNote::Wormadam:
        say(Prompter::Icon::Information,
            QStringLiteral("Please note that Wormadam's other cloaks can be edited below."));
        break;
    case species::FormNote::None:
        break;
    }
}

bool MainWindow::saveEntry() {
    if (!m_ui.saveAction->isEnabled() || !m_document)
        return false;
    const int row = m_shownRow;
    if (row < 0)
        return false;
    if (QLineEdit* wrong = m_record->markInvalidStats()) {
        say(Prompter::Icon::Warning, uitext::numberRangeMessage(255));
        // The first box at fault, ready to be typed over.
        wrong->setFocus(Qt::OtherFocusReason);
        wrong->selectAll();
        return false;
    }
    const QString name = QString::fromStdString(vocabulary::entryName(row));
    // Every field on view is written, with the values on view now, over what the disk holds
    // when the save is made, and with it the entry's other edits: all its records in one save.
    const std::vector<species::Change> shown = m_record->changesShown();
    const SaveRound round{
        [&] {
            std::vector<species::Change> batch;
            for (const species::Change& change : shown)
                batch.push_back(m_document->changeTo(row, change.field, change.after));
            return batch;
        },
        [&](const species::SaveOutcome&) {
            return ask(Prompter::Icon::Warning,
                       QStringLiteral("The data of %1 in the ROM was changed by another program "
                                      "since it was loaded. Overwrite it with the values shown?")
                           .arg(name),
                       {{QStringLiteral("Overwrite")}}) == 0;
        },
        [this] { tellNotes(); },
        [this](const base::Error& error) {
            // Whatever failed, what was typed stays, to be saved again once the cause is gone.
            reportFailure(error, kEditsKept);
        }};
    // A list that outgrows its room moves an archive: the user hears so before it happens.
    if (const std::string layout = m_document->layoutChange(round.batch());
        !layout.empty() &&
        ask(Prompter::Icon::Question,
            QStringLiteral("Save the changes to %1? %2").arg(name, layoutSentence(layout)),
            {{QStringLiteral("Save"), QMessageBox::Save}}) != 0)
        return false;
    const std::optional<species::SaveOutcome> saved =
        saveAsking(*m_document, "Save ROM of " + vocabulary::entryName(row), round);
    if (!saved)
        return false;
    showTablePlace(saved->place);
    // The values as written: "2" where "1.5" was typed.
    m_record->show(row);
    showModified();
    showUndoState();
    say(Prompter::Icon::Information, QStringLiteral("Pokémon Data Saved Successfully!"));
    return true;
}

void MainWindow::undoSave() {
    if (!takesInput() || !m_document || m_document->lastSave().empty())
        return;
    std::set<int> positions;
    for (const species::Change& change : m_document->lastSave())
        positions.insert(change.position);
    const QString name = positions.size() == 1
                             ? QString::fromStdString(vocabulary::entryName(*positions.begin()))
                             : QStringLiteral("%1 entries").arg(positions.size());
    // The undone bytes replace the values on view, and with them any edits not saved yet.
    const bool shown = positions.count(m_shownRow) > 0;
    if (shown && m_record->hasEdits() &&
        ask(Prompter::Icon::Question,
            QStringLiteral("Undo Save replaces the changes to %1 that are not saved. "
                           "Undo the save anyway?")
                .arg(QString::fromStdString(vocabulary::entryName(m_shownRow))),
            {{QStringLiteral("Undo Save")}}) != 0)
        return;
    const SaveRound round{
        {},
        [&](const species::SaveOutcome&) {
            return ask(Prompter::Icon::Warning,
                       QStringLiteral("The data of %1 in the ROM was changed by another program "
                                      "since it was saved. Undo the save anyway, overwriting "
                                      "that change?")
                           .arg(name),
                       {{QStringLiteral("Undo Save")}}) == 0;
        },
        [this] { tellNotes(); },
        [this](const base::Error& error) {
            reportFailure(error, QStringLiteral(" Nothing was written."));
        }};
    const std::optional<species::SaveOutcome> undone =
        undoAsking(*m_document, "Undo Save of " + name.toStdString(), round);
    if (!undone)
        return;
    if (shown) {
        m_document->discard({m_shownRow});
        m_record->show(m_shownRow);
    }
    showTablePlace(undone->place);
    showModified();
    showUndoState();
    say(Prompter::Icon::Information,
        positions.size() == 1
            ? QStringLiteral("Undo Save: %1 has its values from before the save again.").arg(name)
            : QStringLiteral("Undo Save: %1 have their values from before the save again.")
                  .arg(name));
}

void MainWindow::tell(const files::OpenNotes& notes) {
    for (const files::Recovery& recovery : notes.recoveries)
        say(Prompter::Icon::Information, QString::fromStdString(recovery.describe()));
    if (notes.unlocked && !m_toldUnlocked) {
        m_toldUnlocked = true;
        say(Prompter::Icon::Warning,
            QStringLiteral("The ROM's file system cannot lock it, so the program goes on without "
                           "a lock. No other program should write into the ROM meanwhile."));
    }
}

void MainWindow::editInDialog(const std::function<EntryDialog*(const EntryContext&)>& make) {
    if (!takesInput() || !m_document || m_shownRow < 0)
        return;
    EntryDialog* dialog = make({m_shownRow, *m_document});
    connect(dialog, &EntryDialog::accepted, this,
            [this, dialog](const species::ByField<species::Value>& chosen) {
                std::vector<std::string> refused;
                for (const species::Part part : dialog->parts()) {
                    const std::vector<std::string> more = m_record->take(part, chosen);
                    refused.insert(refused.end(), more.begin(), more.end());
                }
                if (!refused.empty())
                    say(Prompter::Icon::Warning, QString::fromStdString(refused.front()));
            });
    showDialog(dialog);
}

void MainWindow::reportFailure(const base::Error& error, const QString& aftermath) {
    const QString said = QString::fromStdString(error.describe());
    if (error.kind == base::Error::Kind::BadContent ||
        error.kind == base::Error::Kind::NotRegularFile) {
        say(Prompter::Icon::Warning,
            said + (aftermath.isEmpty() ? QStringLiteral(" Nothing was read or written.")
                                        : aftermath));
        return;
    }
    // Only the system's own error numbers mean anything to the user.
    m_services.prompter.showMessage(this, Prompter::Icon::None,
                                    error.systemError != 0
                                        ? QStringLiteral("Error: %1").arg(error.systemError)
                                        : uitext::programName(),
                                    said + aftermath);
}

void MainWindow::showTablePlace(const species::TablePlace& place) {
    const QString offset =
        QStringLiteral("%1 (0x%2)").arg(place.base).arg(QString::number(place.base, 16).toUpper());
    m_ui.gameCode->setToolTip(
        place.archive.empty()
            ? QStringLiteral("Base-stat table at offset %1, where %2 keeps it: the image has no "
                             "file system")
                  .arg(offset, m_ui.gameCode->text())
            : QStringLiteral("Base-stat table: %1, from offset %2")
                  .arg(QString::fromStdString(place.archive), offset));
}

void MainWindow::showDialog(SmallDialog* dialog) {
    if (!takesInput()) {
        delete dialog;
        return;
    }
    m_dialog = dialog;
    connect(dialog, &SmallDialog::dismissed, this, [this] {
        setEnabled(true);
        m_dialog = nullptr;
    });
    dialog->winId(); // a native window, so the dialog can stay above this one
    if (QWindow* handle = dialog->windowHandle())
        handle->setTransientParent(windowHandle());
    dialog->show();
    setEnabled(false);
}

} // namespace app
