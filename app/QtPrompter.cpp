#include "QtPrompter.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompter::showMessage(QWidget* owner, Icon icon, const QString& title, const QString& text) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, owner);
    box.exec();
}

int QtPrompter::ask(QWidget* owner, const Question& question) {
    QMessageBox box(boxIcon(question.icon), question.title, question.text, QMessageBox::NoButton,
                    owner);
    QList<QPushButton*> buttons;
    for (int i = 0; i < question.buttons.size(); ++i) {
        const Button& button = question.buttons[i];
        if (button.standard != QMessageBox::NoButton) {
            buttons.append(box.addButton(button.standard));
            continue;
        }
        // The roles place the buttons where the platform puts them.
        const QMessageBox::ButtonRole role = i == question.cancel ? QMessageBox::RejectRole
                                             : i == 0             ? QMessageBox::AcceptRole
                                                                  : QMessageBox::DestructiveRole;
        buttons.append(box.addButton(button.text, role));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(buttons.front());
        box.setEscapeButton(buttons.value(question.cancel));
    }
    box.exec();
    const int chosen = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return chosen >= 0 ? chosen : question.cancel;
}
