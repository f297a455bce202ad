#pragma once

#include <QStyledItemDelegate>

namespace app {

// Edits a cell of the table of entries as the main window edits the field: a list as a drop-down
// of the image's game's entries, a number in a box that takes whatever is typed. The number is
// judged by the main window's rules when the edit ends: text that is no number of the field's
// range is refused, with the main window's message, and the cell keeps its value.
class CellEditor final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    // What was typed into a number cell is no number of its range: `message` says which are.
    void refused(const QString& message) const;
};

} // namespace app
