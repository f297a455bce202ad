#include "MainWindow.h"
#include "ProgramStyle.h"
#include "QtFileDialogBackend.h"
#include "QtPrompter.h"

#include "files/SysIo.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Statwright"));
    QApplication::setOrganizationName(QStringLiteral("Statwright"));
    QGuiApplication::setDesktopFileName(QStringLiteral("statwright"));
    app::ProgramStyle::install();

    app::QtPrompter prompter;
    app::QtFileDialogBackend fileDialogs;
    app::MainWindow window(app::AppServices{prompter, fileDialogs, files::systemIo()});
    window.show();
    return QApplication::exec();
}
