#include "MainWindowUi.h"

#include "Artwork.h"
#include "DropDownList.h"
#include "EntryList.h"
#include "UiText.h"
#include "species/Vocabulary.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringListModel>

#include <map>

namespace app {

namespace {

using species::Field;

// The editing frames, with the place of each in the window's client area.
enum class Frame { BaseStats, Types, Abilities, Other, Experience, Gender, Breeding, Items };
struct FramePlace {
    Frame frame;
    const char* name;
    const char* caption;
    QRect rect;
};
constexpr FramePlace kFrames[] = {
    {Frame::BaseStats, "frameBaseStats", "Base Stats", {168, 144, 153, 169}},
    {Frame::Types, "frameType", "Types", {168, 336, 153, 89}},
    {Frame::Abilities, "frameAbilities", "Special Abilities", {168, 448, 321, 73}},
    {Frame::Other, "frmOther", "Other Values", {336, 144, 153, 169}},
    {Frame::Experience, "frmExp", "Experience Data", {336, 336, 153, 89}},
    {Frame::Gender, "frameGender", "Gender Ratio", {504, 144, 145, 57}},
    {Frame::Breeding, "frameBreeding", "Breeding", {504, 216, 145, 201}},
    {Frame::Items, "frameItems", "Wild Hold Items", {504, 432, 145, 89}},
};

// Where each field's control stands in its frame, and its caption if it has one of its own.
// The field table gives the control's name and the caption's text.
struct FieldPlace {
    Field field;
    Frame frame;
    QRect control;
    const char* caption; // objectName of the caption label, or nullptr
    QRect captionRect;
    const char* spokenName; // what a screen reader calls a list; nullptr: the field's caption
};
// clang-format off
constexpr FieldPlace kFields[] = {
    {Field::HP,            Frame::BaseStats,  {16, 38, 57, 21},   "Label2",  {16, 20, 60, 17},  nullptr},
    {Field::Attack,        Frame::BaseStats,  {80, 38, 57, 21},   "Label3",  {80, 20, 60, 17},  nullptr},
    {Field::Defense,       Frame::BaseStats,  {16, 86, 57, 21},   "Label4",  {16, 68, 60, 17},  nullptr},
    {Field::Speed,         Frame::BaseStats,  {80, 86, 57, 21},   "Label5",  {80, 68, 60, 17},  nullptr},
    {Field::SpAttack,      Frame::BaseStats,  {16, 134, 57, 21},  "Label6",  {16, 116, 60, 17}, nullptr},
    {Field::SpDefense,     Frame::BaseStats,  {80, 134, 57, 21},  "Label7",  {80, 116, 60, 17}, nullptr},
    {Field::Type1,         Frame::Types,      {16, 24, 121, 21},  nullptr,   {},                "Type 1"},
    {Field::Type2,         Frame::Types,      {16, 56, 121, 21},  nullptr,   {},                "Type 2"},
    {Field::Ability1,      Frame::Abilities,  {16, 30, 137, 21},  nullptr,   {},                "Ability 1"},
    {Field::Ability2,      Frame::Abilities,  {168, 30, 137, 21}, nullptr,   {},                "Ability 2"},
    {Field::CatchRate,     Frame::Other,      {96, 22, 49, 21},   "Label9",  {8, 24, 81, 17},   nullptr},
    {Field::RunChance,     Frame::Other,      {96, 56, 49, 21},   "Label18", {8, 52, 81, 30},   nullptr},
    {Field::BaseHappiness, Frame::Other,      {96, 92, 49, 21},   "Label19", {8, 88, 81, 30},   nullptr},
    {Field::Colour,        Frame::Other,      {56, 130, 89, 21},  "Label16", {8, 132, 46, 17},  nullptr},
    {Field::BaseXP,        Frame::Experience, {96, 26, 49, 21},   "Label8",  {8, 28, 65, 17},   nullptr},
    {Field::MaxExp,        Frame::Experience, {64, 58, 81, 21},   "Label17", {8, 60, 53, 17},   nullptr},
    {Field::Gender,        Frame::Gender,     {8, 24, 129, 21},   nullptr,   {},                nullptr},
    {Field::EggType1,      Frame::Breeding,   {8, 38, 129, 21},   "Label10", {8, 20, 129, 17},  nullptr},
    {Field::EggType2,      Frame::Breeding,   {8, 98, 129, 21},   "Label11", {8, 80, 129, 17},  nullptr},
    {Field::Hatch,         Frame::Breeding,   {8, 158, 129, 21},  "Label12", {8, 140, 129, 17}, nullptr},
    {Field::Item1,         Frame::Items,      {8, 24, 129, 21},   nullptr,   {},                "Wild Hold Item 1"},
    {Field::Item2,         Frame::Items,      {8, 56, 129, 21},   nullptr,   {},                "Wild Hold Item 2"},
};
// clang-format on
static_assert(std::size(kFields) == static_cast<std::size_t>(Field::EvHp)); // the main fields

// After the species list, the fields in the order Tab visits them.
constexpr Field kFocusOrder[] = {
    Field::HP,        Field::Attack,        Field::Defense, Field::Speed,    Field::SpAttack,
    Field::SpDefense, Field::Type1,         Field::Type2,   Field::Ability1, Field::Ability2,
    Field::EggType1,  Field::EggType2,      Field::Hatch,   Field::Gender,   Field::Item1,
    Field::Item2,     Field::CatchRate,     Field::Colour,  Field::BaseXP,   Field::MaxExp,
    Field::RunChance, Field::BaseHappiness,
};
static_assert(std::size(kFocusOrder) == std::size(kFields));

QString captionOf(const species::FieldDescriptor& field) {
    return uitext::fromUtf8(field.caption);
}

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

} // namespace

void MainWindowUi::setupUi(QMainWindow* window) {
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

    banner = new QLabel(client);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setGeometry(0, 0, artwork::kBannerWidth, artwork::kBannerHeight);
    banner->setPixmap(artwork::banner(window->devicePixelRatioF()));
    banner->setAccessibleName(QStringLiteral("Statwright"));

    buildSpeciesFrame(client);
    buildFieldFrames(client);
    buildInformationFrames(client);
    buildMenus(window);
    showListsOf(nds::Game::Diamond);
    setFocusOrder();
}

void MainWindowUi::buildSpeciesFrame(QWidget* client) {
    speciesFrame = makeFrame(client, "framePkmn", QStringLiteral("Pokémon"), {8, 152, 145, 377});
    entryList = new EntryList(speciesFrame);
    entryList->setObjectName(QStringLiteral("pkmnlst"));
    entryList->setGeometry(8, 24, 129, 334);
    for (const std::string_view entry : vocabulary::species())
        entryList->addItem(uitext::fromUtf8(entry));
    entryList->setAccessibleName(QStringLiteral("Pokémon"));
    entryList->setUniformItemSizes(true);
    entryList->setEnabled(false);
}

void MainWindowUi::buildFieldFrames(QWidget* client) {
    std::map<Frame, QGroupBox*> frames;
    for (const FramePlace& place : kFrames) {
        frames[place.frame] =
            makeFrame(client, place.name, QString::fromUtf8(place.caption), place.rect);
        m_editing << frames[place.frame];
    }
    // The notes lie under their lists, made first so that the lists cover them.
    readErrorNote = makeLabel(frames[Frame::Other], "Label21", QStringLiteral("Read Error!"),
                              {56, 130, 89, 21});
    noGenderNote = makeLabel(frames[Frame::Gender], "Label20",
                             QStringLiteral("No Gender - No Editing!"), {8, 24, 129, 21});

    for (const FieldPlace& place : kFields) {
        const species::FieldDescriptor& field = species::descriptor(place.field);
        QGroupBox* frame = frames[place.frame];
        QWidget* control = nullptr;
        if (field.isNumber()) {
            auto* box = new QLineEdit(frame);
            box->setMaxLength(3);
            box->setAlignment(Qt::AlignCenter);
            boxes[place.field] = box;
            control = box;
        } else {
            auto* list = new DropDownList(frame);
            list->setAccessibleName(place.spokenName ? QString::fromUtf8(place.spokenName)
                                                     : captionOf(field));
            lists[place.field] = list;
            control = list;
        }
        control->setObjectName(QLatin1String(field.control.data(), field.control.size()));
        control->setGeometry(place.control);
        control->setEnabled(false);
        m_editing << control;
        if (place.caption) {
            QLabel* caption = makeLabel(frame, place.caption, captionOf(field), place.captionRect);
            if (place.field == Field::RunChance)
                caption->setToolTip(QStringLiteral(
                    "In HeartGold and SoulSilver, the run chance in the Safari Zone."));
            caption->setEnabled(false);
            caption->setBuddy(control); // gives a text box its spoken name
            m_editing << caption;
        }
    }
}

void MainWindowUi::buildInformationFrames(QWidget* client) {
    romInformation =
        makeFrame(client, "frameLoaded", QStringLiteral("ROM Information"), {8, 536, 441, 41});
    titleCaption =
        makeLabel(romInformation, "Label15", QStringLiteral("Game Name:"), {8, 17, 66, 17});
    gameTitle = makeLabel(romInformation, "header", QString(), {78, 17, 104, 17});
    languageCaption =
        makeLabel(romInformation, "label14", QStringLiteral("Language:"), {188, 17, 52, 17});
    gameLanguage = makeLabel(romInformation, "language", QString(), {244, 17, 62, 17});
    codeCaption =
        makeLabel(romInformation, "Label13", QStringLiteral("Game Code:"), {312, 17, 64, 17});
    gameCode = makeLabel(romInformation, "code", QString(), {380, 17, 54, 17});
    for (QLabel* caption : {titleCaption, languageCaption, codeCaption})
        caption->setEnabled(false);

    noticeFrame = new QGroupBox(client);
    noticeFrame->setObjectName(QStringLiteral("Frame1"));
    noticeFrame->setGeometry(456, 536, 193, 41);
    notice = makeLabel(noticeFrame, "Label1", uitext::noticeLine(), {8, 14, 177, 17});
    notice->setAlignment(Qt::AlignCenter);
}

void MainWindowUi::buildMenus(QMainWindow* window) {
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
    fileMenu = bar->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    openAction = addAction(fileMenu, "mnuOpen", QStringLiteral("Open ROM..."),
                           QKeySequence(QStringLiteral("Ctrl+O")));
    saveAction = addAction(fileMenu, "mnuSave", QStringLiteral("Save ROM"),
                           QKeySequence(QStringLiteral("Ctrl+S")));
    saveAction->setEnabled(false);
    fileMenu->addSeparator()->setObjectName(QStringLiteral("mnubreak"));
    exitAction = addAction(fileMenu, "mnuExit", QStringLiteral("Exit"),
                           QKeySequence(QStringLiteral("Ctrl+Q")));

    editMenu = bar->addMenu(QStringLiteral("&Edit"));
    editMenu->setObjectName(QStringLiteral("mnuEdit"));
    // No shortcut: Ctrl+Z belongs to the text boxes.
    undoSaveAction = addAction(editMenu, "mnuUndoSave", QStringLiteral("Undo Save"));
    undoSaveAction->setEnabled(false);
    editMenu->addSeparator()->setObjectName(QStringLiteral("mnubreak3"));
    evTmAction = addAction(editMenu, "mnuEvTm", QStringLiteral("EV Yield and TM/HM..."),
                           QKeySequence(QStringLiteral("Ctrl+E")));
    evTmAction->setEnabled(false);
    evolutionsAction = addAction(editMenu, "mnuEvolutions", QStringLiteral("Evolutions..."));
    evolutionsAction->setEnabled(false);
    movesAction = addAction(editMenu, "mnuMoves", QStringLiteral("Moves..."));
    movesAction->setEnabled(false);
    editMenu->setToolTipsVisible(true); // why Evolutions... or Moves... is disabled

    viewMenu = bar->addMenu(QStringLiteral("&View"));
    viewMenu->setObjectName(QStringLiteral("mnuView"));
    tableAction = addAction(viewMenu, "mnuTable", QStringLiteral("Table of All Entries"),
                            QKeySequence(QStringLiteral("Ctrl+T")));
    tableAction->setEnabled(false);

    helpMenu = bar->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("mnuHelp"));
    noGenderAction = addAction(helpMenu, "mnuNoGender", QStringLiteral("No Gender?"));
    readErrorAction = addAction(helpMenu, "mnuReadError", QStringLiteral("Read Errors?"));
    helpMenu->addSeparator()->setObjectName(QStringLiteral("mnubreak2"));
    aboutAction = addAction(helpMenu, "mnuAbout", QStringLiteral("About"));
}

