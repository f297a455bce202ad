#pragma once

#include "EntryDialog.h"

#include "species/Value.h"

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace app {

// "Moves": the level-up moves of an entry, a level and a move a row, in the order the game
// reads them. A move is added at a level (after the moves of that level) or removed; a list
// that is edited is kept in ascending order of level, and one that is not stays exactly as it
// was read. OK hands the list over with `accepted`; the Egg entries have none to edit.
class MovesDialog final : public EntryDialog {
    Q_OBJECT

public:
    MovesDialog(int position, const species::Value& learnset);

protected:
    bool accept() override;

private:
    void addMove();
    void removeMove();
    void showList(int selected);
    // The move the list or its typed text names, or 0 when it names none.
    [[nodiscard]] int chosenMove() const;
    void showNote(const QString& text);

    int m_position;
    std::vector<int> m_read; // the list as the image holds it
    std::vector<int> m_words;
    QTableWidget* m_table = nullptr;
    QSpinBox* m_level = nullptr;
    QComboBox* m_move = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace app
