#pragma once

#include "FieldLayout.h"

#include "GameEdition.h"

#include <QDialog>

class QComboBox;
class QSpinBox;

// "Set for Selected Entries...": a field, what to do with it (set it to a value; for numbers
// also add or subtract) and the value, for every entry selected in the table.
class SetFieldDialog final : public QDialog {
    Q_OBJECT

public:
    enum class Operation { Set, Add, Subtract };
    struct Request {
        species::Field field = species::Field::HP;
        Operation operation = Operation::Set;
        int value = 0;
    };

    SetFieldDialog(nds::Game game, QWidget* parent);

    [[nodiscard]] Request request() const;

private:
    void fieldChosen();

    nds::Game m_game;
    QComboBox* m_field;
    QComboBox* m_operation;
    QSpinBox* m_number;
    QComboBox* m_entry;
};