// Each list shows the entries of the list that the field table names for its field, as an
// image of `game` holds them; lists that show the same entries share one model of them. The
// gender ratios are written with the locale's decimal point.
void MainWindowUi::showListsOf(nds::Game game) {
    const QString point = QLocale().decimalPoint();
    for (const species::FieldDescriptor& field : species::fieldsOf(species::Part::Main)) {
        if (field.isNumber())
            continue;
        // Only the items differ between the games.
        const nds::Game owner = field.list == vocabulary::List::Items ? game : nds::Game::Diamond;
        QStringListModel*& model = m_models[{field.list, owner}];
        if (!model) {
            QStringList entries;
            for (int k = 0; k < vocabulary::size(field.list, owner); ++k)
                entries << QString::fromStdString(*vocabulary::text(field.list, k, owner));
            // The percentages of the gender ratios, as the user's locale writes them.
            if (field.list == vocabulary::List::GenderRatios)
                entries.replaceInStrings(QStringLiteral("."), point);
            model = new QStringListModel(entries, m_window);
        }
        if (lists[field.field]->model() == model)
            continue;
        lists[field.field]->setModel(model);
        lists[field.field]->setCurrentIndex(-1);
    }
}

void MainWindowUi::setFocusOrder() const {
    QWidget* previous = entryList;
    for (const Field field : kFocusOrder) {
        QWidget* control = boxes[field] ? static_cast<QWidget*>(boxes[field])
                                        : static_cast<QWidget*>(lists[field]);
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace app
