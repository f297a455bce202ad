#pragma once

#include "AppServices.h"
#include "MainWindowUi.h"
#include "Prompter.h"

#include "base/Error.h"
#include "files/LockedFile.h"
#include "species/ImageDocument.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace nds {
struct GameEdition;
}

namespace app {

class DocumentWatcher;
class EntryDialog;
class RecordForm;
class SmallDialog;
class TableWindow;

// The main window. Every action is the handler of a menu command or of the species list.
// Between commands it keeps the document of the image it works on (what was read of it, the
// edits not saved, the last save, to undo it); its controls and dialogs, and the table window,
// are views of that document.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(AppServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The image the species commands work on, and its edition; empty and null before one is
    // opened.
    [[nodiscard]] const QString& imagePath() const { return m_imagePath; }
    [[nodiscard]] const nds::GameEdition* edition() const {
        return m_document ? m_document->edition() : nullptr;
    }

    // The entry a dialog edits: its position, the values of the document, and its game.
    struct EntryContext {
        int position;
        const species::ImageDocument& document;
    };

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void openImage();
    // Opens the image at `path`, as Open ROM does once its dialog chose it.
    void openImageAt(const QString& path);
    // Makes the document of `path`, read with one open, the one the window works on.
    void acceptImage(const QString& path, std::unique_ptr<species::ImageDocument> document,
                     int entries);
    void loadEntry(int row);
    void enableEditing();
    // Save ROM: true once the shown entry's values are on disk; false if they were refused,
    // the save failed (both reported) or the user cancelled.
    bool saveEntry();
    void undoSave();
    // Before something would drop edits that are not saved (those of the entry on view, and
    // with `all`, every entry's): asks once whether to save them. True when they may go (saved,
    // discarded, or there were none); false when the user cancelled or a save did not
    // succeed, and nothing may be dropped.
    [[nodiscard]] bool settleEdits(bool all = false);
    // The table of all entries: built when first asked for, then shown and raised.
    void showTable();
    // The document changed what the entries at `positions` show (none: all of them).
    void documentChanged(const std::vector<int>& positions);
    // Undo Save, in both windows, follows whether there is a save to undo.
    void showUndoState();
    // The caption's modified mark follows whether the shown entry has edits.
    void showModified();
    // Tells what opening the image found: a recovery from a journal, missing locks (once).
    void tell(const files::OpenNotes& notes);
    void tellNotes();
    // Opens a dialog of fields of the entry on view, made by `make` from the values of its
    // parts; what it hands over are edits of the entry.
    void editInDialog(const std::function<EntryDialog*(const EntryContext&)>& make);
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
    QPointer<SmallDialog> m_dialog;

    QString m_imagePath;
    std::unique_ptr<species::ImageDocument> m_document;
    int m_listening = -1; // the window's listener of the document
    std::unique_ptr<RecordForm> m_record;
    std::unique_ptr<TableWindow> m_table;
    DocumentWatcher* m_watcher;
    bool m_toldUnlocked = false;
    // The entry whose values are on view, or -1. While the user's choice of another entry
    // waits on the question about unsaved edits, the list's selection is already that one.
    int m_shownRow = -1;
};

} // namespace app
