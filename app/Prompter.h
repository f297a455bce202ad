#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace app {

// Every message box of the program goes through this interface, so tests can answer them
// without a modal loop.
class Prompter {
public:
    enum class Icon { None, Warning, Information, Question };

    // A button of a question: its text, or one of the toolkit's standard buttons (Save,
    // Discard, Cancel), which shows the platform's own text and place for it; `text` then
    // names it for tests.
    struct Button {
        QString text;
        QMessageBox::StandardButton standard = QMessageBox::NoButton;
        bool enabled = true; // shown, but not to be chosen
    };
    // A box with a choice of buttons. The first is the default one; `cancel` is the one the
    // Escape key and closing the box choose.
    struct Question {
        Icon icon = Icon::Question;
        QString title;
        QString text;
        QList<Button> buttons;
        int cancel = 0;
        // Lines shown below the text, in a list that scrolls: every change a save would make.
        QString details;

        // A question of `buttons` and then Cancel, which Escape and closing the box choose.
        [[nodiscard]] static Question withCancel(Icon icon, QString title, QString text,
                                                 QList<Button> buttons, QString details = {}) {
            buttons.append({QStringLiteral("Cancel"), QMessageBox::Cancel});
            const int cancel = static_cast<int>(buttons.size()) - 1;
            return {icon,   std::move(title),  std::move(text), std::move(buttons),
                    cancel, std::move(details)};
        }
    };

    virtual ~Prompter() = default;
    // A box with a single OK button.
    virtual void showMessage(QWidget* owner, Icon icon, const QString& title,
                             const QString& text) = 0;
    // The index of the button chosen.
    [[nodiscard]] virtual int ask(QWidget* owner, const Question& question) = 0;
};

} // namespace app
