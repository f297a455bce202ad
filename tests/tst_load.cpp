// Loading a species through the real window: where each entry is read, what every control
// shows, the colour and gender rules, the two notes, unlisted values, and one load per action.
#include "EntryTables.h"
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"
#include "app/MainWindow.h"
#include "nds/GameEdition.h"
#include "species/EntryRules.h"

#include <QLabel>
#include <QtTest/QTest>

#include <cerrno>

using Call = FaultInjectingIo::Call;

namespace {

// Whether the user sees `label`, which lies under a list: only while nothing covers it.
bool seen(QLabel* label) {
    return label->isVisible() &&
           label->parentWidget()->childAt(label->geometry().center()) == label;
}

const char* const kTextBoxes[] = {
    "txtHP",        "txtAttack",    "txtDefense", "txtSpeed",         "txtSpAttack",
    "txtSpDefense", "txtCatchRate", "txtBaseXP",  "txtBaseHappiness", "txtRunChance"};
const char* const kLists[] = {"cmbType1",    "cmbType2",    "cmbItem1",    "cmbItem2",
                              "cmbGender",   "cmbHatch",    "cmbMaxExp",   "cmbEggType1",
                              "cmbEggType2", "cmbAbility1", "cmbAbility2", "cmbColour"};

QByteArray exampleRecord() {
    QByteArray record(44, '\0');
    record.replace(0, 10, QByteArray("\x2D\x31\x23\x2D\x41\x41\x0C\x03\x2D\x40", 10));
    record.replace(12, 14,
                   QByteArray("\xC3\x01\xFF\xFF\x1F\x14\x46\x03\x01\x07\x41\x22\x05\x03", 14));
    return record;
}

} // namespace

class TestLoad : public QObject {
    Q_OBJECT

private slots:
    void init() { m_h = std::make_unique<WindowHarness>(); }
    void cleanup() { m_h.reset(); }

