#include "RecordForm.h"

#include "MainWindowUi.h"

#include "species/StatText.h"
#include "species/ValueRules.h"

#include <QComboBox>
#include <QLineEdit>

namespace app {

using species::FieldDescriptor;
using species::Part;

RecordForm::RecordForm(const MainWindowUi& ui) : m_ui(ui) {
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        if (field.isNumber())
            connect(m_ui.boxes[field.field], &QLineEdit::textChanged, this,
                    [this, which = field.field] { boxEdited(which); });
        else
            connect(m_ui.lists[field.field], &QComboBox::currentIndexChanged, this,
                    [this, which = field.field](int index) { listEdited(which, index); });
    }
}

void RecordForm::showEntry(QComboBox* list, const FieldDescriptor& field, int stored) {
    const std::optional<int> entry =
        species::shownEntry(field, stored, m_document->edition()->game);
    // The placeholder first: clearing it while no entry is selected selects entry 0.
    list->setPlaceholderText(entry ? QString() : QStringLiteral("Value %1").arg(stored));
    list->setToolTip(entry ? QString()
                           : QStringLiteral("The image holds %1, which this list has no entry "
                                            "for. Saving keeps %1 unless you pick an entry.")
                                 .arg(stored));
    list->setAccessibleDescription(list->toolTip());
    list->setCurrentIndex(entry.value_or(-1));
}

void RecordForm::showField(const FieldDescriptor& field) {
    const int stored = m_document->value(m_position, field.field).number();
    if (field.isNumber()) {
        m_ui.boxes[field.field]->setText(QString::number(stored));
        m_ui.boxes[field.field]->setAccessibleDescription(QString());
    } else {
        showEntry(m_ui.lists[field.field], field, stored);
    }
}

void RecordForm::show(int position) {
    m_position = position;
    m_showing = true;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main))
        showField(field);
    m_showing = false;
    // Changing the gender of a species without one breaks its sprite in the game.
    QComboBox* gender = m_ui.lists[species::Field::Gender];
    if (species::lockOf(species::Field::Gender, position) == species::Lock::Kept) {
        gender->setEnabled(false);
        gender->hide();
    } else {
        gender->show();
    }
}

void RecordForm::refresh() {
    if (m_position < 0 || !m_document)
        return;
    m_showing = true;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        const int stored = m_document->value(m_position, field.field).number();
        if (field.isNumber()) {
            const std::optional<int> typed =
                species::statValue(m_ui.boxes[field.field]->text().toStdString());
            if (typed && *typed != stored)
                showField(field);
            continue;
        }
        const QComboBox* list = m_ui.lists[field.field];
        const bool unlisted = list->currentIndex() < 0;
        if (unlisted ? list->placeholderText() != QStringLiteral("Value %1").arg(stored)
                     : list->currentIndex() != stored)
            showField(field);
    }
    m_showing = false;
}

void RecordForm::clear() {
    m_showing = true;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        if (field.isNumber()) {
            m_ui.boxes[field.field]->clear();
            m_ui.boxes[field.field]->setAccessibleDescription(QString());
            continue;
        }
        QComboBox* list = m_ui.lists[field.field];
        list->setPlaceholderText(QString());
        list->setToolTip(QString());
        list->setAccessibleDescription(QString());
        list->setCurrentIndex(-1);
    }
    m_showing = false;
    m_position = -1;
    // The note under the gender list belongs to the entry that hid the list.
    m_ui.lists[species::Field::Gender]->setEnabled(true);
    m_ui.lists[species::Field::Gender]->show();
}

void RecordForm::boxEdited(species::Field field) {
    if (m_showing || m_position < 0 || !m_document)
        return;
    // Text that is no number holds no edit: the field shows what the disk holds until it does.
    const std::optional<int> typed = species::statValue(m_ui.boxes[field]->text().toStdString());
    (void)m_document->stage(
        {m_document->changeTo(m_position, field,
                              typed ? *typed : m_document->diskValue(m_position, field))},
        false);
    emit edited();
}

void RecordForm::listEdited(species::Field field, int index) {
    if (m_showing || m_position < 0 || !m_document || index < 0)
        return;
    (void)m_document->stage({m_document->changeTo(m_position, field, index)}, false);
    emit edited();
}

bool RecordForm::statsValid() const {
    bool valid = true;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main))
        if (field.isNumber() && !species::statValue(m_ui.boxes[field.field]->text().toStdString()))
            valid = false;
    return valid;
}

bool RecordForm::hasEdits() const {
    if (m_position < 0 || !m_document)
        return false;
    return !statsValid() || m_document->hasPending(m_position);
}

QLineEdit* RecordForm::markInvalidStats() const {
    QLineEdit* first = nullptr;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        if (!field.isNumber())
            continue;
        QLineEdit* box = m_ui.boxes[field.field];
        const bool valid = species::statValue(box->text().toStdString()).has_value();
        box->setAccessibleDescription(valid ? QString()
                                            : QStringLiteral("Enter a number from 0 to 255."));
        if (!valid && !first)
            first = box;
    }
    return first;
}

species::ByField<int> RecordForm::values(Part part) const {
    species::ByField<int> values;
    for (const FieldDescriptor& field : species::fieldsOf(part))
        values[field.field] = m_document->value(m_position, field.field).number();
    return values;
}

std::vector<std::string> RecordForm::take(Part part,
                                          const species::ByField<species::Value>& values) {
    std::vector<species::Change> changes;
    for (const FieldDescriptor& field : species::fieldsOf(part))
        changes.push_back(m_document->changeTo(m_position, field.field, values[field.field]));
    std::vector<std::string> refused = m_document->stage(changes, false);
    emit edited();
    return refused;
}

std::vector<species::Change> RecordForm::changesShown() const {
    std::vector<species::Change> changes;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main))
        changes.push_back(m_document->changeTo(m_position, field.field,
                                               m_document->value(m_position, field.field)));
    for (const species::Change& edit : m_document->pending({m_position}))
        if (species::descriptor(edit.field).part != Part::Main)
            changes.push_back(edit);
    species::sortChanges(changes);
    return changes;
}

} // namespace app
