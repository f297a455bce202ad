#pragma once

#include "SmallDialog.h"

#include "species/FieldLayout.h"
#include "species/Value.h"

#include <span>
#include <vector>

namespace app {

// A dialog of fields of the entry on view that the main window has no room for (its EV yield
// and TM and HM flags, its evolutions...): it shows the values of `parts` it is given, and OK
// hands over the values chosen; Cancel or the title bar drops them.
class EntryDialog : public SmallDialog {
    Q_OBJECT

public:
    EntryDialog(const QString& caption, QSize clientSize, QRect okButton,
                std::vector<species::Part> parts);

    // The parts of the record whose fields it shows.
    [[nodiscard]] std::span<const species::Part> parts() const { return m_parts; }

signals:
    void accepted(const species::ByField<species::Value>& values);

protected:
    // Hands over values that are all numbers.
    void handOver(const species::ByField<int>& numbers);

private:
    std::vector<species::Part> m_parts;
};

} // namespace app
