#include "MainWindow.h"

#include "AboutDialog.h"
#include "Artwork.h"
#include "EntryList.h"
#include "EvTmDialog.h"
#include "EvolutionDialog.h"
#include "FileDialogBackend.h"
#include "NoteDialog.h"
#include "Prompter.h"
#include "RecordForm.h"
#include "TableWindow.h"
#include "UiText.h"

#include "EntryRules.h"
#include "FileAccess.h"
#include "Vocabulary.h"

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

namespace {

// What a failed save says of the values typed.
const QString kEditsKept =
    QStringLiteral(" Nothing was written, and your changes are still on view to save again.");

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

MainWindow::MainWindow(AppServices services, QWidget* parent)
    : QMainWindow(parent), m_services(services) {
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
    connect(m_ui.evTmAction, &QAction::triggered, this, &MainWindow::editEvYieldAndTmHm);
    connect(m_ui.evolutionsAction, &QAction::triggered, this, &MainWindow::editEvolutions);
    connect(m_ui.noGenderAction, &QAction::triggered, this,
            [this] { showDialog(new NoteDialog(Note::noGender())); });
    connect(m_ui.readErrorAction, &QAction::triggered, this,
            [this] { showDialog(new NoteDialog(Note::readErrors())); });
    connect(m_ui.aboutAction, &QAction::triggered, this, [this] { showDialog(new AboutDialog); });
    for (const species::FieldDescriptor& field : species::fieldsOf(species::Part::Main)) {
        if (field.isNumber()) {
            connect(m_ui.boxes[field.field], &QLineEdit::textChanged, this,
                    &MainWindow::showModified);
            m_ui.boxes[field.field]->installEventFilter(this);
        } else
            connect(m_ui.lists[field.field], &QComboBox::currentIndexChanged, this,
                    &MainWindow::showModified);
    }
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
        m_table->discardStaged(); // settled: saved, or the user let them go
        m_table->close();
    }
    event->accept();
}

bool MainWindow::settleEdits(bool table) {
    const bool mine = m_shownRow >= 0 && m_record->hasEdits();
    const int staged = table && m_table ? m_table->stagedEntries() : 0;
    if (!mine && staged == 0)
        return true;
    // One question about all unsaved work: an entry by its name, more by their number.
    const int entries = staged + (mine ? 1 : 0);
    const QString named = entries > 1 ? QStringLiteral("%1 entries").arg(entries)
                          : mine      ? QString::fromStdString(vocabulary::entryName(m_shownRow))
                                      : m_table->stagedName();
    switch (ask(Prompter::Icon::Question, QStringLiteral("Save the changes to %1?").arg(named),
                {{QStringLiteral("Save"), QMessageBox::Save},
                 {QStringLiteral("Discard"), QMessageBox::Discard}})) {
    case 0:
        return (!mine || saveEntry()) && (staged == 0 || m_table->saveStaged());
    case 1:
        if (staged > 0)
            m_table->discardStaged();
        return true;
    default:
        return false;
    }
}

void MainWindow::showTable() {
    if (!takesInput() || !m_session || !m_ui.tableAction->isEnabled())
        return;
    if (!m_table) {
        m_table = std::make_unique<TableWindow>(
            m_services, [this](const files::OpenNotes& notes) { tell(notes); });
        connect(m_table.get(), &TableWindow::saved, this, [this](const auto& written) {
            entriesWritten(written);
            showUndoState();
        });
        connect(m_table.get(), &TableWindow::undoSaveRequested, this, &MainWindow::undoSave);
        if (!m_table->load(*m_session, uitext::imageCaption(m_session->edition()->code)))
            return;
        showUndoState();
    }
    m_table->show();
    m_table->raise();
    m_table->activateWindow();
}

void MainWindow::entriesWritten(const std::vector<species::EntryWrite>& written) {
    for (const species::EntryWrite& entry : written)
        if (entry.position == m_shownRow && !m_record->hasEdits())
            showWritten(entry);
}

void MainWindow::showWritten(const species::EntryWrite& entry) {
    // A write that left the evolutions alone leaves them as they were loaded.
    m_record->show(entry.after,
                   entry.evolutionsAfter ? entry.evolutionsAfter : m_record->loadedEvolutions(),
                   entry.position, m_session->edition()->game);
    showModified();
}

