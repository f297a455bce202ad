#include "EntryList.h"

#include "species/Vocabulary.h"

#include <QMouseEvent>

namespace app {

EntryList::EntryList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, &EntryList::onSelectionChanged);
}

int EntryList::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void EntryList::showEntries(int count) {
    // Rows taken away move the selection to a row left: that is no choice of the user's.
    m_quiet = true;
    const bool selectionGoes = selectedRow() >= count;
    while (this->count() > count)
        delete takeItem(this->count() - 1);
    while (this->count() < count)
        addItem(QString::fromStdString(vocabulary::entryName(this->count())));
    if (selectionGoes) {
        clearSelection();
        setCurrentRow(-1);
    }
    m_quiet = false;
    m_lastSelected = selectedRow();
}

void EntryList::returnTo(int row) {
    m_quiet = true;
    if (row >= 0 && row < count()) {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        clearSelection();
        setCurrentRow(-1);
    }
    m_quiet = false;
    m_lastSelected = selectedRow();
}

void EntryList::onSelectionChanged() {
    const int row = selectedRow();
    const bool changed = row != m_lastSelected;
    m_lastSelected = row;
    // During a mouse gesture the release decides, and a key chooses once the view has moved
    // both its selection and its current row; a click on an entry loads it once.
    if (!m_inGesture && !m_quiet && changed && row >= 0)
        emit entryChosen(row);
}

void EntryList::mousePressEvent(QMouseEvent* event) {
    m_inGesture = true;
    m_secondClick = false;
    m_pressedOnItem = indexAt(event->position().toPoint()).isValid();
    m_rowBeforeGesture = selectedRow();
    QListWidget::mousePressEvent(event);
}

// The second press of a double click. Its release adds no load to the first click's, unless
// the view treats it as a fresh press (on another entry), which resets the flag.
void EntryList::mouseDoubleClickEvent(QMouseEvent* event) {
    m_secondClick = true;
    m_rowBeforeGesture = selectedRow();
    QListWidget::mouseDoubleClickEvent(event);
}

void EntryList::keyPressEvent(QKeyEvent* event) {
    const int before = selectedRow();
    const bool nested = m_inGesture;
    m_inGesture = true;
    QListWidget::keyPressEvent(event);
    m_inGesture = nested;
    const int row = selectedRow();
    m_lastSelected = row;
    if (!nested && row >= 0 && row != before)
        emit entryChosen(row);
}

void EntryList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    m_inGesture = false;
    const int row = selectedRow();
    const bool clicked = m_pressedOnItem && event->button() == Qt::LeftButton && !m_secondClick;
    const bool moved = row != m_rowBeforeGesture;
    m_secondClick = false;
    m_pressedOnItem = false;
    if (row >= 0 && (clicked || moved))
        emit entryChosen(row);
}

QItemSelectionModel::SelectionFlags EntryList::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
    QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    // Ctrl+click or Ctrl+Space would deselect the entry whose values are shown.
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        command = QItemSelectionModel::ClearAndSelect;
    return command;
}

} // namespace app
