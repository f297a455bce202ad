#include "EntryDialog.h"

namespace app {

EntryDialog::EntryDialog(const QString& caption, QSize clientSize, QRect okButton,
                         std::vector<species::Part> parts)
    : SmallDialog(caption, clientSize, okButton), m_parts(std::move(parts)) {
}

} // namespace app
