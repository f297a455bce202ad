#include "CellEditor.h"

#include "EntryTableModel.h"

#include "species/FieldLayout.h"
#include "species/Vocabulary.h"

#include "UiText.h"
#include "species/StatText.h"

#include <QComboBox>
#include <QLineEdit>

namespace app {

namespace {

// The field of the column of `index`, seen through the filter's model.
const species::FieldDescriptor& fieldOf(const QModelIndex& index) {
    const EntryTableModel::Column& column =
        EntryTableModel::columns()[static_cast<std::size_t>(index.column())];
    return species::descriptor(column.field);
}

nds::Game gameOf(const QModelIndex& index) {
    return static_cast<nds::Game>(index.data(EntryTableModel::GameRole).toInt());
}

} // namespace

QWidget* CellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                  const QModelIndex& index) const {
    const species::FieldDescriptor& field = fieldOf(index);
    if (field.isNumber()) {
        // No validator and no length: every key typed reaches the box, to be judged whole.
        auto* box = new QLineEdit(parent);
        box->setObjectName(QStringLiteral("txtCell"));
        box->setAccessibleName(
            index.model()->headerData(index.column(), Qt::Horizontal).toString());
        return box;
    }
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("cmbCell"));
    const nds::Game game = gameOf(index);
    for (int k = 0; k < vocabulary::size(field.list, game); ++k)
        list->addItem(QString::fromStdString(*vocabulary::text(field.list, k, game)));
    list->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
    return list;
}

void CellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const int value = index.data(Qt::EditRole).toInt();
    if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        box->setText(QString::number(value));
        box->selectAll();
        return;
    }
    auto* list = static_cast<QComboBox*>(editor);
    // A value beyond its list stays on view, as the main window shows it, until one is picked.
    if (value < 0 || value >= list->count())
        list->setPlaceholderText(QStringLiteral("Value %1").arg(value));
    list->setCurrentIndex(value < list->count() ? value : -1);
}

void CellEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                              const QModelIndex& index) const {
    if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        const int maximum = fieldOf(index).maximum;
        const std::optional<int> value = species::statValue(box->text().toStdString(), maximum);
        if (!value) {
            emit refused(uitext::numberRangeMessage(maximum));
            return;
        }
        model->setData(index, *value, Qt::EditRole);
        return;
    }
    const int chosen = static_cast<QComboBox*>(editor)->currentIndex();
    if (chosen >= 0)
        model->setData(index, chosen, Qt::EditRole);
}

} // namespace app
