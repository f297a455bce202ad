#pragma once

#include "AppServices.h"
#include "EditSession.h"
#include "Prompter.h"
#include "SetFieldDialog.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class EntryFilter;
class TableFiles;
class EntryTableModel;
class QAction;
class QLabel;
class QLineEdit;
class QTableView;

// The second view of the image the main window has open: every entry in a table to sort,
// filter and edit, many at once. Edits are staged, marked, and written only by Save Changes,
// after a preview, in one batch through the main window's edit session; the main window keeps
// the two views of the image in step.
class TableWindow final : public QMainWindow {
    Q_OBJECT

public:
    // `tell` says what an opening of the image found (a recovery, missing locks), as the main
    // window says it.
    TableWindow(AppServices services, std::function<void(const files::OpenNotes&)> tell);
    ~TableWindow() override;

    // Shows the entries of `session`'s image, read afresh with one open; staged values go.
    // False, the failure told, when the image cannot be read.
    bool load(species::EditSession& session, const QString& caption);

    // How many entries have staged values, and the name of the entry when it is one.
    [[nodiscard]] int stagedEntries() const;
    [[nodiscard]] QString stagedName() const;
    // Saves the staged values, after their preview and the question about changes on disk:
    // true once they are on disk (or there were none), false when the user cancelled or the
    // save failed (which is told).
    bool saveStaged();
    void discardStaged();

    // Entries written by the other view, or taken back by Undo Save: what the disk holds now.
    void diskChanged(const std::vector<species::EntryWrite>& written);
    // Whether there is a save to undo, for the window's own Undo Save.
    void setUndoSaveEnabled(bool enabled);

signals:
    // A save of this window wrote `written`.
    void saved(const std::vector<species::EntryWrite>& written);
    // The user chose Undo Save here.
    void undoSaveRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildGrid();
    void showStatus();
    void setStatus(const QString& text);
    void setForSelected();
    // Stages what Set for Selected Entries asks (`said`, in words) for the rows selected: true,
    // or false when a row cannot take it, which is said, and nothing is staged.
    bool applyRequest(const SetFieldDialog::Request& request, const QString& said);
    void putBackFromDisk(const QModelIndex& index);
    void askToDiscard();
    [[nodiscard]] int ask(const QString& text, const QString& details,
                          QList<Prompter::Button> buttons);
    [[nodiscard]] std::vector<int> selectedPositions() const;

    AppServices m_services;
    std::function<void(const files::OpenNotes&)> m_tell;
    species::EditSession* m_session = nullptr;
    EntryTableModel* m_model;
    EntryFilter* m_filter;
    QTableView* m_grid = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_save = nullptr;
    QAction* m_discard = nullptr;
    QAction* m_undoEdit = nullptr;
    QAction* m_undoSave = nullptr;
    QString m_saved; // what the last save wrote, said until the next edit
    std::unique_ptr<TableFiles> m_files;
};
