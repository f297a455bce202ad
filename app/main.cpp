#include "MainWindow.h"
#include "ProgramStyle.h"
#include "QtFileDialogBackend.h"
#include "QtPrompter.h"

#include "SysIo.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Statwright"));
    QApplication::setOrganizationName(QStringLiteral("Statwright"));
    QGuiApplication::setDesktopFileName(QStringLiteral("statwright"));
    ProgramStyle::install();

    QtPrompter prompter;
    QtFileDialogBackend fileDialogs;
    MainWindow window(AppServices{prompter, fileDialogs, files::systemIo()});
    window.show();
    return QApplication::exec();
}