    void showsEveryField() {
        const QString path = m_h->openNew("ADAE");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 0), exampleRecord());
        m_h->clickEntry(0);
        const QStringList texts = {"45", "49", "35", "45", "65", "65", "45", "64", "70", "5"};
        for (int i = 0; i < 10; ++i)
            QCOMPARE(m_h->box(kTextBoxes[i])->text(), texts[i]);
        QCOMPARE(m_h->list("cmbType1")->currentText(), QStringLiteral("Grass"));
        QCOMPARE(m_h->list("cmbType2")->currentText(), QStringLiteral("Poison"));
        QCOMPARE(m_h->list("cmbItem1")->currentIndex(), 451);
        QCOMPARE(m_h->list("cmbItem2")->currentIndex(), -1); // FF FF
        QVERIFY(m_h->list("cmbItem2")->placeholderText().isEmpty());
        QCOMPARE(m_h->list("cmbGender")->currentText(), QStringLiteral("87.79% M 12.20% F "));
        QCOMPARE(m_h->list("cmbHatch")->currentText(), QStringLiteral("5120"));
        QCOMPARE(m_h->list("cmbMaxExp")->currentText(), QStringLiteral("1,059,860"));
        QCOMPARE(m_h->list("cmbEggType1")->currentText(), QStringLiteral("Monster"));
        QCOMPARE(m_h->list("cmbEggType2")->currentText(), QStringLiteral("Plant"));
        QCOMPARE(m_h->list("cmbAbility1")->currentText(), QStringLiteral("Overgrow"));
        QCOMPARE(m_h->list("cmbAbility2")->currentText(), QStringLiteral("Chlorophyll"));
        QCOMPARE(m_h->list("cmbColour")->currentText(), QStringLiteral("Green"));
        QCOMPARE(m_h->species()->currentRow(), 0);
        QVERIFY(m_h->find<QLabel>("code")->toolTip().contains("29448712 (0x1C15A08)"));
        QVERIFY(m_h->prompter.messages.isEmpty());
    }

    void enablesTheEditingControls() {
        m_h->openNew("APAE");
        m_h->clickEntry(10);
        for (const char* name : kTextBoxes)
            QVERIFY2(m_h->box(name)->isEnabled(), name);
        for (const char* name : kLists)
            QVERIFY2(m_h->list(name)->isEnabled(), name);
        for (const char* name : {"Label2", "Label8", "Label12", "Label16", "Label19", "frmExp",
                                 "frameItems", "frameBreeding", "frameGender"})
            QVERIFY2(m_h->find<QWidget>(name)->isEnabled(), name);
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        QVERIFY(!seen(m_h->find<QLabel>("Label20")));
        QVERIFY(!seen(m_h->find<QLabel>("Label21")));
    }

    // Every edition, first, second and last entry: the record is found at base + 44 × position.
    void readsAtTheRightOffset_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("position");
        for (const nds::GameEdition& edition : nds::fixedBaseEditions())
            for (int position : {0, 1, 499}) {
                const QByteArray code(edition.code.data(), 4);
                QTest::addRow("%s %d", code.constData(), position) << code << position;
            }
    }
    void readsAtTheRightOffset() {
        QFETCH(QByteArray, code);
        QFETCH(int, position);
        const QString path = m_h->roms.createFor(code);
        const qint64 offset = SyntheticRom::recordOffset(code, position);
        SyntheticRom::write(path, offset - 1, QByteArray("\x63\x2A", 2));  // HP 42
        SyntheticRom::write(path, offset + 43, QByteArray("\x01\x63", 2)); // next record's HP 99
        SyntheticRom::write(path, offset + 24, QByteArray("\x07", 1));     // run chance 7
        m_h->open(path);
        m_h->io.reset();
        m_h->clickEntry(position);
        QCOMPARE(m_h->box("txtHP")->text(), QStringLiteral("42"));
        QCOMPARE(m_h->box("txtRunChance")->text(), QStringLiteral("7"));
        QVERIFY(m_h->find<QLabel>("code")->toolTip().contains(
            QString::number(SyntheticRom::recordBase(code))));
        QCOMPARE(m_h->io.count(Call::Open), 1); // one load, one open
    }

    // The 27 entries that keep the sprite flag in the colour's byte, as retail data has it:
    // their colour is shown and can be changed, and a save keeps the flag.
    void spriteFlagColours_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("colour");
        for (const auto& [position, colour] : entryTables::spriteFlagEntries())
            QTest::addRow("%d", position) << position << colour;
    }
    void spriteFlagColours() {
        QFETCH(int, position);
        QFETCH(int, colour);
        const QString path = m_h->openNew("ADAE");
        const qint64 byte = SyntheticRom::recordOffset("ADAE", position) + 25;
        SyntheticRom::write(path, byte, QByteArray(1, char(0x80 | colour)));
        m_h->clickEntry(position);
        m_h->prompter.take();
        QComboBox* list = m_h->list("cmbColour");
        QCOMPARE(list->currentIndex(), colour);
        QVERIFY(list->isVisible() && list->isEnabled());
        QVERIFY(!seen(m_h->find<QLabel>("Label21")));
        const int other = (colour + 2) % 10;
        list->setCurrentIndex(other);
        m_h->save();
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QCOMPARE(SyntheticRom::read(path, byte, 1), QByteArray(1, char(0x80 | other)));
    }

    void noGenderSpecies_data() {
        QTest::addColumn<int>("position");
        for (int position : entryTables::noGenderSpecies())
            QTest::addRow("%d", position) << position;
    }
    void noGenderSpecies() {
        QFETCH(int, position);
        if (position < 500) {
            const QString path = m_h->openNew("CPUJ");
            SyntheticRom::write(path, SyntheticRom::recordOffset("CPUJ", position) + 16, "\xFF");
        } else { // the extra forms, in a table that has them
            const QString path = m_h->roms.create("forms.nds", "IPKE", 0x200000);
            const SyntheticFileSystem system =
                SyntheticFileSystem::forGame("IPKE", SyntheticFileSystem::Layout::TableAtFixedBase);
            system.writeInto(path);
            SyntheticRom::write(path, system.recordBaseOf(system.tableArchive) + position * 44 + 16,
                                "\xFF");
            m_h->open(path);
        }
        m_h->clickEntry(position);
        QComboBox* gender = m_h->list("cmbGender");
        QCOMPARE(gender->currentText(), QStringLiteral("None"));
        QVERIFY(!gender->isVisible());
        QVERIFY(!gender->isEnabled());
        QVERIFY(seen(m_h->find<QLabel>("Label20")));
    }

    // Nothing of a special entry's handling survives the load of a plain one.
    void plainEntryAfterSpecialOnes() {
        const QString path = m_h->openNew("ADAE");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 62) + 25, "\x06");
        m_h->clickEntry(200); // Unown: no gender
        QVERIFY(!m_h->list("cmbGender")->isVisible());
        m_h->clickEntry(62); // Abra
        QVERIFY(m_h->list("cmbColour")->isVisible());
        QCOMPARE(m_h->list("cmbColour")->currentText(), QStringLiteral("Purple"));
        QVERIFY(m_h->list("cmbGender")->isVisible());
        QVERIFY(m_h->list("cmbGender")->isEnabled());
        QVERIFY(!seen(m_h->find<QLabel>("Label20")));
        QVERIFY(!seen(m_h->find<QLabel>("Label21")));
    }

    void notes_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("note");
        QTest::newRow("Deoxys") << 385
                                << "Please note that Deoxys' alternate formes can be edited below.";
        QTest::newRow("Wormadam")
            << 412 << "Please note that Wormadam's other cloaks can be edited below.";
        QTest::newRow("Deoxys (Attack)") << 495 << "";
        QTest::newRow("Wormadam (Sandy)") << 498 << "";
        QTest::newRow("placeholder") << 493 << "";
        QTest::newRow("Bulbasaur") << 0 << "";
    }
    void notes() {
        QFETCH(int, position);
        QFETCH(QString, note);
        const QString path = m_h->openNew("ADAE");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", position), "\x21");
        QString hpWhenShown;
        m_h->prompter.onMessage = [&](const ScriptedPrompter::Message&) {
            hpWhenShown = m_h->box("txtHP")->text();
        };
        m_h->clickEntry(position);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty()) {
            QCOMPARE(shown[0].text, note);
            QCOMPARE(shown[0].title, QStringLiteral("Statwright"));
            QCOMPARE(shown[0].icon, Prompter::Icon::Information);
            QCOMPARE(hpWhenShown, QStringLiteral("33")); // after all fields are shown
        }
        QCOMPARE(m_h->list("cmbGender")->isVisible(), !species::isNoGenderSpecies(position));
    }

    // A stored value beyond its list shows no selection and says what is stored.
    void unlistedValues_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("placeholder");
        QTest::newRow("type 18") << "cmbType1" << 6 << QByteArray("\x12") << "Value 18";
        QTest::newRow("type 255") << "cmbType2" << 7 << QByteArray("\xFF") << "Value 255";
        QTest::newRow("item 465") << "cmbItem1" << 12 << QByteArray("\xD1\x01") << "Value 465";
        QTest::newRow("item 8000")
            << "cmbItem2" << 14 << QByteArray("\x00\x80", 2) << "Value 32768";
        QTest::newRow("item FFFE") << "cmbItem2" << 14 << QByteArray("\xFE\xFF") << "Value 65534";
        QTest::newRow("growth 6") << "cmbMaxExp" << 19 << QByteArray("\x06") << "Value 6";
        QTest::newRow("egg group 16") << "cmbEggType2" << 21 << QByteArray("\x10") << "Value 16";
        QTest::newRow("ability 124") << "cmbAbility1" << 22 << QByteArray("\x7C") << "Value 124";
        QTest::newRow("colour 11") << "cmbColour" << 25 << QByteArray("\x0B") << "Value 11";
    }
    void unlistedValues() {
        QFETCH(QString, list);
        QFETCH(int, offset);
        QFETCH(QByteArray, stored);
        QFETCH(QString, placeholder);
        const QString path = m_h->openNew("ADAE");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 3) + offset, stored);
        m_h->clickEntry(3);
        QComboBox* shown = m_h->list(list.toLatin1());
        QCOMPARE(shown->currentIndex(), -1);
        QCOMPARE(shown->placeholderText(), placeholder);
        QVERIFY(shown->toolTip().contains(placeholder.mid(6))); // says what saving does with it
        QVERIFY(m_h->prompter.messages.isEmpty());
        m_h->clickEntry(4); // an entry with listed values clears the placeholder
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 5) + offset,
                            QByteArray(stored.size(), '\0'));
        m_h->clickEntry(5);
        QVERIFY(shown->placeholderText().isEmpty());
    }

    // An entry without selection after one with an unlisted value stays without selection.
    void noSelectionAfterAnUnlistedValue() {
        const QString path = m_h->openNew("ADAE");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 8) + 12, "\xD1\x01");
        SyntheticRom::write(path, SyntheticRom::recordOffset("ADAE", 9) + 12, "\xFF\xFF");
        m_h->clickEntry(8);
        QVERIFY(!m_h->list("cmbItem1")->placeholderText().isEmpty());
        m_h->clickEntry(9);
        QCOMPARE(m_h->list("cmbItem1")->currentIndex(), -1);
        QVERIFY(m_h->list("cmbItem1")->placeholderText().isEmpty());
    }

    void oneLoadPerUserAction() {
        m_h->openNew("ADAE");
        QListWidget* list = m_h->species();
        auto loads = [this] {
            const int opens = m_h->io.count(Call::Open);
            m_h->io.reset();
            return opens;
        };
        (void)loads();    // the opening of the image
        list->setFocus(); // focus alone makes a row current, but loads nothing
        QCOMPARE(loads(), 0);
        QVERIFY(!m_h->action("mnuSave")->isEnabled());

        m_h->clickEntry(5);
        QCOMPARE(loads(), 1);
        m_h->clickEntry(5); // the entry already selected
        QCOMPARE(loads(), 1);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(loads(), 1);
        QCOMPARE(m_h->species()->currentRow(), 6);
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(loads(), 1);
        QTest::keyClick(list, Qt::Key_End); // no change, no load
        QCOMPARE(loads(), 0);

        const QPoint centre = list->visualItemRect(list->item(499)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(loads(), 1); // a double click loads once, for its first click

        list->scrollToItem(list->item(384));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(384)).center());
        QCOMPARE(loads(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(384)).center());
        QCOMPARE(list->selectedItems().size(), 1); // Ctrl+click never clears the selection
        QCOMPARE(loads(), 1);

        // A press on one entry, dragged to another: one load, of the entry released on.
        list->scrollToItem(list->item(370));
        QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(370)).center());
        QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(372)).center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                            list->visualItemRect(list->item(372)).center());
        QCOMPARE(list->currentRow(), 372);
        QCOMPARE(loads(), 1);
        QCOMPARE(m_h->species()->currentRow(), 372);

        list->setCurrentRow(384);
        (void)loads();
        QTest::keyClick(list, Qt::Key_Down); // to Deoxys (Normal) by keyboard: one note
        QCOMPARE(loads(), 1);
        QCOMPARE(m_h->prompter.take().size(), 1);
    }

    // A record that cannot be read: one report, nothing stale on view, no save until a load
    // succeeds.
    void failedLoad_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        // An image too short for its table has none: a warning in words, no error number.
        QTest::newRow("truncated") << "truncated"
                                   << "Statwright" << int(Prompter::Icon::Warning);
        QTest::newRow("removed") << "removed" << QString("Error: %1").arg(ENOENT)
                                 << int(Prompter::Icon::None);
        QTest::newRow("read error")
            << "read" << QString("Error: %1").arg(EIO) << int(Prompter::Icon::None);
    }
    void failedLoad() {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(int, icon);
        const QString path = m_h->openNew("ADAE");
        m_h->clickEntry(1);
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        if (kind == "truncated")
            QFile::resize(path, SyntheticRom::recordOffset("ADAE", 2) + 20);
        else if (kind == "removed")
            QFile::rename(path, path + ".moved");
        else
            m_h->io.failCall(Call::Pread, EIO, 1);

        m_h->clickEntry(2);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, title);
        QCOMPARE(shown[0].icon, Prompter::Icon(icon));
        QVERIFY2(shown[0].text.contains(path), qPrintable(shown[0].text));
        QVERIFY(!m_h->action("mnuSave")->isEnabled());
        QVERIFY(m_h->box("txtHP")->text().isEmpty());
        QCOMPARE(m_h->list("cmbType1")->currentIndex(), -1);

        if (kind == "removed")
            QFile::rename(path + ".moved", path);
        else if (kind == "truncated")
            QFile::resize(path, SyntheticRom::recordOffset("ADAE", 500));
        m_h->clickEntry(1);
        QVERIFY(m_h->prompter.messages.isEmpty());
        QVERIFY(m_h->action("mnuSave")->isEnabled());
    }

    // After a failed load nothing of the entry before stays on view, its notes included.
    void noNoteOutlivesAFailedLoad_data() {
        QTest::addColumn<int>("position");
        QTest::newRow("Magnemite") << 80;
        QTest::newRow("Unown") << 200;
    }
    void noNoteOutlivesAFailedLoad() {
        QFETCH(int, position);
        const QString path = m_h->openNew("ADAE");
        m_h->clickEntry(position);
        QVERIFY(seen(m_h->find<QLabel>("Label21")) || seen(m_h->find<QLabel>("Label20")));
        m_h->io.failCall(Call::Pread, EIO, 1);
        m_h->clickEntry(position + 1);
        QCOMPARE(m_h->prompter.take().size(), 1);
        QVERIFY(!seen(m_h->find<QLabel>("Label20")));
        QVERIFY(!seen(m_h->find<QLabel>("Label21")));
        QVERIFY(m_h->list("cmbGender")->isVisible());
        QCOMPARE(m_h->list("cmbGender")->currentIndex(), -1);
        Q_UNUSED(path);
    }

    // The window reads the archive that the game reads, wherever the image's file system puts
    // it: here Pearl's, in an image whose fixed base lies inside another archive.
    void readsTheArchiveTheGameReads() {
        const QString path = m_h->roms.createFor("APAE", "pearl.nds");
        SyntheticFileSystem::forGame("APAE", SyntheticFileSystem::Layout::DecoyAtFixedBase)
            .writeInto(path);
        m_h->open(path);
        m_h->io.reset();
        m_h->clickEntry(3);
        QCOMPARE(m_h->io.count(Call::Open), 1);
        const qint64 base = 0x1C15A08 + 0x100000 + 0x1008; // where forGame puts the archive
        const QByteArray record = SyntheticRom::read(path, base + 3 * 44, 10);
        const int offsets[] = {0, 1, 2, 3, 4, 5, 8, 9};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(m_h->box(kTextBoxes[i])->text(), QString::number(quint8(record[offsets[i]])));
        QVERIFY(m_h->find<QLabel>("code")->toolTip().contains(QString::number(base)));
        QVERIFY(m_h->find<QLabel>("code")->toolTip().contains(
            "/poketool/personal_pearl/personal.narc"));
    }

    // An archive gone since the last load, or a file system damaged since: one warning that
    // names the image and the reason, and nothing of the previous entry left to be saved.
    void tableNotFound_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("archive removed")
            << "removed"
            << "/poketool/personal_pearl/personal.narc is not in the image's file "
               "system";
        QTest::newRow("allocation table of size 0")
            << "header"
            << "its file system is damaged: the header gives the file allocation "
               "table a size of 0";
        QTest::newRow("another file over the records")
            << "overlap"
            << "its file system is damaged: /poketool/personal_pearl/personal.narc "
               "shares bytes";
    }
    void tableNotFound() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const QString path = m_h->roms.createFor("APAE", "pearl.nds");
        SyntheticFileSystem system =
            SyntheticFileSystem::forGame("APAE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        system.writeInto(path);
        m_h->open(path);
        m_h->clickEntry(3);
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        if (damage == "removed")
            system.remove("/poketool/personal_pearl/personal.narc");
        else if (damage == "overlap")
            system.add("/b/victim.bin", QByteArray(0x40, 'v'),
                       system.recordBaseOf(system.tableArchive) + 4 * 44);
        system.writeInto(path);
        if (damage == "header")
            SyntheticRom::write(path, 0x4C, QByteArray(4, '\0'));
        const QByteArray before = SyntheticRom::sha256(path);

        m_h->clickEntry(4);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(shown[0].title, QStringLiteral("Statwright"));
        QVERIFY2(
            shown[0].text.startsWith(
                QStringLiteral("Could not find the base-stat table of Pearl (APAE) in \"%1\": %2")
                    .arg(path, reason)),
            qPrintable(shown[0].text));
        QVERIFY(shown[0].text.endsWith(". Nothing was read or written."));
        QVERIFY(!m_h->action("mnuSave")->isEnabled());
        QVERIFY(m_h->box("txtHP")->text().isEmpty());
        QCOMPARE(m_h->list("cmbType1")->currentIndex(), -1);
        m_h->save();
        QCOMPARE(SyntheticRom::sha256(path), before);
    }

private:
    std::unique_ptr<WindowHarness> m_h;
};

QTEST_MAIN(TestLoad)
#include "tst_load.moc"
