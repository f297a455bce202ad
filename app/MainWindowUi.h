#pragma once

#include "species/FieldLayout.h"

#include "nds/GameEdition.h"
#include "species/Vocabulary.h"

#include <QList>

#include <map>
#include <utility>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QStringListModel;
class QWidget;

namespace app {

class EntryList;

// The controls of the main window, created and placed by setupUi: the field controls from the
// record's field table and a table of their places, the rest by hand. Each carries the
// objectName that tests and accessibility tools know it by. Some of those names are the
// first version's form names (Form1, Label1 to Label21, pkmnlst, Frame1, header, code): they
// stay, since scripts, tests and screen readers find the controls by them, while the classes
// and members behind them are named by their role.
class MainWindowUi {
public:
    void setupUi(QMainWindow* window);

    // Gives the lists the entries of an image of `game`: the item lists differ between games.
    // A list whose entries change is left without a selection.
    void showListsOf(nds::Game game);

    // Everything a load makes usable: the eight editing frames, their captions, the ten text
    // boxes and the twelve lists.
    [[nodiscard]] const QList<QWidget*>& editingControls() const { return m_editing; }

    QLabel* banner = nullptr;
    QGroupBox* speciesFrame = nullptr;
    EntryList* entryList = nullptr;
    // The control of each field of the main window: a text box for a number, a list for a
    // listed value.
    species::ByField<QLineEdit*> boxes;
    species::ByField<QComboBox*> lists;
    QLabel* readErrorNote = nullptr; // under the colour list
    QLabel* noGenderNote = nullptr;  // under the gender list

    QGroupBox* romInformation = nullptr;
    QLabel* titleCaption = nullptr;
    QLabel* gameTitle = nullptr;
    QLabel* languageCaption = nullptr;
    QLabel* gameLanguage = nullptr;
    QLabel* codeCaption = nullptr;
    QLabel* gameCode = nullptr;
    QGroupBox* noticeFrame = nullptr;
    QLabel* notice = nullptr;

    QMenu* fileMenu = nullptr;
    QMenu* editMenu = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* undoSaveAction = nullptr;
    QAction* evTmAction = nullptr;
    QAction* evolutionsAction = nullptr;
    QAction* movesAction = nullptr;
    QAction* tableAction = nullptr;
    QAction* noGenderAction = nullptr;
    QAction* readErrorAction = nullptr;
    QAction* aboutAction = nullptr;

private:
    void buildSpeciesFrame(QWidget* client);
    void buildFieldFrames(QWidget* client);
    void buildInformationFrames(QWidget* client);
    void buildMenus(QMainWindow* window);
    void setFocusOrder() const;

    QMainWindow* m_window = nullptr;
    QList<QWidget*> m_editing;
    std::map<std::pair<vocabulary::List, nds::Game>, QStringListModel*> m_models;
};

} // namespace app
