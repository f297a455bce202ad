#include "RecordForm.h"

#include "EntryRules.h"
#include "MainWindowUi.h"
#include "StatText.h"
#include "ValueRules.h"

#include <QComboBox>
#include <QLineEdit>

using species::FieldDescriptor;
using species::Lock;

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

void RecordForm::show(const species::Record& record, int position, nds::Game game) {
    for (const FieldDescriptor& field : species::fieldLayout()) {
        const int stored = record.get(field.field);
        if (field.isNumber())
            m_ui.boxes[field.field]->setText(QString::number(stored));
        else if (species::lockOf(field.field, position) != Lock::Hidden)
            showEntry(m_ui.lists[field.field], field, stored, game);
    }

    // The colour byte of some entries reads wrongly: show the known colour, never the byte.
    QComboBox* colour = m_ui.lists[species::Field::Colour];
    if (species::lockOf(species::Field::Colour, position) == Lock::Hidden) {
        colour->setPlaceholderText(QString());
        colour->setToolTip(QString());
        colour->setCurrentIndex(*species::fixedColourIndex(position));
        m_unlisted[species::Field::Colour].reset();
        colour->hide();
    } else {
        colour->show();
    }

    // Changing the gender of a species without one breaks its sprite in the game.
    QComboBox* gender = m_ui.lists[species::Field::Gender];
    if (species::lockOf(species::Field::Gender, position) == Lock::Kept) {
        gender->setEnabled(false);
        gender->hide();
    } else {
        gender->show();
    }
}

void RecordForm::clear() {
    for (const FieldDescriptor& field : species::fieldLayout()) {
        if (field.isNumber()) {
            m_ui.boxes[field.field]->clear();
            continue;
        }
        QComboBox* list = m_ui.lists[field.field];
        list->setPlaceholderText(QString());
        list->setToolTip(QString());
        list->setAccessibleDescription(QString());
        list->setCurrentIndex(-1);
    }
    m_unlisted.fill(std::nullopt);
    // The notes under the colour and gender lists belong to the entry that hid the lists.
    m_ui.lists[species::Field::Colour]->show();
    m_ui.lists[species::Field::Gender]->setEnabled(true);
    m_ui.lists[species::Field::Gender]->show();
}

bool RecordForm::statsValid() const {
    bool valid = true;
    for (const FieldDescriptor& field : species::fieldLayout())
        if (field.isNumber() && !species::statValue(m_ui.boxes[field.field]->text().toStdString()))
            valid = false;
    return valid;
}

species::RecordEdit RecordForm::edit(int position) const {
    species::RecordEdit edit;
    for (const FieldDescriptor& field : species::fieldLayout()) {
        if (species::lockOf(field.field, position) == Lock::Hidden)
            continue; // never written
        if (field.isNumber()) {
            edit[field.field] = species::statValue(m_ui.boxes[field.field]->text().toStdString());
            continue;
        }
        const int index = m_ui.lists[field.field]->currentIndex();
        edit[field.field] = index >= 0 ? index : m_unlisted[field.field].value_or(-1);
    }
    return edit;
}
