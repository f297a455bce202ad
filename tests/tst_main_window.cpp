// The main window as it starts: every control with its name, kind, caption, place and
// starting state, the menus, the filled lists, the focus order and the spoken names.
#include "ListDigests.h"
#include "WindowHarness.h"
#include "app/Artwork.h"
#include "app/MainWindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>

namespace {

// The control's own enabled flag, whatever its frame's state.
bool ownEnabled(const QWidget* widget) {
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

QString spokenName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { m_harness = std::make_unique<WindowHarness>(); }
    void cleanup() { m_harness.reset(); }

    void window() {
        MainWindow& window = m_harness->window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Statwright"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.centralWidget()->size(), QSize(660, 588));
        QCOMPARE(window.minimumSize(), window.maximumSize()); // fixed size
        QVERIFY(window.imagePath().isEmpty());
        QVERIFY(!window.edition());
        // The caption stays; HeartGold and SoulSilver keep the value for their Safari Zone.
        QVERIFY(m_harness->find<QLabel>("Label18")->toolTip().contains("Safari Zone"));
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        const QString frame = "QGroupBox", label = "QLabel", box = "QLineEdit", list = "QComboBox";
        auto row = [](const char* name, const QString& kind, const QString& caption, bool on) {
            QTest::newRow(name) << QString::fromLatin1(name) << kind << caption << on;
        };
        row("Image1", label, "", true);
        row("framePkmn", frame, "Pokémon", false);
        row("pkmnlst", "QListWidget", "", false);
        row("frameBaseStats", frame, "Base Stats", false);
        const char* stats[][3] = {{"Label2", "HP", "txtHP"},
                                  {"Label3", "Attack", "txtAttack"},
                                  {"Label4", "Defense", "txtDefense"},
                                  {"Label5", "Speed", "txtSpeed"},
                                  {"Label6", "Sp Attack", "txtSpAttack"},
                                  {"Label7", "Sp Defense", "txtSpDefense"},
                                  {"Label9", "Catch Rate", "txtCatchRate"},
                                  {"Label18", "Great Marsh Run Chance", "txtRunChance"},
                                  {"Label19", "Base Happiness", "txtBaseHappiness"},
                                  {"Label8", "Base XP", "txtBaseXP"}};
        for (const auto& stat : stats) {
            row(stat[0], label, stat[1], false);
            row(stat[2], box, "", false);
        }
        row("frameType", frame, "Types", false);
        row("frameAbilities", frame, "Special Abilities", false);
        row("frmOther", frame, "Other Values", false);
        row("Label16", label, "Colour", false);
        row("Label21", label, "Read Error!", true);
        row("frmExp", frame, "Experience Data", false);
        row("Label17", label, "Max Exp.", false);
        row("frameGender", frame, "Gender Ratio", false);
        row("Label20", label, "No Gender - No Editing!", true);
        row("frameBreeding", frame, "Breeding", false);
        row("Label10", label, "Egg Type 1", false);
        row("Label11", label, "Egg Type 2", false);
        row("Label12", label, "Steps to Hatch Egg", false);
        row("frameItems", frame, "Wild Hold Items", false);
        row("frameLoaded", frame, "ROM Information", false);
        row("Label15", label, "Game Name:", false);
        row("header", label, "", true);
        row("label14", label, "Language:", false);
        row("language", label, "", true);
        row("Label13", label, "Game Code:", false);
        row("code", label, "", true);
        row("Frame1", frame, "", true);
        for (const char* name :
             {"cmbType1", "cmbType2", "cmbAbility1", "cmbAbility2", "cmbColour", "cmbMaxExp",
              "cmbGender", "cmbEggType1", "cmbEggType2", "cmbHatch", "cmbItem1", "cmbItem2"})
            row(name, list, "", false);
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        auto* widget = m_harness->window().findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY(widget->inherits(kind.toLatin1()));
        QCOMPARE(ownEnabled(widget), enabled);
        if (auto* label = qobject_cast<QLabel*>(widget); label && name != "Image1")
            QCOMPARE(label->text(), caption);
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            QCOMPARE(frame->title(), caption);
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            QVERIFY(box->text().isEmpty());
            QCOMPARE(box->maxLength(), 3);
            QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        }
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            QCOMPARE(list->currentIndex(), -1);
            QVERIFY(!list->isEditable());
        }
        if (widget->inherits("QLabel") || widget->inherits("QGroupBox") ||
            widget->inherits("QLineEdit") || widget->inherits("QComboBox")) {
            const QFontInfo font(widget->font());
            QVERIFY2(QStringList({"Arial Unicode MS", "Liberation Sans", "Arial", "DejaVu Sans"})
                         .contains(font.family()),
                     qPrintable(font.family()));
            QCOMPARE(widget->font().pointSizeF(), 8.25);
        }
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("Image1") << "Image1" << QRect(0, 0, 660, 139);
        QTest::newRow("framePkmn") << "framePkmn" << QRect(8, 152, 145, 377);
        QTest::newRow("pkmnlst") << "pkmnlst" << QRect(16, 176, 129, 334);
        QTest::newRow("frameBaseStats") << "frameBaseStats" << QRect(168, 144, 153, 169);
        QTest::newRow("frameType") << "frameType" << QRect(168, 336, 153, 89);
        QTest::newRow("frameAbilities") << "frameAbilities" << QRect(168, 448, 321, 73);
        QTest::newRow("frmOther") << "frmOther" << QRect(336, 144, 153, 169);
        QTest::newRow("frmExp") << "frmExp" << QRect(336, 336, 153, 89);
        QTest::newRow("frameGender") << "frameGender" << QRect(504, 144, 145, 57);
        QTest::newRow("frameBreeding") << "frameBreeding" << QRect(504, 216, 145, 201);
        QTest::newRow("frameItems") << "frameItems" << QRect(504, 432, 145, 89);
        QTest::newRow("frameLoaded") << "frameLoaded" << QRect(8, 536, 441, 41);
        QTest::newRow("Frame1") << "Frame1" << QRect(456, 536, 193, 41);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        auto* widget = m_harness->window().findChild<QWidget*>(name);
        QWidget* client = m_harness->window().centralWidget();
        const QRect placed(widget->mapTo(client, QPoint(0, 0)), widget->size());
        QCOMPARE(placed, rect);
    }

    // Every control lies inside its frame, and no two controls of a frame overlap, except
    // the two captions that lie under their lists.
    void controlsInsideFrames() {
        for (auto* frame : m_harness->window().findChildren<QGroupBox*>()) {
            const QList<QWidget*> children =
                frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* child : children) {
                QVERIFY2(QRect(QPoint(0, 0), frame->size()).contains(child->geometry()),
                         qPrintable(child->objectName()));
                for (QWidget* other : children) {
                    const QSet<QString> pair{child->objectName(), other->objectName()};
                    if (child == other || pair == QSet<QString>{"Label20", "cmbGender"} ||
                        pair == QSet<QString>{"Label21", "cmbColour"})
                        continue;
                    QVERIFY2(!child->geometry().intersects(other->geometry()),
                             qPrintable(child->objectName() + " " + other->objectName()));
                }
            }
        }
    }

    void messagesLieUnderTheirLists_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("list");
        QTest::newRow("gender") << "Label20"
                                << "cmbGender";
        QTest::newRow("colour") << "Label21"
                                << "cmbColour";
    }
    void messagesLieUnderTheirLists() {
        QFETCH(QString, label);
        QFETCH(QString, list);
        auto* caption = m_harness->find<QLabel>(label.toLatin1());
        auto* cover = m_harness->find<QComboBox>(list.toLatin1());
        QCOMPARE(caption->geometry(), cover->geometry());
        QVERIFY(cover->isVisible());
        QCOMPARE(caption->parentWidget()->childAt(cover->geometry().center()),
                 static_cast<QWidget*>(cover));
    }

    void frameTitlesAreBlueWhenEnabled() {
        auto* frame = m_harness->find<QGroupBox>("frameBaseStats");
        auto hasBlue = [frame] {
            const QImage title = frame->grab(QRect(0, 0, frame->width(), 14)).toImage();
            for (int y = 0; y < title.height(); ++y)
                for (int x = 0; x < title.width(); ++x) {
                    const QColor c = title.pixelColor(x, y);
                    if (c.blue() > 200 && c.red() < 90 && c.green() < 90)
                        return true;
                }
            return false;
        };
        QVERIFY(!hasBlue());
        frame->setEnabled(true);
        QVERIFY(hasBlue());
    }

    // What each list shows, against the digest of the exact texts of the list it must show.
    void listContents_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("list");
        const std::pair<const char*, const char*> lists[] = {
            {"cmbType1", "types"},         {"cmbType2", "types"},
            {"cmbEggType1", "egg groups"}, {"cmbEggType2", "egg groups"},
            {"cmbColour", "colours"},      {"cmbMaxExp", "growth groups"},
            {"cmbAbility1", "abilities"},  {"cmbAbility2", "abilities"},
            {"cmbItem1", "items"},         {"cmbItem2", "items"},
            {"pkmnlst", "species"},
        };
        for (const auto& [control, list] : lists)
            QTest::newRow(control) << control << list;
    }
    void listContents() {
        QFETCH(QString, control);
        QFETCH(QString, list);
        QStringList shown;
        if (control == "pkmnlst") {
            for (int row = 0; row < m_harness->species()->count(); ++row)
                shown << m_harness->species()->item(row)->text();
        } else {
            shown = entries(m_harness->list(control.toLatin1()));
        }
        const listDigests::Expected expected = listDigests::all().at(list);
        QCOMPARE(shown.size(), expected.count);
        QCOMPARE(listDigests::digest(shown), QByteArray(expected.sha256));
    }

    void hatchAndSpeciesLists() {
        QComboBox* hatch = m_harness->list("cmbHatch");
        QCOMPARE(hatch->count(), 256);
        for (int k = 0; k < 256; ++k)
            QCOMPARE(hatch->itemText(k), QString::number(k * 256));
        QListWidget* species = m_harness->species();
        QCOMPARE(species->count(), 500);
        QCOMPARE(species->item(202)->text(), QStringLiteral("Girafarig "));
        QCOMPARE(species->item(499)->text(), QStringLiteral("Wormadam (Trash)"));
        QVERIFY(species->selectedItems().isEmpty());
    }

    void genderList() {
        QComboBox* gender = m_harness->list("cmbGender");
        QCOMPARE(gender->count(), 256);
        QCOMPARE(gender->itemText(0), QStringLiteral("100% M 0% F "));
        QCOMPARE(gender->itemText(1), QStringLiteral("99.60% M 0.393% F "));
        QCOMPARE(gender->itemText(127), QStringLiteral("50% M 50% F "));
        QCOMPARE(gender->itemText(191), QStringLiteral("24.80% M 75.19% F "));
        QCOMPARE(gender->itemText(255), QStringLiteral("None"));
        QCOMPARE(gender->currentIndex(), -1);
    }

    // The percentages take the decimal point of the user's locale.
    void genderListInAGermanLocale() {
        m_harness.reset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m_harness = std::make_unique<WindowHarness>();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(m_harness->list("cmbGender")->itemText(1), QStringLiteral("99,60% M 0,393% F "));
        QCOMPARE(m_harness->list("cmbGender")->itemText(127), QStringLiteral("50% M 50% F "));
    }

    void menus() {
        QMenuBar* bar = m_harness->window().menuBar();
        const QList<QAction*> top = bar->actions();
        QCOMPARE(top.size(), 4);
        QCOMPARE(top[0]->text(), QStringLiteral("&File"));
        QCOMPARE(top[1]->text(), QStringLiteral("&Edit"));
        QCOMPARE(top[2]->text(), QStringLiteral("&View"));
        QCOMPARE(top[3]->text(), QStringLiteral("&Help"));
        QCOMPARE(top[0]->menu()->objectName(), QStringLiteral("mnuFile"));
        QCOMPARE(top[1]->menu()->objectName(), QStringLiteral("mnuEdit"));
        QCOMPARE(top[2]->menu()->objectName(), QStringLiteral("mnuView"));
        QCOMPARE(top[3]->menu()->objectName(), QStringLiteral("mnuHelp"));

        struct Item {
            const char* name;
            const char* caption;
            const char* shortcut;
            bool enabled;
        };
        auto check = [](QMenu* menu, std::initializer_list<Item> expected) {
            const QList<QAction*> actions = menu->actions();
            QCOMPARE(actions.size(), static_cast<qsizetype>(expected.size()));
            int i = 0;
            for (const Item& item : expected) {
                QAction* action = actions[i++];
                QCOMPARE(action->objectName(), QString::fromLatin1(item.name));
                if (QString(item.caption) == "-") {
                    QVERIFY(action->isSeparator());
                    continue;
                }
                QCOMPARE(action->text(), QString::fromLatin1(item.caption));
                QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
                QCOMPARE(action->isEnabled(), item.enabled);
            }
        };
        check(top[0]->menu(), {{"mnuOpen", "Open ROM...", "Ctrl+O", true},
                               {"mnuSave", "Save ROM", "Ctrl+S", false},
                               {"mnubreak", "-", "", true},
                               {"mnuExit", "Exit", "Ctrl+Q", true}});
        check(top[1]->menu(), {{"mnuUndoSave", "Undo Save", "", false},
                               {"mnubreak3", "-", "", true},
                               {"mnuEvTm", "EV Yield and TM/HM...", "Ctrl+E", false},
                               {"mnuEvolutions", "Evolutions...", "", false},
                               {"mnuMoves", "Moves...", "", false}});
        check(top[2]->menu(), {{"mnuTable", "Table of All Entries", "Ctrl+T", false}});
        check(top[3]->menu(), {{"mnuNoGender", "No Gender?", "", true},
                               {"mnuReadError", "Read Errors?", "", true},
                               {"mnubreak2", "-", "", true},
                               {"mnuAbout", "About", "", true}});
    }

    void saveShortcutDoesNothingBeforeALoad() {
        m_harness->save();
        QVERIFY(m_harness->prompter.messages.isEmpty());
        QCOMPARE(m_harness->io.count(FaultInjectingIo::Call::Open), 0);
    }

    void focusOrder() {
        const QStringList expected = {
            "pkmnlst",     "txtHP",        "txtAttack",       "txtDefense", "txtSpeed",
            "txtSpAttack", "txtSpDefense", "cmbType1",        "cmbType2",   "cmbAbility1",
            "cmbAbility2", "cmbEggType1",  "cmbEggType2",     "cmbHatch",   "cmbGender",
            "cmbItem1",    "cmbItem2",     "txtCatchRate",    "cmbColour",  "txtBaseXP",
            "cmbMaxExp",   "txtRunChance", "txtBaseHappiness"};
        QStringList chain;
        QWidget* start = m_harness->species();
        QWidget* widget = start;
        do {
            if (expected.contains(widget->objectName()))
                chain << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != start && chain.size() < expected.size());
        QCOMPARE(chain, expected);
    }

    void spokenNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        const char* names[][2] = {{"pkmnlst", "Pokémon"},
                                  {"txtHP", "HP"},
                                  {"txtAttack", "Attack"},
                                  {"txtDefense", "Defense"},
                                  {"txtSpeed", "Speed"},
                                  {"txtSpAttack", "Sp Attack"},
                                  {"txtSpDefense", "Sp Defense"},
                                  {"txtCatchRate", "Catch Rate"},
                                  {"txtRunChance", "Great Marsh Run Chance"},
                                  {"txtBaseHappiness", "Base Happiness"},
                                  {"txtBaseXP", "Base XP"},
                                  {"cmbType1", "Type 1"},
                                  {"cmbType2", "Type 2"},
                                  {"cmbAbility1", "Ability 1"},
                                  {"cmbAbility2", "Ability 2"},
                                  {"cmbItem1", "Wild Hold Item 1"},
                                  {"cmbItem2", "Wild Hold Item 2"},
                                  {"cmbGender", "Gender Ratio"},
                                  {"cmbColour", "Colour"},
                                  {"cmbMaxExp", "Max Exp."},
                                  {"cmbEggType1", "Egg Type 1"},
                                  {"cmbEggType2", "Egg Type 2"},
                                  {"cmbHatch", "Steps to Hatch Egg"}};
        for (const auto& row : names)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
    }
    void spokenNames() {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        QCOMPARE(spokenName(m_harness->window().findChild<QWidget*>(name)), spoken);
    }

    // No list builds its popup at start; an accessibility walk builds it, and its list is
    // named after the drop-down list at once.
    void popupListsAreBuiltWhenAskedAndNamed() {
        const QList<QComboBox*> lists = m_harness->window().findChildren<QComboBox*>();
        QCOMPARE(lists.size(), 12);
        for (QComboBox* list : lists)
            QVERIFY2(list->findChildren<QAbstractItemView*>().isEmpty(),
                     qPrintable(list->objectName()));
        for (QComboBox* list : lists) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
            QVERIFY(accessible && accessible->childCount() > 0);
            QAccessibleInterface* popup = accessible->child(0);
            QCOMPARE(popup->role(), QAccessible::List);
            QCOMPARE(popup->text(QAccessible::Name), list->accessibleName());
            QCOMPARE(popup->childCount(), list->count());
        }
    }

    void everyFocusableControlHasASpokenName() {
        for (QWidget* widget : m_harness->window().findChildren<QWidget*>()) {
            if (widget->focusPolicy() == Qt::NoFocus || widget->isWindow() ||
                !widget->isVisibleTo(&m_harness->window()) || widget->objectName().isEmpty())
                continue;
            QVERIFY2(!spokenName(widget).isEmpty(), qPrintable(widget->objectName()));
        }
    }

    void notice() {
        const QString notice = m_harness->find<QLabel>("Label1")->text();
        QVERIFY(notice.contains(QStringLiteral("2026")));
        QVERIFY(notice.contains(QStringLiteral("Statwright developers")));
        QVERIFY(!m_harness->find<QLabel>("Image1")->pixmap().isNull());
    }

    // The pictures rendered at build time: the banner's sky starts dark blue in its top-left
    // corner, at either density, and the icon comes in the sizes windows show.
    void artwork_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1x") << qreal(1);
        QTest::newRow("2x") << qreal(2);
    }
    void artwork() {
        QFETCH(qreal, ratio);
        const QPixmap banner = app::artwork::banner(ratio);
        QCOMPARE(banner.size(), QSize(660, 139) * ratio);
        QCOMPARE(banner.devicePixelRatio(), ratio);
        const QColor corner = banner.toImage().pixelColor(0, 0);
        QVERIFY2(qAbs(corner.red() - 0x10) < 3 && qAbs(corner.green() - 0x2a) < 3 &&
                     qAbs(corner.blue() - 0x5e) < 3,
                 qPrintable(corner.name()));
        QVERIFY(app::artwork::programIcon().availableSizes().contains(QSize(32, 32)));
    }

    void exitClosesAtOnce() {
        m_harness->pressShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
        QVERIFY(!m_harness->window().isVisible());
        QVERIFY(m_harness->prompter.messages.isEmpty());
    }

private:
    std::unique_ptr<WindowHarness> m_harness;
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
