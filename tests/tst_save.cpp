// Saving through the real window: validation of the ten boxes, the bytes that land in the
// file (and the ones that never do), and failures that must not be reported as success.
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"
#include "app/MainWindow.h"
#include "species/EntryRules.h"

#include <QFile>
#include <QLabel>
#include <QtTest/QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using Call = FaultInjectingIo::Call;

namespace {

const char* const kTextBoxes[] = {
    "txtHP",        "txtAttack", "txtDefense",   "txtSpeed",         "txtSpAttack",
    "txtSpDefense", "txtBaseXP", "txtCatchRate", "txtBaseHappiness", "txtRunChance"};
const QString kRangeMessage = QStringLiteral("Please enter Base Stat values between 0 and 255.");
const QString kSaved = QStringLiteral("Pokémon Data Saved Successfully!");

} // namespace

class TestSave : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_h = std::make_unique<WindowHarness>();
        m_path = m_h->openNew("ADAE", 3);
    }
    void cleanup() { m_h.reset(); }

    void everyBoxAt255() {
        load(10);
        for (const char* name : kTextBoxes)
            m_h->type(name, "255");
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        const QByteArray record = recordBytes(10);
        for (int offset : {0, 1, 2, 3, 4, 5, 8, 9, 18, 24})
            QCOMPARE(quint8(record[offset]), quint8(0xFF));
    }

    // One message however many boxes fail, and not a byte written, not even the fields that
    // come before the failing box.
    void rejectedBoxesWriteNothing_data() {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("run chance 256") << QStringList{"txtRunChance"} << QStringList{"256"};
        QTest::newRow("minus one") << QStringList{"txtSpeed"} << QStringList{"-1"};
        QTest::newRow("three at once")
            << QStringList{"txtHP", "txtBaseXP", "txtRunChance"} << QStringList{"300", "-5", "999"};
        QTest::newRow("empty") << QStringList{"txtCatchRate"} << QStringList{""};
        QTest::newRow("letters") << QStringList{"txtAttack"} << QStringList{"abc"};
        QTest::newRow("exponent") << QStringList{"txtDefense"} << QStringList{"1e2"};
        QTest::newRow("happiness 256") << QStringList{"txtBaseHappiness"} << QStringList{"256"};
    }
    void rejectedBoxesWriteNothing() {
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, texts);
        load(20);
        m_h->type("txtHP", "1"); // a valid edit that must not be written either
        for (int i = 0; i < boxes.size(); ++i)
            m_h->type(boxes[i].toLatin1(), texts[i]);
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        m_h->io.reset();
        m_h->save();
        expectOnly(kRangeMessage, Prompter::Icon::Warning);
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
        QCOMPARE(m_h->io.count(Call::Open), 0);
        QCOMPARE(m_h->box(boxes[0].toLatin1())->text(), texts[0]); // nothing changed on view
        QVERIFY(m_h->action("mnuSave")->isEnabled());
    }

    void fractionsRoundHalfToEven_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("stored");
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow(".5") << ".5" << 0;
        QTest::newRow("1.5") << "1.5" << 2;
        QTest::newRow("+9") << "+9" << 9;
    }
    void fractionsRoundHalfToEven() {
        QFETCH(QString, text);
        QFETCH(int, stored);
        load(30);
        m_h->type("txtHP", text);
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QCOMPARE(quint8(recordBytes(30)[0]), quint8(stored));
    }

    void itemWordIsWrittenLowByteFirst() {
        load(40);
        m_h->list("cmbItem1")->setCurrentIndex(300);
        m_h->save();
        QCOMPARE(recordBytes(40).mid(12, 2), QByteArray("\x2C\x01", 2));
    }

    // Only the edited bytes change; bytes 10-11 and 26-43, and the neighbouring records,
    // stay as they are, at both ends of the table.
    void writesOnlyTheRecordsEditedBytes_data() {
        QTest::addColumn<int>("position");
        QTest::newRow("first") << 0;
        QTest::newRow("last") << 499;
    }
    void writesOnlyTheRecordsEditedBytes() {
        QFETCH(int, position);
        const qint64 offset = SyntheticRom::recordOffset("ADAE", position);
        const QByteArray before = SyntheticRom::read(m_path, offset - 44, 44 * 3);
        load(position);
        m_h->type("txtHP", "7");
        m_h->list("cmbMaxExp")->setCurrentIndex(5);
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QByteArray expected = before;
        expected[44 + 0] = 7;
        expected[44 + 19] = 5;
        QCOMPARE(SyntheticRom::read(m_path, offset - 44, 44 * 3), expected);
        QCOMPARE(QFileInfo(m_path).size(), SyntheticRom::recordBase("ADAE") + 500 * 44 + 4096);
    }

    // What the save writes for bits the user did not edit is what the file holds when saving:
    // the EV yields and the sprite flag beside the colour.
    void untouchedBytesAreTheFilesOwn() {
        const qint64 record = SyntheticRom::recordOffset("ADAE", 59);
        SyntheticRom::write(m_path, record + 25, "\x01"); // Poliwag: blue, the flag clear
        load(59);
        SyntheticRom::write(m_path, record + 10, "\x42\x43");
        SyntheticRom::write(m_path, record + 25, "\x83"); // the flag set, green, by another tool
        m_h->prompter.answers << "Overwrite";
        m_h->save();
        QCOMPARE(m_h->prompter.questions.size(), 1);
        QCOMPARE(recordBytes(59).mid(10, 2), QByteArray("\x42\x43"));
        QCOMPARE(recordBytes(59)[25], '\x81'); // the colour shown, the file's own flag
    }

    void hiddenListsAreSavedAsLoaded_data() {
        QTest::addColumn<int>("position");
        QTest::newRow("no gender: Magnemite") << 80;
        QTest::newRow("both: Unown") << 200;
        QTest::newRow("sprite flag: Togekiss") << 467;
    }
    void hiddenListsAreSavedAsLoaded() {
        QFETCH(int, position);
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        load(position);
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
    }

    void unlistedValuesAreWrittenBack() {
        const qint64 offset = SyntheticRom::recordOffset("ADAE", 50);
        SyntheticRom::write(m_path, offset + 6, "\x40");      // type 64
        SyntheticRom::write(m_path, offset + 12, "\xD2\x04"); // item 1234
        SyntheticRom::write(m_path, offset + 14, "\xFF\xFF"); // no item
        SyntheticRom::write(m_path, offset + 25, "\x0C");     // colour 12
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        load(50);
        m_h->save();
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
        // Picking an entry replaces the stored value.
        m_h->list("cmbType1")->setCurrentIndex(10);
        m_h->save();
        QCOMPARE(recordBytes(50)[6], '\x0A');
        QCOMPARE(recordBytes(50).mid(12, 4), QByteArray("\xD2\x04\xFF\xFF", 4));
    }

    // One open and one write of the image, and every flush (the journal, its folder, the image,
    // the folder once the journal is gone), all before the confirmation.
    void confirmationFollowsTheFlush() {
        load(60);
        m_h->io.reset();
        int flushesWhenConfirmed = -1;
        m_h->prompter.onMessage = [&](const ScriptedPrompter::Message&) {
            flushesWhenConfirmed = m_h->io.flushes();
        };
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QCOMPARE(flushesWhenConfirmed, 4);
        const std::string image = m_path.toStdString();
        QCOMPARE(m_h->io.opensOf(image), 1);
        QCOMPARE(m_h->io.writesInto(image), (std::vector<FaultInjectingIo::Span>{
                                                {SyntheticRom::recordOffset("ADAE", 60), 26}}));
        QVERIFY(!QFile::exists(m_path + ".statwright-journal"));
        QCOMPARE(m_h->species()->currentRow(), 60);
    }

    void failuresAreNeverReportedAsSaved_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("read-only image") << "readonly" << EACCES;
        QTest::newRow("removed image") << "removed" << ENOENT;
        QTest::newRow("truncated after loading") << "truncated" << ERANGE;
        QTest::newRow("write stops part-way") << "partial" << EIO;
        QTest::newRow("disk full") << "full" << ENOSPC;
        QTest::newRow("flush fails") << "flush" << EIO;
        QTest::newRow("write refused") << "refused" << EACCES;
        QTest::newRow("journal refused: read-only folder") << "journal" << EACCES;
    }
    void failuresAreNeverReportedAsSaved() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        load(70);
        m_h->type("txtHP", "123");
        m_h->list("cmbItem2")->setCurrentIndex(300);
        if (kind == "readonly")
            m_h->io.failCall(Call::OpenForWriting, EACCES, 1);
        else if (kind == "removed")
            QFile::remove(m_path);
        else if (kind == "truncated")
            QFile::resize(m_path, SyntheticRom::recordOffset("ADAE", 70) + 10);
        // The journal is written and flushed first: these fail the image's own write and flush.
        else if (kind == "partial")
            m_h->io.failWritesAfter(13, EIO, m_path.toStdString());
        else if (kind == "full")
            m_h->io.failWritesAfter(0, ENOSPC);
        else if (kind == "refused")
            m_h->io.failCall(Call::Pwrite, EACCES, 2);
        else if (kind == "journal")
            m_h->io.failCall(Call::OpenForWriting, EACCES, 2);
        else
            m_h->io.failCall(Call::Fsync, EIO, 2);
        const QByteArray before =
            QFile::exists(m_path) ? SyntheticRom::fingerprint(m_path, "ADAE") : QByteArray();

        m_h->save();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        // An image cut short before its table has none: a warning in words, no error number.
        QCOMPARE(shown[0].title, kind == "truncated" ? QStringLiteral("Statwright")
                                                     : QStringLiteral("Error: %1").arg(code));
        QVERIFY2(shown[0].text.contains(m_path), qPrintable(shown[0].text));
        if (kind == "removed")
            QVERIFY(!QFile::exists(m_path)); // and no empty file made in its place
        else
            QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"),
                     before); // wholly old, never half new
        QVERIFY(!QFile::exists(m_path + ".statwright-journal"));
        QVERIFY(!m_h->action("mnuUndoSave")->isEnabled());
    }

    void savingTwiceWritesTheSameBytes() {
        load(90);
        m_h->type("txtSpeed", "88");
        m_h->save();
        const QByteArray once = SyntheticRom::fingerprint(m_path, "ADAE");
        m_h->save();
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), once);
        QCOMPARE(m_h->prompter.take().size(), 2);
        QCOMPARE(m_h->box("txtSpeed")->text(), QStringLiteral("88"));
    }

    // A save into Pearl's archive changes exactly the edited byte of the file. If another tool
    // moved the archive since the load, the save follows it; if it removed it, nothing is
    // written.
    void savesWhereTheGameReads_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("in place") << "in place";
        QTest::newRow("moved since the load") << "moved";
        QTest::newRow("gone since the load") << "gone";
    }
    void savesWhereTheGameReads() {
        QFETCH(QString, how);
        const QString path = m_h->roms.createFor("APAE", "pearl.nds");
        SyntheticFileSystem system =
            SyntheticFileSystem::forGame("APAE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        system.writeInto(path);
        m_h->open(path);
        load(7);
        const QString archive = "/poketool/personal_pearl/personal.narc";
        const qint64 loadedFrom = 0x1C15A08 + 0x100000 + 0x1008 + 7 * 44;
        qint64 record = loadedFrom;
        if (how == "moved") {
            system.move(archive, system.offsetOf(archive) + 0x40000);
            record += 0x40000;
        } else if (how == "gone") {
            system.remove(archive);
        }
        system.writeInto(path);
        const QByteArray before = SyntheticRom::read(path, record, 44);
        const QByteArray stale = SyntheticRom::read(path, loadedFrom, 44);
        const char hp = char(quint8(before[0]) ^ 0x55);
        m_h->type("txtHP", QString::number(quint8(hp)));
        m_h->io.reset();
        m_h->save();

        if (how == "gone") {
            const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
            QVERIFY(shown[0].text.endsWith("is not in the image's file system. Nothing was "
                                           "written, and your changes are still on view to "
                                           "save again."));
            QVERIFY(m_h->io.writes().empty());
            // What was typed stays, marked, to be saved once the archive is back.
            QVERIFY(m_h->action("mnuSave")->isEnabled());
            QCOMPARE(m_h->box("txtHP")->text(), QString::number(quint8(hp)));
            QVERIFY(m_h->caption().endsWith('*'));
            return;
        }
        expectOnly(kSaved, Prompter::Icon::Information);
        const std::vector<FaultInjectingIo::Span> only{{record, 26}};
        QCOMPARE(m_h->io.writesInto(path.toStdString()), only);
        QByteArray expected = before;
        expected[0] = hp;
        QCOMPARE(SyntheticRom::read(path, record, 44), expected);
        if (how == "moved")
            QCOMPARE(SyntheticRom::read(path, loadedFrom, 44), stale);
    }

    // The later games' seventh extra form, Rotom (Mow), saved through the window: exactly the
    // edited byte of the image changes, in the archive the game reads.
    void savesAnExtraForm_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("Platinum, English") << QByteArray("CPUE");
        QTest::newRow("HeartGold") << QByteArray("IPKE");
        QTest::newRow("SoulSilver, Spanish") << QByteArray("IPGS");
    }
    void savesAnExtraForm() {
        QFETCH(QByteArray, code);
        const QString path = m_h->roms.create("later.nds", code, 0x200000);
        const SyntheticFileSystem system =
            SyntheticFileSystem::forGame(code, SyntheticFileSystem::Layout::DecoyAtFixedBase);
        system.writeInto(path);
        m_h->open(path);
        load(506);
        QCOMPARE(m_h->species()->currentItem()->text(), QStringLiteral("Rotom (Mow)"));
        QVERIFY(!m_h->list("cmbGender")->isVisible()); // no gender, as Rotom
        const qint64 record = system.recordBaseOf(system.tableArchive) + 506 * 44;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray expected = file.readAll();
        file.close();
        const char speed = char(quint8(expected[record + 3]) ^ 0x33);
        expected[record + 3] = speed;
        m_h->type("txtSpeed", QString::number(quint8(speed)));
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == expected);
    }

    // Another program changes the entry at `position` since the window loaded it: while the
    // window asks, the file is free for it (it takes a lock that a writer would exclude), and
    // Overwrite writes the values shown, Cancel nothing. A change made while the question is
    // open is asked about again.
    void changedOnDiskIsAskedAbout_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("changedWhileAsking");
        QTest::addColumn<bool>("written");
        QTest::newRow("unchanged: no question") << false << QStringList{} << false << true;
        QTest::newRow("changed: cancel") << true << QStringList{"Cancel"} << false << false;
        QTest::newRow("changed: overwrite") << true << QStringList{"Overwrite"} << false << true;
        QTest::newRow("changed again while asking: asked again, overwrite")
            << true << QStringList{"Overwrite", "Overwrite"} << true << true;
        QTest::newRow("changed again while asking: asked again, cancel")
            << true << QStringList{"Overwrite", "Cancel"} << true << false;
    }
    void changedOnDiskIsAskedAbout() {
        QFETCH(bool, changed);
        QFETCH(QStringList, answers);
        QFETCH(bool, changedWhileAsking);
        QFETCH(bool, written);
        const qint64 record = SyntheticRom::recordOffset("ADAE", 40);
        load(40);
        const QByteArray loaded = recordBytes(40);
        m_h->type("txtHP", QString::number(quint8(loaded[0]) ^ 0x0F));
        // The other program: attack and the EV yield's first byte, then defense.
        if (changed)
            SyntheticRom::write(m_path, record + 1, QByteArray("\x21\x22", 1) + "\x05");
        if (changed)
            SyntheticRom::write(m_path, record + 10, "\x02");
        int asked = 0;
        bool lockFree = true;
        m_h->prompter.onQuestion = [&](const Prompter::Question& question) {
            QVERIFY(question.text.startsWith("The data of Zubat in the ROM was changed by "
                                             "another program since it was loaded."));
            const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY);
            lockFree = lockFree && ::flock(fd, LOCK_SH | LOCK_NB) == 0;
            ::close(fd);
            if (changedWhileAsking && ++asked == 1)
                SyntheticRom::write(m_path, record + 2, "\x33");
        };
        m_h->prompter.answers = answers;
        const QByteArray onDisk = recordBytes(40);
        m_h->save();
        m_h->prompter.onQuestion = nullptr;

        QCOMPARE(m_h->prompter.questions.size(), answers.size());
        QVERIFY(m_h->prompter.answers.isEmpty());
        QVERIFY(lockFree);
        const QByteArray now = recordBytes(40);
        if (!written) {
            QVERIFY(m_h->prompter.take().isEmpty());
            QByteArray expected = onDisk;
            if (changedWhileAsking)
                expected[2] = '\x33';
            QCOMPARE(now, expected);
            // The values typed stay, to be saved later.
            QCOMPARE(m_h->box("txtHP")->text(), QString::number(quint8(loaded[0]) ^ 0x0F));
            QVERIFY(!m_h->action("mnuUndoSave")->isEnabled());
            return;
        }
        expectOnly(kSaved, Prompter::Icon::Information);
        QByteArray expected = loaded;
        expected[0] = char(quint8(loaded[0]) ^ 0x0F);
        if (changed)
            expected[10] = '\x02'; // a byte the window's fields do not set keeps the change
        QCOMPARE(now, expected);
    }

    // Undo Save writes back the bytes of before the save, once, if the disk still holds what
    // the save wrote; otherwise it asks first.
    void undoSave_data() {
        QTest::addColumn<bool>("changedSince");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("shown"); // the entry on view when undoing
        QTest::newRow("the entry saved on view") << false << "" << 30;
        QTest::newRow("another entry on view") << false << "" << 31;
        QTest::newRow("changed since: undo anyway") << true << "Undo Save" << 30;
        QTest::newRow("changed since: cancel") << true << "Cancel" << 30;
    }
    void undoSave() {
        QFETCH(bool, changedSince);
        QFETCH(QString, answer);
        QFETCH(int, shown);
        QVERIFY(!m_h->action("mnuUndoSave")->isEnabled());
        load(30);
        const QByteArray before = SyntheticRom::fingerprint(m_path, "ADAE");
        const QString hp = m_h->box("txtHP")->text();
        m_h->type("txtHP", QString::number((hp.toInt() + 1) % 256));
        m_h->save();
        expectOnly(kSaved, Prompter::Icon::Information);
        QVERIFY(m_h->action("mnuUndoSave")->isEnabled());
        if (changedSince)
            SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", 30) + 20, "\x07");
        const QByteArray saved = SyntheticRom::fingerprint(m_path, "ADAE");
        if (shown != 30)
            load(shown);
        const QString shownHp = m_h->box("txtHP")->text();
        if (!answer.isEmpty())
            m_h->prompter.answers << answer;

        m_h->chooseMenu("mnuEdit", "mnuUndoSave");
        QCOMPARE(m_h->prompter.questions.size(), answer.isEmpty() ? 0 : 1);
        if (answer == "Cancel") {
            QVERIFY(m_h->prompter.take().isEmpty());
            QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), saved);
            QVERIFY(m_h->action("mnuUndoSave")->isEnabled());
            return;
        }
        expectOnly(
            QStringLiteral("Undo Save: Nidoqueen has its values from before the save again."),
            Prompter::Icon::Information);
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
        QCOMPARE(m_h->box("txtHP")->text(), shown == 30 ? hp : shownHp);
        // One level: a second undo has nothing to take back.
        QVERIFY(!m_h->action("mnuUndoSave")->isEnabled());
        m_h->chooseMenu("mnuEdit", "mnuUndoSave");
        QVERIFY(m_h->prompter.take().isEmpty());
        QCOMPARE(SyntheticRom::fingerprint(m_path, "ADAE"), before);
    }

    void undoIsForgottenWithTheImage() {
        load(30);
        m_h->save();
        m_h->prompter.take();
        QVERIFY(m_h->action("mnuUndoSave")->isEnabled());
        m_h->openNew("ADAE", 4);
        QVERIFY(!m_h->action("mnuUndoSave")->isEnabled());
    }

private:
    void load(int position) {
        m_h->clickEntry(position);
        m_h->prompter.take(); // the alternate-form notes
        QVERIFY(m_h->action("mnuSave")->isEnabled());
    }
    QByteArray recordBytes(int position) const {
        return SyntheticRom::read(m_path, SyntheticRom::recordOffset("ADAE", position), 44);
    }
    void expectOnly(const QString& text, Prompter::Icon icon) {
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, text);
        QCOMPARE(shown[0].icon, icon);
        QCOMPARE(shown[0].title, QStringLiteral("Statwright"));
    }

    std::unique_ptr<WindowHarness> m_h;
    QString m_path;
};

QTEST_MAIN(TestSave)
#include "tst_save.moc"
