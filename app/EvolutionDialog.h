#pragma once

#include "EntryDialog.h"

#include "nds/GameEdition.h"
#include "species/FieldLayout.h"
#include "species/Record.h"

#include <array>

class QComboBox;
class QLabel;

namespace app {

// "Evolutions": the seven slots of an entry's evolution record, each a method in words, a
// parameter that fits the method (a level, an item of the image's game, a move, a species, a
// number, or nothing) and the species it evolves into. A value the lists cannot show stays as it
// is unless the user picks another. OK hands the values over with `accepted`, unless a used slot
// has no target; the entries the game reads no evolutions for can only be looked at.
class EvolutionDialog final : public EntryDialog {
    Q_OBJECT

public:
    EvolutionDialog(int position, const species::ByField<int>& values, nds::Game game);

protected:
    bool accept() override;

private:
    struct Row {
        QComboBox* method = nullptr;
        QComboBox* parameter = nullptr;
        QComboBox* target = nullptr;
        int keptParameter = 0; // what the parameter holds while its list shows no entry
    };
    void buildRow(int slot);
    // Fills the parameter list for the method chosen; `stored`, when the list has no entry for
    // it, stays as "Value N".
    void fillParameter(int slot, int stored);
    void methodChosen(int slot);
    // Says which slots use a method no map of the game triggers.
    void showNote();
    [[nodiscard]] int methodOf(int slot) const;

    nds::Game m_game;
    int m_position;
    species::ByField<int> m_values;
    std::array<Row, species::kEvolutionSlots> m_rows{};
    QLabel* m_note = nullptr;
};

} // namespace app
