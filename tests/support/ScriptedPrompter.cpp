#include "ScriptedPrompter.h"

#include <QWidget>

void ScriptedPrompter::showMessage(QWidget* owner, Icon icon, const QString& title,
                                   const QString& text) {
    messages.append({icon, title, text, owner == nullptr || owner->isEnabled()});
    if (onMessage)
        onMessage(messages.last());
}

int ScriptedPrompter::ask(QWidget*, const Question& question) {
    questions.append(question);
    if (onQuestion)
        onQuestion(question);
    if (answers.isEmpty())
        qFatal("a question nobody expected: %s", qPrintable(question.text));
    const QString answer = answers.takeFirst();
    int chosen = -1;
    for (int i = 0; i < question.buttons.size(); ++i)
        if (question.buttons[i].text == answer)
            chosen = i;
    if (chosen < 0)
        qFatal("no such button in: %s", qPrintable(question.text));
    if (!question.buttons[chosen].enabled)
        qFatal("the button %s is disabled in: %s", qPrintable(answer), qPrintable(question.text));
    return chosen;
}

QList<ScriptedPrompter::Message> ScriptedPrompter::take() {
    QList<Message> shown;
    shown.swap(messages);
    return shown;
}
