#include "Form1Ui.h"

#include "Artwork.h"
#include "PokemonListBox.h"
#include "UiText.h"
#include "Vocabulary.h"

#include <QListView>
#include <QLocale>
#include <QStringListModel>

#include <map>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect rect) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(rect);
    frame->setEnabled(false);
    return frame;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setWordWrap(rect.height() > 20); // the two-line captions
    return label;
}

QLabel* makeCaption(QWidget* parent, const char* name, const QString& text, QRect rect) {
    QLabel* label = makeLabel(parent, name, text, rect);
    label->setEnabled(false);
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, QRect rect, QLabel* caption) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(rect);
    box->setMaxLength(3);
    box->setAlignment(Qt::AlignCenter);
    box->setEnabled(false);
    caption->setBuddy(box); // gives the box its spoken name
    return box;
}

// An empty list: fillLists gives it its entries.
QComboBox* makeList(QWidget* parent, const char* name, QRect rect, const QString& spokenName) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(rect);
    list->setAccessibleName(spokenName);
    list->setEnabled(false);
    return list;
}

QString captionOf(const species::FieldDescriptor& field) {
    return uitext::fromUtf8(field.caption);
}
QString captionOf(species::Field field) {
    return captionOf(species::descriptor(field));
}

} // namespace

void Form1Ui::setupUi(QMainWindow* window) {
    m_window = window;
    auto* client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(660, 588);
    // Captions sit on the frame's top line, in blue while the frame is usable. A style sheet
    // replaces inherited fonts, so it names the window's font itself.
    const QFont font = uitext::controlFont();
    client->setStyleSheet(
        QStringLiteral("* { font-family: \"%1\"; font-size: %2pt; }"
                       "QGroupBox { border: 1px solid #a0a0a0; border-radius: 2px;"
                       " margin-top: 6px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 7px; padding: 0 2px;"
                       " color: rgb(0, 0, 255); }"
                       "QGroupBox::title:disabled { color: #9a9a9a; }")
            .arg(font.family())
            .arg(font.pointSizeF()));
    window->setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, artwork::kBannerWidth, artwork::kBannerHeight);
    Image1->setPixmap(artwork::banner(window->devicePixelRatioF()));
    Image1->setAccessibleName(QStringLiteral("Statwright"));

    buildSpeciesFrame(client);
    buildStatsFrames(client);
    buildOtherFrames(client);
    buildListFrames(client);
    buildInformationFrames(client);
    buildMenus(window);
    fillLists();
    setFocusOrder();
}

// Each list shows the entries of the list that the record layout names for its field; lists
// that show the same entries share one model of them. The gender ratios are written with
// the locale's decimal point.
void Form1Ui::fillLists() {
    const std::string separator = QLocale().decimalPoint().toStdString();
    std::map<vocabulary::List, QStringListModel*> models;
    for (const species::FieldDescriptor& field : species::fieldLayout()) {
        if (field.isNumber())
            continue;
        QStringListModel*& model = models[field.list];
        if (!model) {
            QStringList entries;
            for (int k = 0; k < vocabulary::size(field.list); ++k)
                entries << QString::fromStdString(*vocabulary::text(field.list, k, separator));
            model = new QStringListModel(entries, m_window);
        }
        QComboBox* box = list(field.field);
        box->setModel(model);
        box->setCurrentIndex(-1);
        // Every entry is one line of the same font: laying the popup out needs no measuring.
        if (auto* view = qobject_cast<QListView*>(box->view()))
            view->setUniformItemSizes(true);
    }
}

void Form1Ui::buildSpeciesFrame(QWidget* client) {
    framePkmn = makeFrame(client, "framePkmn", QStringLiteral("Pokémon"), {8, 152, 145, 377});
    pkmnlst = new PokemonListBox(framePkmn);
    pkmnlst->setObjectName(QStringLiteral("pkmnlst"));
    pkmnlst->setGeometry(8, 24, 129, 334);
    for (const std::string_view entry : vocabulary::species())
        pkmnlst->addItem(uitext::fromUtf8(entry));
    pkmnlst->setAccessibleName(QStringLiteral("Pokémon"));
    pkmnlst->setUniformItemSizes(true);
    pkmnlst->setEnabled(false);
}

