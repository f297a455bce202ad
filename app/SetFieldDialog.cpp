#include "SetFieldDialog.h"

#include "EntryTableModel.h"
#include "UiText.h"

#include "species/Vocabulary.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace app {

using species::Field;

SetFieldDialog::SetFieldDialog(nds::Game game, int entries, Apply apply, QWidget* parent)
    : QDialog(parent), m_game(game), m_entries(entries), m_apply(std::move(apply)),
      m_summary(new QLabel(this)), m_field(new QComboBox(this)), m_operation(new QComboBox(this)),
      m_number(new QSpinBox(this)), m_entry(new QComboBox(this)) {
    setObjectName(QStringLiteral("dlgSetSelected"));
    setWindowTitle(QStringLiteral("Set for Selected Entries"));
    m_field->setObjectName(QStringLiteral("cmbSetField"));
    m_operation->setObjectName(QStringLiteral("cmbSetOperation"));
    m_number->setObjectName(QStringLiteral("spnSetValue"));
    m_entry->setObjectName(QStringLiteral("cmbSetValue"));
    for (const EntryTableModel::Column& column : EntryTableModel::columns())
        if (column.kind == EntryTableModel::Column::Kind::Field)
            m_field->addItem(column.caption, static_cast<int>(column.field));
    // The TM and HM flags, named as patches name them.
    for (int n = 0; n < species::kTmHmCount; ++n) {
        const species::FieldDescriptor& flag = species::descriptor(species::tmHm(n));
        m_field->addItem(uitext::fromUtf8(flag.key) + QStringLiteral(" (") +
                             uitext::fromUtf8(flag.caption) + QStringLiteral(" ") +
                             uitext::fromUtf8(vocabulary::tmHmMove(n, game)) + QStringLiteral(")"),
                         static_cast<int>(flag.field));
    }
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Field:"), m_field);
    form->addRow(QStringLiteral("&Operation:"), m_operation);
    form->addRow(QStringLiteral("&Value:"), m_number);
    form->addRow(QStringLiteral("V&alue:"), m_entry);
    for (QWidget* control : {static_cast<QWidget*>(m_field), static_cast<QWidget*>(m_operation),
                             static_cast<QWidget*>(m_number), static_cast<QWidget*>(m_entry)})
        control->setAccessibleName(
            static_cast<QLabel*>(form->labelForField(control))->text().remove('&').chopped(1));
    m_summary->setObjectName(QStringLiteral("lblSetSummary"));
    form->addRow(m_summary);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_field, &QComboBox::currentIndexChanged, this, &SetFieldDialog::fieldChosen);
    connect(m_operation, &QComboBox::currentIndexChanged, this, &SetFieldDialog::showSummary);
    fieldChosen();
}

QString SetFieldDialog::requestText() const {
    const QString field = m_field->currentText();
    if (species::descriptor(request().field).part == species::Part::TmHm)
        return m_operation->currentText() + ' ' + field;
    switch (static_cast<Operation>(m_operation->currentIndex())) {
    case Operation::Add:
        return QStringLiteral("Add to ") + field;
    case Operation::Subtract:
        return QStringLiteral("Subtract from ") + field;
    case Operation::Set:
        break;
    }
    return QStringLiteral("Set ") + field;
}

void SetFieldDialog::showSummary() {
    m_summary->setText(QStringLiteral("%1 for %2")
                           .arg(requestText())
                           .arg(m_entries == 1 ? QStringLiteral("1 entry")
                                               : QStringLiteral("%1 entries").arg(m_entries)));
}

void SetFieldDialog::accept() {
    if (!m_apply || m_apply(request(), requestText()))
        QDialog::accept();
}

void SetFieldDialog::fieldChosen() {
    const species::FieldDescriptor& field =
        species::descriptor(static_cast<Field>(m_field->currentData().toInt()));
    auto* form = static_cast<QFormLayout*>(layout());
    m_operation->clear();
    if (field.part == species::Part::TmHm) {
        m_operation->addItems({QStringLiteral("Set"), QStringLiteral("Clear")});
    } else {
        m_operation->addItem(QStringLiteral("Set to"));
        if (field.isNumber())
            m_operation->addItems({QStringLiteral("Add"), QStringLiteral("Subtract")});
    }
    const bool list = !field.isNumber();
    m_entry->clear();
    for (int k = 0; list && k < vocabulary::size(field.list, m_game); ++k)
        m_entry->addItem(QString::fromStdString(*vocabulary::text(field.list, k, m_game)));
    m_number->setRange(0, field.isNumber() ? field.maximum : 0);
    form->setRowVisible(m_number, field.isNumber() && field.part != species::Part::TmHm);
    form->setRowVisible(m_entry, list);
    showSummary();
}

SetFieldDialog::Request SetFieldDialog::request() const {
    const auto field = static_cast<Field>(m_field->currentData().toInt());
    if (species::descriptor(field).part == species::Part::TmHm)
        return {field, Operation::Set, m_operation->currentIndex() == 0 ? 1 : 0};
    const auto operation = static_cast<Operation>(m_operation->currentIndex());
    const int value =
        species::descriptor(field).isNumber() ? m_number->value() : m_entry->currentIndex();
    return {field, operation, value};
}

} // namespace app
