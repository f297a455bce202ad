#pragma once

#include "EntryDialog.h"

#include "nds/GameEdition.h"
#include "species/FieldLayout.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace app {

// "EV Yield and TM/HM": the fields of an entry that the main window has no room for. Its six
// EV yields (0 to 3), the sprite flag, and the 100 TM and HM flags, each named with the move
// it teaches in the image's game, in a list a filter narrows. OK hands the values over with
// `accepted`; Cancel or the title bar drops them.
class EvTmDialog final : public EntryDialog {
    Q_OBJECT

public:
    // `values` holds the entry's values of those fields.
    EvTmDialog(const QString& entry, const species::ByField<int>& values, nds::Game game);

protected:
    bool accept() override;

private:
    void buildEvYield(const species::ByField<int>& values);
    void buildTmHm(const species::ByField<int>& values, nds::Game game);
    void filter(const QString& text);

    species::ByField<QSpinBox*> m_evs{};
    QCheckBox* m_flip = nullptr;
    QLineEdit* m_filter = nullptr;
    QListWidget* m_tmHm = nullptr;
};

} // namespace app
