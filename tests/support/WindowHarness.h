#pragma once

#include "FaultInjectingIo.h"
#include "ScriptedFileDialog.h"
#include "ScriptedPrompter.h"
#include "SyntheticRom.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

#include <memory>

#include "app/MainWindow.h"

using app::MainWindow;

// The real main window, shown, with scripted message boxes and file dialogs and a counting
// file system. Drives it as a user does: shortcuts, clicks and typing.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    MainWindow& window() { return *m_window; }
    // The caption as the desktop shows it: "*" for the mark of unsaved edits.
    QString caption() const;

    template <typename T> T* find(const char* name) const;
    QAction* action(const char* name) const;
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    QListWidget* species() const { return find<QListWidget>("pkmnlst"); }

    void pressShortcut(const QKeySequence& keys);
    // Clicks the menu `menuName` in the menu bar, then its command `actionName`; a disabled
    // command leaves the menu open, and Escape closes it.
    void chooseMenu(const char* menuName, const char* actionName);
    // Answers the next file dialog with `path` and presses Ctrl+O.
    void open(const QString& path);
    // A supported image of edition `code` with random records, opened.
    QString openNew(const QByteArray& code, quint32 seed = 1);
    // A left click on the entry at `row`, scrolled into view first.
    void clickEntry(int row);
    // Replaces the text of a box by typing, as a user does.
    void type(const char* boxName, const QString& text);
    void save() { pressShortcut(QKeySequence(QStringLiteral("Ctrl+S"))); }

    ScriptedPrompter prompter;
    ScriptedFileDialog dialogs;
    FaultInjectingIo io;
    SyntheticRom roms;

private:
    std::unique_ptr<MainWindow> m_window;
};

template <typename T> T* WindowHarness::find(const char* name) const {
    T* found = m_window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}
