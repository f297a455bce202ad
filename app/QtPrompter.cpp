#include "QtPrompter.h"

#include <QMessageBox>

void QtPrompter::showMessage(QWidget* owner, Icon icon, const QString& title, const QString& text) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == Icon::Warning)
        boxIcon = QMessageBox::Warning;
    else if (icon == Icon::Information)
        boxIcon = QMessageBox::Information;
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, owner);
    box.exec();
}
