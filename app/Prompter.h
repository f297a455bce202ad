#pragma once

#include <QString>

class QWidget;

// Every message box of the program goes through this interface, so tests can answer them
// without a modal loop. All boxes have a single OK button.
class Prompter {
public:
    enum class Icon { None, Warning, Information };

    virtual ~Prompter() = default;
    virtual void showMessage(QWidget* owner, Icon icon, const QString& title,
                             const QString& text) = 0;
};
