#pragma once

#include "HelpDialog.h"

// "About": the program's name, version and notice, and where its data offsets come from.
class Form2 final : public HelpDialog {
    Q_OBJECT

public:
    Form2();
};
