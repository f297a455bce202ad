// What scripts/measure runs:
//   statwright_probe first-paint       the real main window; prints "painted" once it has
//                                      painted, then quits
//   statwright_probe empty-window      the same for a bare main window of the same size
//   statwright_probe one-line          the same for a bare main window that draws one line of
//                                      text: the floor that finding and drawing a font sets
//   statwright_probe load-save IMAGE   opens IMAGE, loads one species and saves it, with
//                                      markers on standard error between the steps
//   statwright_probe shots IMAGE DIR   opens IMAGE and saves pictures of the windows and
//                                      dialogs into DIR, drawn as on screen (main.png,
//                                      table.png, set.png, compare.png,
//                                      patch.png...), to look at them
//                                      where no desktop runs
#include "WindowHarness.h"
#include "app/MainWindow.h"
#include "app/ProgramStyle.h"
#include "app/QtPrompter.h"

#include "app/QtFileDialogBackend.h"
#include "files/SysIo.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

void marker(const char* text) {
    (void)!::write(2, text, std::strlen(text));
}

int loadAndSave(const QString& image) {
    WindowHarness h;
    h.open(image);
    marker("== load\n");
    h.clickEntry(1);
    marker("== save\n");
    h.save();
    marker("== end\n");
    return h.prompter.take().value(0).text.contains("Saved") ? 0 : 1;
}

// Saves what `widget` shows, as the screen would, into `dir`/`name`.
void shoot(QWidget* widget, const QString& dir, const char* name) {
    QCoreApplication::processEvents();
    if (!widget || !widget->grab().save(dir + "/" + QLatin1String(name)))
        std::fprintf(stderr, "could not save %s\n", name);
}

QWidget* shown(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}

// The preview of a patch of one change and one conflict (the sample's Bulbasaur is of no
// second type), drawn by the program's own question box.
void shootPatchPreview(WindowHarness& h, QWidget& table, const QString& dir) {
    const QString patch = dir + "/patch.csv";
    QFile file(patch);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("# statwright patch 1, from ADAE Pokémon Diamond\n"
                   "position,species,field,from,to\n"
                   "0,Bulbasaur,type2,3,16\n"
                   "1,Ivysaur,item1,0,1\n") < 0)
        return;
    file.close();
    h.dialogs.choose(patch);
    h.prompter.answers = {QStringLiteral("Cancel")};
    table.findChild<QAction*>("mnuApplyPatch")->trigger();
    if (h.prompter.questions.isEmpty())
        return;
    QTimer::singleShot(200, [dir] {
        QWidget* box = QApplication::activeModalWidget();
        shoot(box, dir, "patch.png");
        if (box)
            box->close();
    });
    (void)app::QtPrompter().ask(&table, h.prompter.questions.last());
}

int shots(const QString& image, const QString& dir) {
    WindowHarness h;
    h.open(image);
    h.clickEntry(0);
    shoot(&h.window(), dir, "main.png");
    h.clickEntry(9); // a sample entry with level-up moves and egg moves
    h.window().findChild<QAction*>("mnuMoves")->trigger();
    QWidget* moves = shown("dlgMoves");
    shoot(moves, dir, "moves.png");
    if (moves)
        moves->close();
    h.window().findChild<QAction*>("mnuTable")->trigger();
    QWidget* table = shown("tableWindow");
    if (!table)
        return 1;
    table->resize(1000, 560);
    shoot(table, dir, "table.png");
    auto* grid = table->findChild<QAbstractItemView*>("tblEntries");
    grid->selectAll();
    table->findChild<QAction*>("mnuSetSelected")->trigger();
    shoot(table->findChild<QDialog*>("dlgSetSelected"), dir, "set.png");
    table->findChild<QDialog*>("dlgSetSelected")->reject();
    h.dialogs.choose(image);
    table->findChild<QAction*>("mnuCompare")->trigger();
    shoot(table->findChild<QDialog*>("compareWindow"), dir, "compare.png");
    table->findChild<QDialog*>("compareWindow")->reject();
    shootPatchPreview(h, *table, dir);
    h.prompter.answers = {QStringLiteral("Discard"), QStringLiteral("Discard")};
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == "load-save" && argc > 2)
        return loadAndSave(QString::fromLocal8Bit(argv[2]));
    if (mode == "shots" && argc > 3)
        return shots(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    FirstPaint watcher;
    app::QtPrompter prompter;
    app::QtFileDialogBackend dialogs;
    std::unique_ptr<QMainWindow> window;
    if (mode == "first-paint") {
        app::ProgramStyle::install(); // as the program starts
        window = std::make_unique<app::MainWindow>(
            app::AppServices{prompter, dialogs, files::systemIo()});
    } else if (mode == "empty-window") {
        window = std::make_unique<QMainWindow>();
        window->setWindowTitle(QStringLiteral("Statwright"));
        auto* client = new QWidget;
        client->setFixedSize(660, 588);
        window->setCentralWidget(client);
    } else if (mode == "one-line") {
        window = std::make_unique<QMainWindow>();
        window->setWindowTitle(QStringLiteral("Statwright"));
        auto* client = new QLabel(QStringLiteral("Pokémon Data Saved Successfully!"));
        client->setFixedSize(660, 588);
        window->setCentralWidget(client);
    } else {
        std::fputs("usage: statwright_probe first-paint|empty-window|one-line|load-save IMAGE|"
                   "shots IMAGE DIR\n",
                   stderr);
        return 2;
    }
    window->installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}
