#pragma once

#include "EntryDialog.h"

#include "species/Value.h"

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace app {

// "Moves": the level-up moves of an entry, a level and a move a row, in the order the game
// reads them, and beside them its egg moves. A move is added at a level (after the moves of
// that level) or removed; a list that is edited is kept in ascending order of level, and one
// that is not stays exactly as it was read. Egg moves are added to the end or removed, within
// the room of the game's one list. OK hands both over with `accepted`. The Egg entries have
// neither to edit; a form shows its species' egg moves, which are edited there.
class MovesDialog final : public EntryDialog {
    Q_OBJECT

public:
    struct Lists {
        std::optional<species::Value> learnset; // none: the image has no learnset table
        std::optional<species::Value> eggMoves; // none: the image has no list of egg moves
        // The words of the game's list of egg moves that are free with the egg moves as they
        // are now.
        int freeEggWords = 0;
    };
    MovesDialog(int position, const Lists& lists);

protected:
    bool accept() override;

private:
    void addMove();
    void removeMove();
    void showList(int selected);
    void addEggMove();
    void removeEggMove();
    void showEggMoves(int selected);
    // The move a list or its typed text names, or 0 when it names none.
    [[nodiscard]] static int chosenMove(const QComboBox* box);
    void showNote(const QString& text);
    [[nodiscard]] int freeEggWords() const;

    int m_position;
    bool m_editsLearnset = false;
    bool m_editsEggMoves = false;
    std::vector<int> m_read; // the list as the image holds it
    std::vector<int> m_words;
    std::vector<int> m_eggRead;
    std::vector<int> m_eggMoves;
    int m_freeEggWords = 0;
    QTableWidget* m_table = nullptr;
    QSpinBox* m_level = nullptr;
    QComboBox* m_move = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_count = nullptr;
    QListWidget* m_eggList = nullptr;
    QComboBox* m_eggMove = nullptr;
    QPushButton* m_addEgg = nullptr;
    QPushButton* m_removeEgg = nullptr;
    QLabel* m_eggRoom = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace app
