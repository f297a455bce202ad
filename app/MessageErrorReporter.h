#pragma once

#include "ErrorReporter.h"

class Prompter;
class QWidget;

// Shows a file failure as the box "Error: <number>" with the failure's description and no icon.
class MessageErrorReporter final : public rom::ErrorReporter {
public:
    MessageErrorReporter(Prompter& prompter, QWidget* owner)
        : m_prompter(prompter), m_owner(owner) {}

    void report(const rom::IoError& error) override;

private:
    Prompter& m_prompter;
    QWidget* m_owner;
};
