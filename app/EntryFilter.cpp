#include "EntryFilter.h"

#include "EntryTableModel.h"
#include "UiText.h"

namespace app {

EntryFilter::EntryFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(EntryTableModel::SortRole);
    setDynamicSortFilter(false); // a row does not jump away while its cell is edited
}

void EntryFilter::setText(const QString& text) {
    m_text = uitext::folded(text.trimmed());
    invalidateRowsFilter();
}

bool EntryFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    if (m_text.isEmpty())
        return true;
    return sourceModel()
        ->index(row, 0, parent)
        .data(EntryTableModel::SearchRole)
        .toString()
        .contains(m_text);
}

} // namespace app
