#pragma once

#include "HelpDialog.h"

// "Read Error?": why the colour of some species cannot be edited.
class Form4 final : public HelpDialog {
    Q_OBJECT

public:
    Form4();
};
