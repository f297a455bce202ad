#pragma once

#include "AppServices.h"
#include "Prompter.h"
#include "SetFieldDialog.h"

#include "species/ImageDocument.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <set>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;

namespace app {

class EntryFilter;
class EntryTableModel;
class TableFileMenu;

// The second view of the document the main window has open: every entry in a table to sort,
// filter and edit, many at once. Edits are staged in the document, marked, and written by
// Save Changes, after a preview, in one save.
class TableWindow final : public QMainWindow {
    Q_OBJECT

public:
    // `tell` says what an opening of the image found (a recovery, missing locks), as the main
    // window says it; `shownElsewhere` gives the entry the main window shows, whose edits stay
    // in sight when this window closes.
    TableWindow(AppServices services, std::function<void(const files::OpenNotes&)> tell,
                std::function<int()> shownElsewhere);
    ~TableWindow() override;

    // Shows the entries of `document`, read again from the disk with one open; false, the
    // failure told, when the image cannot be read.
    bool load(species::ImageDocument& document, const QString& caption);

    // Saves the edits of the entries at `positions` (none: all), after their preview and the
    // question about changes on disk: true once they are on disk (or there were none), false
    // when the user cancelled or the save failed (which is told).
    bool saveStaged(const std::set<int>& positions = {});
    // Whether there is a save to undo, for the window's own Undo Save.
    void setUndoSaveEnabled(bool enabled);

signals:
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
    std::function<int()> m_shownElsewhere;
    species::ImageDocument* m_document = nullptr;
    int m_listening = -1;
    EntryTableModel* m_model;
    EntryFilter* m_filter;
    QTableView* m_grid = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_save = nullptr;
    QAction* m_discard = nullptr;
    QAction* m_undoEdit = nullptr;
    QAction* m_undoSave = nullptr;
    QString m_saved; // what the last save wrote, said until the document changes again
    std::unique_ptr<TableFileMenu> m_files;
};

} // namespace app
