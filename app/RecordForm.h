#pragma once

#include "RecordCodec.h"

#include <array>
#include <optional>

class Form1Ui;
class QComboBox;

// Moves a record's values between the species controls and the record layout.
class RecordForm {
public:
    explicit RecordForm(const Form1Ui& ui) : m_ui(ui) {}

    // Shows the values of the entry at `position`, hiding the colour or gender list where the
    // entry's rules say so.
    void show(const species::FieldValues& values, int position);

    // Empties every box and list and shows the lists an entry's rules hid, so nothing of an
    // earlier entry stays on view, its notes included.
    void clear();

    // Whether every stat box holds a number from 0 to 255. All ten are checked every time.
    [[nodiscard]] bool statsValid() const;

    // What a save writes for the entry at `position`; call only when statsValid().
    [[nodiscard]] species::RecordEdit edit(int position) const;

private:
    void showIndex(QComboBox* list, const species::FieldDescriptor& field, int stored);

    const Form1Ui& m_ui;
    // A stored value that its list cannot show, kept so that a save writes it back unchanged.
    std::array<std::optional<int>, species::kFieldCount> m_unlisted{};
};
