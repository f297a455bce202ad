#pragma once

#include "Change.h"
#include "Record.h"

#include "GameEdition.h"

#include <optional>
#include <vector>

class MainWindowUi;
class QComboBox;
class QLineEdit;

// Moves a record's values between the window and the record, as the value rules say: the main
// window's fields through its controls, the EV yield, sprite flag and TM/HM flags through the
// values the EV Yield and TM/HM dialog hands over, the evolution record through those of the
// Evolutions dialog.
class RecordForm {
public:
    explicit RecordForm(const MainWindowUi& ui) : m_ui(ui) {}

    // Shows the record of the entry at `position` of an image of `game`, hiding the gender
    // list where the entry's rules say so, and keeps it and the entry's evolution record (where
    // the image has one) for the dialogs.
    void show(const species::Record& record, const std::optional<species::Record>& evolutions,
              int position, nds::Game game);

    // Empties every box and list and shows the lists an entry's rules hid, so nothing of an
    // earlier entry stays on view, its notes included; drops the dialog's values.
    void clear();

    // Whether every stat box holds a number from 0 to 255. All ten are checked every time.
    [[nodiscard]] bool statsValid() const;
    // Gives each stat box that holds no number from 0 to 255 a description that says so, for
    // screen readers, and takes it from the others: the first box at fault, or null.
    [[nodiscard]] QLineEdit* markInvalidStats() const;

    // Whether the values on view, the dialog's included, differ from the record as loaded (or
    // as last saved): a value typed and typed back is no edit, a box that holds no number is.
    [[nodiscard]] bool hasEdits() const;

    // The values of the dialog's fields: as loaded, or as the dialog last handed them over.
    [[nodiscard]] species::ByField<int> dialogValues() const;
    // Takes the dialog's values; a save writes those that differ from the loaded record.
    void takeDialogValues(const species::ByField<int>& values);

    // The record as loaded, or as the last save left it.
    [[nodiscard]] const species::Record& loaded() const { return m_loaded; }

    // The evolution record as loaded or last saved; nothing where the image has none.
    [[nodiscard]] const std::optional<species::Record>& loadedEvolutions() const {
        return m_evolutions;
    }
    // The values of the evolution fields: as loaded, or as the Evolutions dialog last handed
    // them over; and taking them from the dialog.
    [[nodiscard]] species::ByField<int> evolutionValues() const;
    void takeEvolutionValues(const species::ByField<int>& values);
    // The evolution fields the dialog changed, as changes of `now`, the evolution record of the
    // entry at `position` on disk.
    [[nodiscard]] std::vector<species::Change> evolutionChanges(int position,
                                                                const species::Record& now) const;

    // What a save writes; call only when statsValid(). Of the dialog's fields, only those the
    // dialog changed: the others keep what the file holds.
    [[nodiscard]] species::RecordEdit edit() const;

private:
    void showEntry(QComboBox* list, const species::FieldDescriptor& field, int stored,
                   nds::Game game);

    const MainWindowUi& m_ui;
    bool m_shown = false; // a record is on view
    species::Record m_loaded;
    // A stored value that its list cannot show, kept so that a save writes it back unchanged.
    species::ByField<std::optional<int>> m_unlisted;
    // The dialog's values that differ from the loaded record.
    species::ByField<std::optional<int>> m_dialogEdits;
    std::optional<species::Record> m_evolutions;
    // The Evolutions dialog's values that differ from the loaded evolution record.
    species::ByField<std::optional<int>> m_evolutionEdits;
};
