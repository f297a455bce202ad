#pragma once

#include "AppServices.h"
#include "EditSession.h"
#include "Error.h"
#include "LockedFile.h"
#include "MainWindowUi.h"
#include "Prompter.h"
#include "Record.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class SmallDialog;
class RecordForm;
class TableWindow;

#include <functional>

namespace nds {
struct GameEdition;
}

// The main window. Every action is the handler of a menu command or of the species list.
// Between commands it keeps the edit session of the image it works on (which knows the image's
// game and the last save, to undo it) and the record as it was loaded (to notice another
// program's change to it); the controls are the only copy of the record being edited.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(AppServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The image the species commands work on, and its edition; empty and null before one is
    // opened.
    [[nodiscard]] const QString& imagePath() const { return m_imagePath; }
    [[nodiscard]] const nds::GameEdition* edition() const {
        return m_session ? m_session->edition() : nullptr;
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What opening finds of an image: its edition and how many entries its table has.
    struct OpenedImage {
        const nds::GameEdition* edition;
        int entries;
        std::uint64_t links; // names of the image file: more than one, and it is not written
    };

    void openImage();
    // Opens the image at `path`, as Open ROM does once its dialog chose it.
    void openImageAt(const QString& path);
    // Identifies the image and finds its table, with one open. An edition known only through
    // the image's file system needs the table there; one with a fixed place is taken even
    // without it (each load then says why).
    [[nodiscard]] base::Result<OpenedImage> examine(species::EditSession& session);
    void acceptImage(const QString& path, const OpenedImage& image);
    void loadEntry(int row);
    void enableEditing();
    // Save ROM: true once the shown entry's values are on disk; false if they were refused,
    // the save failed (both reported) or the user cancelled.
    bool saveEntry();
    void undoSave();
    // Before something would drop edits of the shown entry that are not saved (and, with
    // `table`, the table's staged values too): asks once whether to save them. True when they
    // may go (saved, discarded, or there were none); false when the user cancelled or a save did
    // not succeed, and nothing may be dropped.
    [[nodiscard]] bool settleEdits(bool table = false);
    // The table of all entries: built when first asked for, then shown and raised.
    void showTable();
    // Entries that the table window saved, or Undo Save took back: the shown entry shows what
    // the disk holds now, unless it has edits of its own.
    void entriesWritten(const std::vector<species::EntryWrite>& written);
    // Shows an entry as a write left it.
    void showWritten(const species::EntryWrite& entry);
    // Undo Save, in both windows, follows whether there is a save to undo.
    void showUndoState();
    // The caption's modified mark follows whether the shown entry has edits.
    void showModified();
    // Makes `attempt` write if the disk still holds the records `readAs`; if another program
    // changed them, asks first (with the file released) whether to overwrite, as `overwrite`
    // says, and attempts again with what the disk holds now. Empty when the user cancels or
    // the write fails, which is reported.
    struct ReadAs {
        species::ReadAs records;
        species::ReadAs evolutions;
    };
    struct Overwrite {
        QString question;
        QString button;
        QString failed; // what a failure's message adds: that nothing was written, and so on
    };
    using WriteAttempt = std::function<base::Result<species::WriteOutcome>(const ReadAs& readAs)>;
    [[nodiscard]] std::optional<species::WriteOutcome>
    writeChecked(ReadAs readAs, const WriteAttempt& attempt, const Overwrite& overwrite);
    // Tells what opening the image found: a recovery from a journal, missing locks (once).
    void tell(const files::OpenNotes& notes);
    void editEvYieldAndTmHm();
    // The Evolutions dialog, for an image with evolution records.
    void editEvolutions();
    // Save ROM and the dialogs work on a loaded entry.
    void setEntryActionsEnabled(bool enabled);
    // An image that is no regular file, or whose table cannot be found, gets a warning;
    // anything else is a file error. `aftermath` ends the message: what became of the work.
    void reportFailure(const base::Error& error, const QString& aftermath = {});
    void showTablePlace(const species::TablePlace& place);
    void showDialog(SmallDialog* dialog);
    [[nodiscard]] bool takesInput() const;
    // A message box titled with the program's name.
    void say(Prompter::Icon icon, const QString& text);
    // A question titled with the program's name, with `buttons` (the first the default) and
    // Cancel last, which Escape chooses: the index of the button chosen.
    [[nodiscard]] int ask(Prompter::Icon icon, const QString& text,
                          QList<Prompter::Button> buttons);
    // Nothing of the entry on view may be saved any more: its values are cleared.
    void dropShownEntry();

    AppServices m_services;
    MainWindowUi m_ui;
    std::unique_ptr<RecordForm> m_record;
    QPointer<SmallDialog> m_dialog;

    QString m_imagePath;
    std::unique_ptr<species::EditSession> m_session;
    std::unique_ptr<TableWindow> m_table;
    bool m_toldUnlocked = false;
    // The entry whose values are on view, or -1. While the user's choice of another entry
    // waits on the question about unsaved edits, the list's selection is already that one.
    int m_shownRow = -1;
};
