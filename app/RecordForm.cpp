#include "RecordForm.h"

#include "MainWindowUi.h"
#include "StatText.h"
#include "ValueRules.h"

#include <QComboBox>
#include <QLineEdit>

using species::FieldDescriptor;
using species::Part;

namespace {

// The fields of the EV Yield and TM/HM dialog.
constexpr Part kDialogParts[] = {Part::EvYield, Part::SpriteFlag, Part::TmHm};

} // namespace

void RecordForm::showEntry(QComboBox* list, const FieldDescriptor& field, int stored,
                           nds::Game game) {
    const std::optional<int> entry = species::shownEntry(field, stored, game);
    // The placeholder first: clearing it while no entry is selected selects entry 0.
    list->setPlaceholderText(entry ? QString() : QStringLiteral("Value %1").arg(stored));
    list->setToolTip(entry ? QString()
                           : QStringLiteral("The image holds %1, which this list has no entry "
                                            "for. Saving keeps %1 unless you pick an entry.")
                                 .arg(stored));
    list->setAccessibleDescription(list->toolTip());
    list->setCurrentIndex(entry.value_or(-1));
    m_unlisted[field.field] = entry ? std::nullopt : std::optional<int>(stored);
}

void RecordForm::show(const species::Record& record,
                      const std::optional<species::Record>& evolutions, int position,
                      nds::Game game) {
    m_shown = true;
    m_loaded = record;
    m_dialogEdits.fill(std::nullopt);
    m_evolutions = evolutions;
    m_evolutionEdits.fill(std::nullopt);
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        const int stored = record.get(field.field);
        if (field.isNumber()) {
            m_ui.boxes[field.field]->setText(QString::number(stored));
            m_ui.boxes[field.field]->setAccessibleDescription(QString());
        } else
            showEntry(m_ui.lists[field.field], field, stored, game);
    }
    // Changing the gender of a species without one breaks its sprite in the game.
    QComboBox* gender = m_ui.lists[species::Field::Gender];
    if (species::lockOf(species::Field::Gender, position) == species::Lock::Kept) {
        gender->setEnabled(false);
        gender->hide();
    } else {
        gender->show();
    }
}

void RecordForm::clear() {
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
    m_unlisted.fill(std::nullopt);
    m_dialogEdits.fill(std::nullopt);
    m_evolutionEdits.fill(std::nullopt);
    m_evolutions.reset();
    m_loaded = {};
    m_shown = false;
    // The note under the gender list belongs to the entry that hid the list.
    m_ui.lists[species::Field::Gender]->setEnabled(true);
    m_ui.lists[species::Field::Gender]->show();
}

bool RecordForm::statsValid() const {
    bool valid = true;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main))
        if (field.isNumber() && !species::statValue(m_ui.boxes[field.field]->text().toStdString()))
            valid = false;
    return valid;
}

bool RecordForm::hasEdits() const {
    if (!m_shown)
        return false;
    if (!statsValid())
        return true;
    for (const FieldDescriptor& field : species::evolutionLayout())
        if (m_evolutionEdits[field.field])
            return true;
    species::Record now = m_loaded;
    now.apply(edit());
    return now != m_loaded;
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

species::ByField<int> RecordForm::dialogValues() const {
    species::ByField<int> values;
    for (const Part part : kDialogParts)
        for (const FieldDescriptor& field : species::fieldsOf(part))
            values[field.field] = m_dialogEdits[field.field].value_or(m_loaded.get(field.field));
    return values;
}

void RecordForm::takeDialogValues(const species::ByField<int>& values) {
    for (const Part part : kDialogParts)
        for (const FieldDescriptor& field : species::fieldsOf(part)) {
            const int value = values[field.field];
            m_dialogEdits[field.field] =
                value != m_loaded.get(field.field) ? std::optional<int>(value) : std::nullopt;
        }
}

species::RecordEdit RecordForm::edit() const {
    species::RecordEdit edit = m_dialogEdits;
    for (const FieldDescriptor& field : species::fieldsOf(Part::Main)) {
        if (field.isNumber()) {
            edit[field.field] = species::statValue(m_ui.boxes[field.field]->text().toStdString());
            continue;
        }
        const int index = m_ui.lists[field.field]->currentIndex();
        edit[field.field] = index >= 0 ? index : m_unlisted[field.field].value_or(-1);
    }
    return edit;
}

species::ByField<int> RecordForm::evolutionValues() const {
    species::ByField<int> values;
    for (const FieldDescriptor& field : species::evolutionLayout())
        values[field.field] = m_evolutionEdits[field.field].value_or(
            m_evolutions ? m_evolutions->get(field.field) : 0);
    return values;
}

void RecordForm::takeEvolutionValues(const species::ByField<int>& values) {
    if (!m_evolutions)
        return;
    for (const FieldDescriptor& field : species::evolutionLayout()) {
        const int value = values[field.field];
        m_evolutionEdits[field.field] =
            value != m_evolutions->get(field.field) ? std::optional<int>(value) : std::nullopt;
    }
}

std::vector<species::Change> RecordForm::evolutionChanges(int position,
                                                          const species::Record& now) const {
    std::vector<species::Change> changes;
    for (const FieldDescriptor& field : species::evolutionLayout())
        if (const std::optional<int>& value = m_evolutionEdits[field.field])
            changes.push_back({position, field.field, now.get(field.field), *value});
    return changes;
}
