#pragma once

#include "HelpDialog.h"

// "No Gender?": why the gender ratio of some species cannot be edited.
class Form3 final : public HelpDialog {
    Q_OBJECT

public:
    Form3();
};