void Form1Ui::buildStatsFrames(QWidget* client) {
    frameBaseStats =
        makeFrame(client, "frameBaseStats", QStringLiteral("Base Stats"), {168, 144, 153, 169});
    struct Pair {
        const char* label;
        species::Field field;
        int x, y;
    };
    using species::Field;
    static constexpr Pair kStats[] = {
        {"Label2", Field::HP, 16, 20},        {"Label3", Field::Attack, 80, 20},
        {"Label4", Field::Defense, 16, 68},   {"Label5", Field::Speed, 80, 68},
        {"Label6", Field::SpAttack, 16, 116}, {"Label7", Field::SpDefense, 80, 116},
    };
    for (const Pair& pair : kStats) {
        const species::FieldDescriptor& field = species::descriptor(pair.field);
        QLabel* caption =
            makeCaption(frameBaseStats, pair.label, captionOf(field), {pair.x, pair.y, 60, 17});
        QLineEdit* box = makeTextBox(frameBaseStats, field.control.data(),
                                     {pair.x, pair.y + 18, 57, 21}, caption);
        m_editing << caption << box;
    }

    frameType = makeFrame(client, "frameType", QStringLiteral("Types"), {168, 336, 153, 89});
    m_editing << makeList(frameType, "cmbType1", {16, 24, 121, 21}, QStringLiteral("Type 1"))
              << makeList(frameType, "cmbType2", {16, 56, 121, 21}, QStringLiteral("Type 2"));

    frameAbilities = makeFrame(client, "frameAbilities", QStringLiteral("Special Abilities"),
                               {168, 448, 321, 73});
    m_editing << makeList(frameAbilities, "cmbAbility1", {16, 30, 137, 21},
                          QStringLiteral("Ability 1"))
              << makeList(frameAbilities, "cmbAbility2", {168, 30, 137, 21},
                          QStringLiteral("Ability 2"));
    m_editing << frameBaseStats << frameType << frameAbilities;
}

void Form1Ui::buildOtherFrames(QWidget* client) {
    frmOther = makeFrame(client, "frmOther", QStringLiteral("Other Values"), {336, 144, 153, 169});
    using species::Field;
    QLabel* catchRate =
        makeCaption(frmOther, "Label9", captionOf(Field::CatchRate), {8, 24, 81, 17});
    QLabel* runChance =
        makeCaption(frmOther, "Label18", captionOf(Field::RunChance), {8, 52, 81, 30});
    QLabel* happiness =
        makeCaption(frmOther, "Label19", captionOf(Field::BaseHappiness), {8, 88, 81, 30});
    QLabel* colour = makeCaption(frmOther, "Label16", captionOf(Field::Colour), {8, 132, 46, 17});
    m_editing << catchRate << runChance << happiness << colour
              << makeTextBox(frmOther, "txtCatchRate", {96, 22, 49, 21}, catchRate)
              << makeTextBox(frmOther, "txtRunChance", {96, 56, 49, 21}, runChance)
              << makeTextBox(frmOther, "txtBaseHappiness", {96, 92, 49, 21}, happiness);
    // The caption lies under the list and shows only while the list is hidden.
    Label21 = makeLabel(frmOther, "Label21", QStringLiteral("Read Error!"), {56, 130, 89, 21});
    cmbColour = makeList(frmOther, "cmbColour", {56, 130, 89, 21}, captionOf(Field::Colour));
    m_editing << cmbColour;

    frmExp = makeFrame(client, "frmExp", QStringLiteral("Experience Data"), {336, 336, 153, 89});
    QLabel* baseXP = makeCaption(frmExp, "Label8", captionOf(Field::BaseXP), {8, 28, 65, 17});
    QLabel* maxExp = makeCaption(frmExp, "Label17", captionOf(Field::MaxExp), {8, 60, 53, 17});
    m_editing << baseXP << maxExp << makeTextBox(frmExp, "txtBaseXP", {96, 26, 49, 21}, baseXP)
              << makeList(frmExp, "cmbMaxExp", {64, 58, 81, 21}, captionOf(Field::MaxExp));
    m_editing << frmOther << frmExp;
}

