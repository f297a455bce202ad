#pragma once

#include "Record.h"

#include "GameEdition.h"

class MainWindowUi;
class QComboBox;

// Moves a record's values between the field controls and the record, as the value rules say.
class RecordForm {
public:
    explicit RecordForm(const MainWindowUi& ui) : m_ui(ui) {}

    // Shows the record of the entry at `position` of an image of `game`, hiding the colour or
    // gender list where the entry's rules say so.
    void show(const species::Record& record, int position, nds::Game game);

    // Empties every box and list and shows the lists an entry's rules hid, so nothing of an
    // earlier entry stays on view, its notes included.
    void clear();

    // Whether every stat box holds a number from 0 to 255. All ten are checked every time.
    [[nodiscard]] bool statsValid() const;

    // What a save writes for the entry at `position`; call only when statsValid().
    [[nodiscard]] species::RecordEdit edit(int position) const;

private:
    void showEntry(QComboBox* list, const species::FieldDescriptor& field, int stored,
                   nds::Game game);

    const MainWindowUi& m_ui;
    // A stored value that its list cannot show, kept so that a save writes it back unchanged.
    species::ByField<std::optional<int>> m_unlisted;
};
