#include "QtPrompter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

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

namespace {

// A question with its details on view, in a list that scrolls, rather than behind a button.
int askWithDetails(QWidget* owner, const Prompter::Question& question) {
    QDialog box(owner);
    box.setWindowTitle(question.title);
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QLabel(question.text, &box);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* details = new QPlainTextEdit(question.details, &box);
    details->setObjectName(QStringLiteral("txtDetails"));
    details->setReadOnly(true);
    details->setAccessibleName(question.text);
    details->setMinimumSize(440, 240);
    layout->addWidget(details);
    auto* buttons = new QDialogButtonBox(&box);
    int chosen = question.cancel;
    for (int i = 0; i < question.buttons.size(); ++i) {
        const Prompter::Button& button = question.buttons[i];
        QPushButton* made =
            button.standard != QMessageBox::NoButton
                ? buttons->addButton(QDialogButtonBox::StandardButton(int(button.standard)))
                : buttons->addButton(button.text, i == question.cancel
                                                      ? QDialogButtonBox::RejectRole
                                                      : QDialogButtonBox::AcceptRole);
        made->setDefault(i == 0);
        made->setEnabled(button.enabled);
        QObject::connect(made, &QPushButton::clicked, &box, [&box, &chosen, i] {
            chosen = i;
            box.done(i);
        });
    }
    layout->addWidget(buttons);
    box.exec();
    return chosen;
}

} // namespace

int QtPrompter::ask(QWidget* owner, const Question& question) {
    if (!question.details.isEmpty())
        return askWithDetails(owner, question);
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
        buttons.back()->setEnabled(button.enabled);
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(buttons.front());
        box.setEscapeButton(buttons.value(question.cancel));
    }
    box.exec();
    const int chosen = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return chosen >= 0 ? chosen : question.cancel;
}

} // namespace app