void Form1Ui::buildListFrames(QWidget* client) {
    frameGender =
        makeFrame(client, "frameGender", QStringLiteral("Gender Ratio"), {504, 144, 145, 57});
    Label20 = makeLabel(frameGender, "Label20", QStringLiteral("No Gender - No Editing!"),
                        {8, 24, 129, 21});
    cmbGender =
        makeList(frameGender, "cmbGender", {8, 24, 129, 21}, captionOf(species::Field::Gender));

    frameBreeding =
        makeFrame(client, "frameBreeding", QStringLiteral("Breeding"), {504, 216, 145, 201});
    struct Pair {
        const char* label;
        species::Field field;
        int y;
    };
    static constexpr Pair kBreeding[] = {
        {"Label10", species::Field::EggType1, 20},
        {"Label11", species::Field::EggType2, 80},
        {"Label12", species::Field::Hatch, 140},
    };
    for (const Pair& pair : kBreeding) {
        const species::FieldDescriptor& field = species::descriptor(pair.field);
        QLabel* caption =
            makeCaption(frameBreeding, pair.label, captionOf(field), {8, pair.y, 129, 17});
        QComboBox* list = makeList(frameBreeding, field.control.data(), {8, pair.y + 18, 129, 21},
                                   captionOf(field));
        caption->setBuddy(list);
        m_editing << caption << list;
    }

    frameItems =
        makeFrame(client, "frameItems", QStringLiteral("Wild Hold Items"), {504, 432, 145, 89});
    m_editing << makeList(frameItems, "cmbItem1", {8, 24, 129, 21},
                          QStringLiteral("Wild Hold Item 1"))
              << makeList(frameItems, "cmbItem2", {8, 56, 129, 21},
                          QStringLiteral("Wild Hold Item 2"));
    m_editing << cmbGender << frameGender << frameBreeding << frameItems;
}

void Form1Ui::buildInformationFrames(QWidget* client) {
    frameLoaded =
        makeFrame(client, "frameLoaded", QStringLiteral("ROM Information"), {8, 536, 441, 41});
    Label15 = makeCaption(frameLoaded, "Label15", QStringLiteral("Game Name:"), {8, 17, 66, 17});
    header = makeLabel(frameLoaded, "header", QString(), {78, 17, 104, 17});
    label14 = makeCaption(frameLoaded, "label14", QStringLiteral("Language:"), {188, 17, 52, 17});
    language = makeLabel(frameLoaded, "language", QString(), {244, 17, 62, 17});
    Label13 = makeCaption(frameLoaded, "Label13", QStringLiteral("Game Code:"), {312, 17, 64, 17});
    code = makeLabel(frameLoaded, "code", QString(), {380, 17, 54, 17});

    Frame1 = new QGroupBox(client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(456, 536, 193, 41);
    Label1 = makeLabel(Frame1, "Label1", uitext::noticeLine(), {8, 14, 177, 17});
    Label1->setAlignment(Qt::AlignCenter);
}

void Form1Ui::buildMenus(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    auto addAction = [window](QMenu* menu, const char* name, const QString& caption,
                              const QKeySequence& shortcut = {}) {
        auto* action = new QAction(caption, window);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        menu->addAction(action);
        return action;
    };
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = addAction(mnuFile, "mnuOpen", QStringLiteral("Open ROM..."),
                        QKeySequence(QStringLiteral("Ctrl+O")));
    mnuSave = addAction(mnuFile, "mnuSave", QStringLiteral("Save ROM"),
                        QKeySequence(QStringLiteral("Ctrl+S")));
    mnuSave->setEnabled(false);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnubreak"));
    mnuExit = addAction(mnuFile, "mnuExit", QStringLiteral("Exit"),
                        QKeySequence(QStringLiteral("Ctrl+Q")));

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuNoGender = addAction(mnuHelp, "mnuNoGender", QStringLiteral("No Gender?"));
    mnuReadError = addAction(mnuHelp, "mnuReadError", QStringLiteral("Read Errors?"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnubreak2"));
    mnuAbout = addAction(mnuHelp, "mnuAbout", QStringLiteral("About"));
}

void Form1Ui::setFocusOrder() const {
    static constexpr const char* kOrder[] = {
        "pkmnlst",     "txtHP",        "txtAttack",        "txtDefense", "txtSpeed",
        "txtSpAttack", "txtSpDefense", "cmbType1",         "cmbType2",   "cmbAbility1",
        "cmbAbility2", "cmbEggType1",  "cmbEggType2",      "cmbHatch",   "cmbGender",
        "cmbItem1",    "cmbItem2",     "txtCatchRate",     "cmbColour",  "txtBaseXP",
        "cmbMaxExp",   "txtRunChance", "txtBaseHappiness",
    };
    QWidget* previous = nullptr;
    for (const char* name : kOrder) {
        auto* widget = m_window->findChild<QWidget*>(QLatin1String(name));
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QLineEdit* Form1Ui::textBox(species::Field field) const {
    const species::FieldDescriptor& d = species::descriptor(field);
    return m_window->findChild<QLineEdit*>(QLatin1String(d.control.data(), d.control.size()));
}

QComboBox* Form1Ui::list(species::Field field) const {
    const species::FieldDescriptor& d = species::descriptor(field);
    return m_window->findChild<QComboBox*>(QLatin1String(d.control.data(), d.control.size()));
}

QList<QWidget*> Form1Ui::editingControls() const {
    return m_editing;
}
