#include "WindowHarness.h"

#include "app/MainWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <QtTest/QTest>

WindowHarness::WindowHarness()
    : m_window(std::make_unique<MainWindow>(app::AppServices{prompter, dialogs, io})) {
    m_window->show();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qFatal("the main window did not become active");
}

WindowHarness::~WindowHarness() = default;

QString WindowHarness::caption() const {
    return m_window->windowHandle()->title();
}

QAction* WindowHarness::action(const char* name) const {
    return find<QAction>(name);
}

void WindowHarness::pressShortcut(const QKeySequence& keys) {
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget()
                                                   : static_cast<QWidget*>(m_window.get()),
                       keys);
}

void WindowHarness::chooseMenu(const char* menuName, const char* actionName) {
    QMenu* menu = find<QMenu>(menuName);
    QMenuBar* bar = m_window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
        qFatal("the menu %s did not open", menuName);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action(actionName)).center());
    if (menu->isVisible())
        QTest::keyClick(menu, Qt::Key_Escape);
}

void WindowHarness::open(const QString& path) {
    dialogs.choose(path);
    pressShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
}

QString WindowHarness::openNew(const QByteArray& code, quint32 seed) {
    const QString path = roms.createFor(code, QString::fromLatin1(code) + QStringLiteral(".nds"));
    SyntheticRom::fillRecords(path, code, seed);
    open(path);
    return path;
}

void WindowHarness::clickEntry(int row) {
    QListWidget* list = species();
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QPoint centre = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

void WindowHarness::type(const char* boxName, const QString& text) {
    QLineEdit* target = box(boxName);
    target->setFocus();
    target->selectAll();
    QTest::keyClick(target, Qt::Key_Backspace);
    QTest::keyClicks(target, text);
}
