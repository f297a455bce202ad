#include "RecordForm.h"

#include "EntryRules.h"
#include "Form1Ui.h"
#include "StatText.h"

#include <QComboBox>
#include <QLineEdit>

using species::FieldDescriptor;

void RecordForm::showIndex(QComboBox* list, const FieldDescriptor& field, int stored) {
    const int index = species::asListIndex(stored, field);
    const bool listed = index >= -1 && index < list->count();
    // The placeholder first: clearing it while no entry is selected selects entry 0.
    list->setPlaceholderText(listed ? QString() : QStringLiteral("Value %1").arg(stored));
    list->setToolTip(listed ? QString()
                            : QStringLiteral("The image holds %1, which this list has no entry "
                                             "for. Saving keeps %1 unless you pick an entry.")
                                  .arg(stored));
    list->setAccessibleDescription(list->toolTip());
    list->setCurrentIndex(listed ? index : -1);
    m_unlisted[static_cast<std::size_t>(field.field)] =
        listed ? std::nullopt : std::optional<int>(stored);
}

void RecordForm::show(const species::FieldValues& values, int position) {
    for (const FieldDescriptor& field : species::fieldLayout()) {
        const int stored = values[static_cast<std::size_t>(field.field)];
        if (field.isNumber())
            m_ui.textBox(field.field)->setText(QString::number(stored));
        else if (field.field != species::Field::Colour)
            showIndex(m_ui.list(field.field), field, stored);
    }

    // The colour byte of some entries reads wrongly: show the known colour, never the byte.
    if (const std::optional<int> fixed = species::fixedColourIndex(position)) {
        m_ui.cmbColour->setPlaceholderText(QString());
        m_ui.cmbColour->setToolTip(QString());
        m_ui.cmbColour->setCurrentIndex(*fixed);
        m_unlisted[static_cast<std::size_t>(species::Field::Colour)].reset();
        m_ui.cmbColour->hide();
    } else {
        showIndex(m_ui.cmbColour, species::descriptor(species::Field::Colour),
                  values[static_cast<std::size_t>(species::Field::Colour)]);
        m_ui.cmbColour->show();
    }

    // Changing the gender of a species without one breaks its sprite in the game.
    if (species::isNoGenderSpecies(position)) {
        m_ui.cmbGender->setEnabled(false);
        m_ui.cmbGender->hide();
    } else {
        m_ui.cmbGender->show();
    }
}

void RecordForm::clear() {
    for (const FieldDescriptor& field : species::fieldLayout()) {
        if (field.isNumber()) {
            m_ui.textBox(field.field)->clear();
        } else {
            QComboBox* list = m_ui.list(field.field);
            list->setPlaceholderText(QString());
            list->setToolTip(QString());
            list->setAccessibleDescription(QString());
            list->setCurrentIndex(-1);
        }
    }
    m_unlisted.fill(std::nullopt);
    // The notes under the colour and gender lists belong to the entry that hid the lists.
    m_ui.cmbColour->show();
    m_ui.cmbGender->setEnabled(true);
    m_ui.cmbGender->show();
}

bool RecordForm::statsValid() const {
    bool valid = true;
    for (const FieldDescriptor& field : species::fieldLayout())
        if (field.isNumber() &&
            !species::statValue(m_ui.textBox(field.field)->text().toStdString()))
            valid = false;
    return valid;
}

species::RecordEdit RecordForm::edit(int position) const {
    species::RecordEdit edit{};
    for (const FieldDescriptor& field : species::fieldLayout()) {
        const auto slot = static_cast<std::size_t>(field.field);
        if (field.isNumber()) {
            edit[slot] = species::statValue(m_ui.textBox(field.field)->text().toStdString());
            continue;
        }
        const int index = m_ui.list(field.field)->currentIndex();
        edit[slot] = index >= 0 ? index : m_unlisted[slot].value_or(-1);
    }
    if (species::fixedColourIndex(position))
        edit[static_cast<std::size_t>(species::Field::Colour)].reset();
    return edit;
}
