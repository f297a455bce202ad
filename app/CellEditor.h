#pragma once

#include <QStyledItemDelegate>

// Edits a cell of the table of entries as the main window edits the field: a list as a drop-down
// of the image's game's entries, a number in a box that takes only its range.
class CellEditor final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
