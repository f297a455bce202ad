#pragma once

#include "app/Prompter.h"

#include <QList>

#include <functional>

using app::Prompter;

// Answers every message box at once and remembers it. Questions take their answers, by the
// button's text, from `answers`; a question without one ends the test.
class ScriptedPrompter final : public Prompter {
public:
    struct Message {
        Icon icon;
        QString title;
        QString text;
        bool ownerEnabled; // whether the owning window took input when the box came up
    };

    void showMessage(QWidget* owner, Icon icon, const QString& title, const QString& text) override;

    int ask(QWidget* owner, const Question& question) override;

    // The messages shown since the last call.
    QList<Message> take();

    QList<Message> messages;
    // Runs while the box is "open", so a test can look at the window at that moment.
    std::function<void(const Message&)> onMessage;

    QList<Question> questions;
    QStringList answers;
    // Runs while a question is "open".
    std::function<void(const Question&)> onQuestion;
};
