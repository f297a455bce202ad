#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message box of the program goes through this interface, so tests can answer them
// without a modal loop.
class Prompter {
public:
    enum class Icon { None, Warning, Information, Question };

    // A box with a choice of buttons. The first is the default one; `cancel` is the one the
    // Escape key and closing the box choose.
    struct Question {
        Icon icon = Icon::Question;
        QString title;
        QString text;
        QStringList buttons;
        int cancel = 0;
    };

    virtual ~Prompter() = default;
    // A box with a single OK button.
    virtual void showMessage(QWidget* owner, Icon icon, const QString& title,
                             const QString& text) = 0;
    // The index of the button chosen.
    [[nodiscard]] virtual int ask(QWidget* owner, const Question& question) = 0;
};
