#pragma once

#include "Prompter.h"

namespace app {

// Modal message boxes of the toolkit.
class QtPrompter final : public Prompter {
public:
    void showMessage(QWidget* owner, Icon icon, const QString& title, const QString& text) override;
    int ask(QWidget* owner, const Question& question) override;
};

} // namespace app
