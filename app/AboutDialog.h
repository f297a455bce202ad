#pragma once

#include "SmallDialog.h"

namespace app {

// "About": the program's name, version and notice, and where its data offsets come from.
class AboutDialog final : public SmallDialog {
    Q_OBJECT

public:
    AboutDialog();
};

} // namespace app
