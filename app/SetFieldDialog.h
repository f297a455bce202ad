#pragma once

#include "species/FieldLayout.h"

#include "nds/GameEdition.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QSpinBox;

namespace app {

// "Set for Selected Entries...": a field, what to do with it (set it to a value; for numbers
// also add or subtract) and the value, for every entry selected in the table. It says what it
// will do to how many entries ("Set Catch Rate for 19 entries"); OK hands the request over,
// and the dialog stays open, its choices as they were, when it is refused.
class SetFieldDialog final : public QDialog {
    Q_OBJECT

public:
    enum class Operation { Set, Add, Subtract };
    struct Request {
        species::Field field = species::Field::HP;
        Operation operation = Operation::Set;
        int value = 0;
    };
    // Carries out a request, `said` in words: true when it was done, false when it was refused
    // (and said why).
    using Apply = std::function<bool(const Request& request, const QString& said)>;

    SetFieldDialog(nds::Game game, int entries, Apply apply, QWidget* parent);

    [[nodiscard]] Request request() const;
    // "Set Catch Rate", "Add to Speed", "Clear tm06 (TM06 Toxic)": the request in words.
    [[nodiscard]] QString requestText() const;

    void accept() override;

private:
    void fieldChosen();
    void showSummary();

    nds::Game m_game;
    int m_entries;
    Apply m_apply;
    QLabel* m_summary;
    QComboBox* m_field;
    QComboBox* m_operation;
    QSpinBox* m_number;
    QComboBox* m_entry;
};

} // namespace app
