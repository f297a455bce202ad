#pragma once

#include "FieldLayout.h"

#include <QList>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QWidget;
class PokemonListBox;

// The controls of the main window, created and placed by setupUi. Each carries its
// objectName, so tests and accessibility tools find it by name.
class Form1Ui {
public:
    void setupUi(QMainWindow* window);

    // The control that shows `field`, found through the record layout's control names.
    [[nodiscard]] QLineEdit* textBox(species::Field field) const;
    [[nodiscard]] QComboBox* list(species::Field field) const;

    // Everything a load makes usable: the eight editing frames, their captions, the ten text
    // boxes and the twelve lists.
    [[nodiscard]] QList<QWidget*> editingControls() const;

    QLabel* Image1 = nullptr;
    QGroupBox* framePkmn = nullptr;
    PokemonListBox* pkmnlst = nullptr;
    QGroupBox* frameBaseStats = nullptr;
    QGroupBox* frameType = nullptr;
    QGroupBox* frameAbilities = nullptr;
    QGroupBox* frmOther = nullptr;
    QGroupBox* frmExp = nullptr;
    QGroupBox* frameGender = nullptr;
    QGroupBox* frameBreeding = nullptr;
    QGroupBox* frameItems = nullptr;
    QComboBox* cmbColour = nullptr;
    QComboBox* cmbGender = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QGroupBox* frameLoaded = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* header = nullptr;
    QLabel* language = nullptr;
    QLabel* code = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuNoGender = nullptr;
    QAction* mnuReadError = nullptr;
    QAction* mnuAbout = nullptr;

private:
    void buildSpeciesFrame(QWidget* client);
    void buildStatsFrames(QWidget* client);
    void buildOtherFrames(QWidget* client);
    void buildListFrames(QWidget* client);
    void buildInformationFrames(QWidget* client);
    void buildMenus(QMainWindow* window);
    void fillLists();
    void setFocusOrder() const;

    QMainWindow* m_window = nullptr;
    QList<QWidget*> m_editing;
};
