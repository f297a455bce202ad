#include "MessageErrorReporter.h"

#include "Prompter.h"

void MessageErrorReporter::report(const rom::IoError& error) {
    m_prompter.showMessage(m_owner, Prompter::Icon::None,
                           QStringLiteral("Error: %1").arg(error.code),
                           QString::fromStdString(error.describe()));
}