void MainWindow::showUndoState() {
    const bool undoable = m_session && !m_session->lastBatch().empty();
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

    // A FIFO, a device or a folder is no image: the session says so before touching it.
    auto session = std::make_unique<species::EditSession>(m_services.io, localPath(path));
    const base::Result<OpenedImage> opened = examine(*session);
    if (!opened.ok()) {
        if (opened.error().kind != base::Error::Kind::Unsupported &&
            opened.error().kind != base::Error::Kind::NotAnImage) {
            reportFailure(opened.error());
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
    const base::Status writable = session->makeWritable();
    m_session = std::move(session);
    acceptImage(path, opened.value());
    if (!writable.ok())
        say(Prompter::Icon::Warning,
            QString::fromStdString(writable.error().describe()) +
                QStringLiteral(" The image is open for viewing, but saving into it will fail."));
    else if (opened.value().links > 1)
        say(Prompter::Icon::Warning,
            QStringLiteral("This ROM file has %1 names (hard links). It is open for viewing, but "
                           "Save ROM will not write into it: a save would change it under every "
                           "name, and an interrupted save could not be rolled back from the "
                           "others. Copy it to a file of its own to edit it.")
                .arg(opened.value().links));
}

base::Result<MainWindow::OpenedImage> MainWindow::examine(species::EditSession& session) {
    const base::Result<species::ImageReport> report = session.examine();
    const files::OpenNotes notes = session.takeNotes();
    tell(notes);
    if (!report.ok())
        return report.error();
    const species::ImageReport& image = report.value();
    if (image.place)
        return OpenedImage{image.edition, image.place->entries, notes.links};
    // An edition with a fixed place is opened even so: a load says why its table is missing.
    if (image.edition->hasFixedBase())
        return OpenedImage{image.edition, species::kSpeciesCount, notes.links};
    return *image.tableProblem;
}

void MainWindow::acceptImage(const QString& path, const OpenedImage& image) {
    const nds::GameEdition& edition = *image.edition;
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
    m_ui.entryList->showEntries(image.entries);
    m_ui.entryList->returnTo(-1);
    // The values on view belong to the previous image, and perhaps to another edition's
    // table: nothing of them stays to be saved into this one.
    dropShownEntry();
    m_ui.showListsOf(edition.game);
    m_ui.tableAction->setEnabled(true);
    if (m_table)
        m_table->load(*m_session, uitext::imageCaption(edition.code));
    showUndoState();
}

void MainWindow::setEntryActionsEnabled(bool enabled) {
    m_ui.saveAction->setEnabled(enabled);
    m_ui.evTmAction->setEnabled(enabled);
    m_ui.evolutionsAction->setEnabled(enabled && m_record->loadedEvolutions());
}

void MainWindow::enableEditing() {
    for (QWidget* widget : m_ui.editingControls())
        widget->setEnabled(true);
}

void MainWindow::loadEntry(int row) {
    if (!takesInput() || row < 0 || !m_session)
        return;
    if (m_shownRow >= 0 && m_record->hasEdits()) {
        // The highlight stays on the entry on view until the question is answered.
        m_ui.entryList->returnTo(m_shownRow);
        if (!settleEdits())
            return;
        m_ui.entryList->returnTo(row);
    }
    enableEditing();
    const base::Result<species::EntryRead> read = m_session->readEntry(row);
    tell(m_session->takeNotes());
    if (!read.ok()) {
        reportFailure(read.error());
        // Nothing of another entry may stay on view to be saved over this one.
        dropShownEntry();
        m_ui.entryList->returnTo(-1);
        return;
    }
    showTablePlace(read.value().place);
    m_record->show(read.value().record, read.value().evolutions, row, m_session->edition()->game);
    m_shownRow = row;
    setEntryActionsEnabled(true);
    // The menu says why an image has no evolutions to edit.
    m_ui.evolutionsAction->setToolTip(
        read.value().noEvolutions
            ? QStringLiteral("This ROM has no evolution table: %1")
                  .arg(QString::fromStdString(read.value().noEvolutions->describe()))
            : QString());
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
    if (!m_ui.saveAction->isEnabled() || !m_session)
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
    const species::RecordEdit edit = m_record->edit();
    const std::string label = "Save ROM of " + vocabulary::entryName(row);
    // Every field on view is written, over what the disk holds when the save is made, and with
    // it the evolution fields the Evolutions dialog changed: both records in one batch.
    const WriteAttempt attempt = [&](const ReadAs& readAs) {
        std::vector<species::Change> changes =
            species::settingChanges(row, readAs.records.at(row), edit);
        if (const auto evolutions = readAs.evolutions.find(row);
            evolutions != readAs.evolutions.end())
            for (const species::Change& change :
                 m_record->evolutionChanges(row, evolutions->second))
                changes.push_back(change);
        return m_session->write(changes, readAs.records, label, readAs.evolutions);
    };
    ReadAs readAs{{{row, m_record->loaded()}}, {}};
    if (m_record->loadedEvolutions())
        readAs.evolutions.emplace(row, *m_record->loadedEvolutions());
    const std::optional<species::WriteOutcome> saved =
        writeChecked(readAs, attempt,
                     {QStringLiteral("The data of %1 in the ROM was changed by another program "
                                     "since it was loaded. Overwrite it with the values shown?")
                          .arg(name),
                      QStringLiteral("Overwrite"), kEditsKept});
    if (!saved)
        return false;
    // The values as written: "2" where "1.5" was typed.
    showWritten(saved->written.front());
    if (m_table)
        m_table->diskChanged(saved->written);
    showUndoState();
    say(Prompter::Icon::Information, QStringLiteral("Pokémon Data Saved Successfully!"));
    return true;
}

void MainWindow::undoSave() {
    if (!takesInput() || !m_session || m_session->lastBatch().empty())
        return;
    const std::vector<species::EntryWrite> batch = m_session->lastBatch();
    const QString name = batch.size() == 1
                             ? QString::fromStdString(vocabulary::entryName(batch.front().position))
                             : QStringLiteral("%1 entries").arg(batch.size());
    // The undone bytes replace the values on view, and with them any edits not saved yet.
    const bool shown = std::any_of(batch.begin(), batch.end(), [this](const auto& entry) {
        return entry.position == m_shownRow;
    });
    if (shown && m_record->hasEdits() &&
        ask(Prompter::Icon::Question,
            QStringLiteral("Undo Save replaces the changes to %1 that are not saved. "
                           "Undo the save anyway?")
                .arg(QString::fromStdString(vocabulary::entryName(m_shownRow))),
            {{QStringLiteral("Undo Save")}}) != 0)
        return;
    // Only what the save wrote is taken back: the disk must still hold it.
    ReadAs wrote;
    for (const species::EntryWrite& entry : batch) {
        wrote.records.emplace(entry.position, entry.after);
        if (entry.evolutionsAfter)
            wrote.evolutions.emplace(entry.position, *entry.evolutionsAfter);
    }
    const std::string label = "Undo Save of " + name.toStdString();
    const std::optional<species::WriteOutcome> saved = writeChecked(
        wrote,
        [&](const ReadAs& readAs) {
            return m_session->undo(label, readAs.records, readAs.evolutions);
        },
        {QStringLiteral("The data of %1 in the ROM was changed by another program since it was "
                        "saved. Undo the save anyway, overwriting that change?")
             .arg(name),
         QStringLiteral("Undo Save"), QStringLiteral(" Nothing was written.")});
    if (!saved)
        return;
    for (const species::EntryWrite& entry : saved->written)
        if (entry.position == m_shownRow)
            showWritten(entry);
    if (m_table)
        m_table->diskChanged(saved->written);
    showUndoState();
    say(Prompter::Icon::Information,
        batch.size() == 1
            ? QStringLiteral("Undo Save: %1 has its values from before the save again.").arg(name)
            : QStringLiteral("Undo Save: %1 have their values from before the save again.")
                  .arg(name));
}

std::optional<species::WriteOutcome>
MainWindow::writeChecked(ReadAs readAs, const WriteAttempt& attempt, const Overwrite& overwrite) {
    while (true) {
        // The table is found afresh: another tool may have moved it, or removed it, since the
        // load.
        base::Result<species::WriteOutcome> saved = attempt(readAs);
        tell(m_session->takeNotes());
        if (!saved.ok()) {
            // Whatever failed, what was typed stays, to be saved again once the cause is gone.
            reportFailure(saved.error(), overwrite.failed);
            return std::nullopt;
        }
        showTablePlace(saved.value().place);
        if (saved.value().saved())
            return std::move(saved).value();
        // Asked with the file closed, so other programs are not kept waiting on the answer;
        // the records are compared again on the next round.
        if (ask(Prompter::Icon::Warning, overwrite.question, {{overwrite.button}}) != 0)
            return std::nullopt;
        // What the disk holds now is what the next round overwrites.
        for (const auto& [position, record] : saved.value().changedOnDisk)
            readAs.records[position] = record;
        for (const auto& [position, record] : saved.value().evolutionsChangedOnDisk)
            readAs.evolutions[position] = record;
    }
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

void MainWindow::editEvYieldAndTmHm() {
    if (!takesInput() || !m_ui.evTmAction->isEnabled() || !m_session)
        return;
    const int row = m_shownRow;
    if (row < 0)
        return;
    auto* dialog = new EvTmDialog(QString::fromStdString(vocabulary::entryName(row)),
                                  m_record->dialogValues(), m_session->edition()->game);
    connect(dialog, &EvTmDialog::accepted, this, [this](const species::ByField<int>& values) {
        m_record->takeDialogValues(values);
        showModified();
    });
    showDialog(dialog);
}

void MainWindow::editEvolutions() {
    if (!takesInput() || !m_ui.evolutionsAction->isEnabled() || !m_session)
        return;
    const int row = m_shownRow;
    if (row < 0 || !m_record->loadedEvolutions())
        return;
    auto* dialog =
        new EvolutionDialog(row, m_record->evolutionValues(), m_session->edition()->game);
    connect(dialog, &EvolutionDialog::accepted, this, [this](const species::ByField<int>& values) {
        m_record->takeEvolutionValues(values);
        showModified();
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
