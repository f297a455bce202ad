#pragma once

#include <QListWidget>

namespace app {

// The list of entries (species and forms). It turns the view's many notifications into one
// `entryChosen` per user action: a click on an entry (also the one already selected), or a change
// of the selected entry by keyboard or by code. Focus alone, which makes a row current without
// selecting it, chooses nothing. The user cannot clear the selection; the program clears it when
// no entry is on view (after the list shrinks below it, or a return to no entry).
class EntryList : public QListWidget {
    Q_OBJECT

public:
    explicit EntryList(QWidget* parent = nullptr);

    // The selected row, or -1.
    [[nodiscard]] int selectedRow() const;

    // Lists the first `count` entries of an image's table: the 500 of the species list, and
    // the seven extra forms where the image has them. A selection past the end is cleared.
    void showEntries(int count);
    // Selects `row` again (none, if -1) without choosing it: the user chose another entry,
    // then cancelled.
    void returnTo(int row);

signals:
    void entryChosen(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void onSelectionChanged();

    bool m_inGesture = false; // a mouse button is down, or a key is being handled
    bool m_quiet = false;     // rows or the selection are being changed by the program
    bool m_pressedOnItem = false;
    bool m_secondClick = false; // the release that ends a double click
    int m_rowBeforeGesture = -1;
    int m_lastSelected = -1;
};

} // namespace app
