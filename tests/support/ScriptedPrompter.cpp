#include "ScriptedPrompter.h"

#include <QWidget>

void ScriptedPrompter::showMessage(QWidget* owner, Icon icon, const QString& title,
                                   const QString& text) {
    messages.append({icon, title, text, owner == nullptr || owner->isEnabled()});
    if (onMessage)
        onMessage(messages.last());
}

QList<ScriptedPrompter::Message> ScriptedPrompter::take() {
    QList<Message> shown;
    shown.swap(messages);
    return shown;
}
