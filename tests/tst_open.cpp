// "Open ROM...": the dialog it asks for, what a supported, unsupported or unreadable image
// does to the window, and the switch from one image to another.
#include "NotRegularFiles.h"
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"
#include "app/MainWindow.h"
#include "files/Journal.h"
#include "nds/GameEdition.h"

#include <QGroupBox>
#include <QLabel>
#include <QtTest/QTest>

#include <cerrno>
#include <sys/stat.h>

using Call = FaultInjectingIo::Call;

namespace {

const char* const kOpenedControls[] = {"frameLoaded", "framePkmn", "pkmnlst",
                                       "Label13",     "label14",   "Label15"};

bool ownEnabled(const QWidget* widget) {
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

} // namespace

class TestOpen : public QObject {
    Q_OBJECT

private slots:
    void init() { m_h = std::make_unique<WindowHarness>(); }
    void cleanup() { m_h.reset(); }

    // A save that died half way left its journal: opening the image puts the old bytes back
    // and says so once; a journal that is not this image's stops the opening.
    void leftoverJournal_data() {
        QTest::addColumn<bool>("ours");
        QTest::newRow("the image's own: rolled back") << true;
        QTest::newRow("another file's: left alone") << false;
    }
    void leftoverJournal() {
        QFETCH(bool, ours);
        const QString path = m_h->roms.createFor("ADAE");
        SyntheticRom::fillRecords(path, "ADAE", 8);
        const qint64 record = SyntheticRom::recordOffset("ADAE", 392);
        const QByteArray old = SyntheticRom::read(path, record, 2);
        files::FileStatus status;
        QCOMPARE(files::systemIo().status(QFile::encodeName(path).toStdString(), status), 0);
        const files::Bytes after{std::uint8_t(old[0] ^ 1), std::uint8_t(old[1] ^ 1)};
        const files::Bytes journal =
            files::encodeJournal({status.device,
                                  ours ? status.inode : status.inode + 1,
                                  QFileInfo(path).size(),
                                  1796738400,
                                  "Save ROM of Chimchar",
                                  {{record, files::Bytes(old.begin(), old.end()), after}},
                                  "image.nds"});
        QFile file(path + ".statwright-journal");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(journal.data()), qsizetype(journal.size()));
        file.close();
        SyntheticRom::write(path, record, QByteArray(1, char(after[0])));

        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        if (ours) {
            QCOMPARE(shown[0].icon, Prompter::Icon::Information);
            QCOMPARE(shown[0].text, "\"" + path +
                                        "\": the Save ROM of Chimchar begun at 2026-12-08 "
                                        "14:00:00 UTC was interrupted and has been rolled back; "
                                        "the image holds what it held before it.");
            QCOMPARE(SyntheticRom::read(path, record, 2), old);
            QVERIFY(!file.exists());
            QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
        } else {
            QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
            QVERIFY2(shown[0].text.contains("was written for another file") &&
                         shown[0].text.endsWith("Nothing was read or written."),
                     qPrintable(shown[0].text));
            QCOMPARE(SyntheticRom::read(path, record, 1), QByteArray(1, char(after[0])));
            QVERIFY(file.exists());
            QVERIFY(m_h->window().imagePath().isEmpty());
        }
    }

    void supportedImage_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("language");
        QTest::newRow("ADAE") << QByteArray("ADAE") << "Pokémon Diamond"
                              << "English";
        QTest::newRow("APAS") << QByteArray("APAS") << "Pokémon Perla"
                              << "Español";
        QTest::newRow("APAF") << QByteArray("APAF") << "Pokémon Perla"
                              << "Français";
        QTest::newRow("ADAD") << QByteArray("ADAD") << "Pokémon Diamant"
                              << "Deutsch";
        QTest::newRow("CPUJ") << QByteArray("CPUJ") << "Pokémon Platinum"
                              << "Japanese";
    }
    void supportedImage() {
        QFETCH(QByteArray, code);
        QFETCH(QString, title);
        QFETCH(QString, language);
        const QString path = m_h->roms.create("image.nds", code, 64);
        m_h->open(path);

        QCOMPARE(m_h->dialogs.requests.size(), 1);
        const FileDialogRequest& request = m_h->dialogs.requests.front();
        QCOMPARE(request.title,
                 QStringLiteral(
                     "Open Pokémon Diamond, Pearl, Platinum, HeartGold or SoulSilver ROM..."));
        QCOMPARE(request.nameFilters, QStringList{"NDS ROMs (*.nds)"});
        QVERIFY(request.existingFileOnly);
        QCOMPARE(request.owner, &m_h->window());

        QCOMPARE(m_h->find<QLabel>("header")->text(), title);
        QCOMPARE(m_h->find<QLabel>("language")->text(), language);
        QCOMPARE(m_h->find<QLabel>("code")->text(), QString::fromLatin1(code));
        QCOMPARE(m_h->caption(), QString::fromLatin1(code) + " - Statwright");
        QCOMPARE(m_h->window().imagePath(), path);
        QCOMPARE(QString::fromUtf8(m_h->window().edition()->code.data(), 4),
                 QString::fromLatin1(code));
        for (const char* name : kOpenedControls)
            QVERIFY2(m_h->find<QWidget>(name)->isEnabled(), name);
        QVERIFY(!m_h->box("txtHP")->isEnabled());
        QVERIFY(!m_h->action("mnuSave")->isEnabled());
        QVERIFY(m_h->prompter.messages.isEmpty());
    }

    // Every Gen 4 game and region opens where its file system holds its table: the list has
    // the table's entries and the item lists are the game's.
    void everyGameOpens_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("items");
        QTest::newRow("CPUE") << QByteArray("CPUE") << "Pokémon Platinum"
                              << "English" << 507 << 468;
        QTest::newRow("CPUD") << QByteArray("CPUD") << "Pokémon Platin"
                              << "Deutsch" << 507 << 468;
        QTest::newRow("CPUK") << QByteArray("CPUK") << "Pokémon Platinum"
                              << "Korean" << 507 << 468;
        QTest::newRow("IPKE") << QByteArray("IPKE") << "Pokémon HeartGold Version"
                              << "English" << 507 << 537;
        QTest::newRow("IPGJ") << QByteArray("IPGJ") << "Pokémon SoulSilver"
                              << "Japanese" << 507 << 537;
        QTest::newRow("IPGI") << QByteArray("IPGI") << "Pokémon Versione Argento SoulSilver"
                              << "Italiano" << 507 << 537;
        QTest::newRow("APAP") << QByteArray("APAP") << "Pokémon Pearl"
                              << "English" << 500 << 465;
    }
    void everyGameOpens() {
        QFETCH(QByteArray, code);
        QFETCH(QString, title);
        QFETCH(QString, language);
        QFETCH(int, entries);
        QFETCH(int, items);
        // A Platinum image first, so that the list shrinks as well as grows.
        const QString first = m_h->roms.create("first.nds", "CPUF", 0x200000);
        SyntheticFileSystem::forGame("CPUF", SyntheticFileSystem::Layout::TableAtFixedBase)
            .writeInto(first);
        m_h->open(first);
        m_h->clickEntry(506);
        const QString path = m_h->roms.create("image.nds", code, 0x200000);
        SyntheticFileSystem::forGame(code, SyntheticFileSystem::Layout::TableAtFixedBase)
            .writeInto(path);
        m_h->open(path);
        const QList<ScriptedPrompter::Message> messages = m_h->prompter.take();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.value(0).text));
        QCOMPARE(m_h->caption(), QString::fromLatin1(code) + " - Statwright");
        auto* shown = m_h->find<QLabel>("header");
        QCOMPARE(shown->accessibleName(), title);
        QVERIFY(shown->text() == title ||
                (shown->text().endsWith(QChar(0x2026)) && shown->toolTip() == title));
        QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
        QCOMPARE(m_h->find<QLabel>("language")->text(), language);
        QCOMPARE(m_h->species()->count(), entries);
        QCOMPARE(m_h->species()->item(entries - 1)->text(),
                 entries == 507 ? QStringLiteral("Rotom (Mow)")
                                : QStringLiteral("Wormadam (Trash)"));
        // Nothing is on view in the new image, so no entry is highlighted.
        QCOMPARE(m_h->species()->selectedItems().size(), 0);
        QCOMPARE(m_h->list("cmbItem1")->count(), items);
        QCOMPARE(m_h->list("cmbItem2")->count(), items);
        QCOMPARE(m_h->list("cmbItem1")->itemText(112),
                 items == 465 ? QStringLiteral("???") : QStringLiteral("Griseous Orb"));
    }

    // A code known only through an image's file system, in an image without one: one box with
    // the reason, and the image before stays current.
    void codeThatNeedsAFileSystem() {
        const QString previous = m_h->openNew("ADAE");
        const QString path = m_h->roms.create("image.nds", "IPKE", 0x40000);
        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(
            shown[0].text,
            QStringLiteral("Could not find the base-stat table of HeartGold (IPKE) in \"%1\": the "
                           "image has no file system, and IPKE images keep "
                           "the table in no fixed place. Nothing was read or "
                           "written.")
                .arg(path));
        QCOMPARE(m_h->window().imagePath(), previous);
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
    }

    void unsupportedImage_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<qint64>("size");
        QTest::newRow("lower case") << QByteArray("adae") << 64LL;
        QTest::newRow("unknown region letter") << QByteArray("ADAX") << 64LL;
        QTest::newRow("no code") << QByteArray(4, '\0') << 64LL;
        QTest::newRow("shorter than 16 bytes") << QByteArray("ADAE") << 15LL;
        QTest::newRow("empty") << QByteArray() << 0LL;
    }
    void unsupportedImage() {
        QFETCH(QByteArray, code);
        QFETCH(qint64, size);
        const QString path = m_h->roms.create("image.nds", code, size);
        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("Unsupported ROM"));
        QCOMPARE(shown[0].title, QStringLiteral("Statwright"));
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(m_h->caption(), QStringLiteral("Statwright"));
        QVERIFY(m_h->window().imagePath().isEmpty());
        for (const char* name : kOpenedControls)
            QVERIFY2(!ownEnabled(m_h->find<QWidget>(name)), name);

        // A supported image afterwards opens as from a fresh start.
        m_h->open(m_h->roms.create("good.nds", "ADAE", 64));
        QVERIFY(m_h->species()->isEnabled());
    }

    void codeElsewhereIsUnsupported() {
        const QString path = m_h->roms.create("image.nds", QByteArray(4, '\0'), 64);
        SyntheticRom::write(path, 0, "ADAE");
        m_h->open(path);
        QCOMPARE(m_h->prompter.take().value(0).text, QStringLiteral("Unsupported ROM"));
    }

    // The image opened before stays current, so no species command reaches the rejected file.
    void unsupportedAfterSupportedKeepsTheImage() {
        const QString good = m_h->openNew("ADAE");
        m_h->clickEntry(3);
        const QString shownHP = m_h->box("txtHP")->text();
        m_h->open(m_h->roms.create("bad.nds", "XXXX", 64));
        QCOMPARE(m_h->prompter.take().value(0).text, QStringLiteral("Unsupported ROM"));
        QCOMPARE(m_h->window().imagePath(), good);
        QCOMPARE(m_h->window().edition()->code, std::string_view("ADAE"));
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
        QCOMPARE(m_h->find<QLabel>("code")->text(), QStringLiteral("ADAE"));
        QCOMPARE(m_h->box("txtHP")->text(), shownHP);
        QVERIFY(m_h->action("mnuSave")->isEnabled());
    }

    // A supported image is made writable for the saves to come; any other file chosen keeps
    // its mode.
    void onlyASupportedImageIsMadeWritable_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<unsigned>("mode");
        QTest::newRow("supported") << QByteArray("ADAE") << 64LL << 0644u;
        QTest::newRow("unsupported") << QByteArray("ADAX") << 64LL << 0444u;
        QTest::newRow("without the file system its code needs")
            << QByteArray("CPUE") << 64LL << 0444u;
        QTest::newRow("too short") << QByteArray("ADAE") << 15LL << 0444u;
    }
    void onlyASupportedImageIsMadeWritable() {
        QFETCH(QByteArray, code);
        QFETCH(qint64, size);
        QFETCH(unsigned, mode);
        const QString path = m_h->roms.create("image.nds", code, size);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        m_h->open(path);
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
        QCOMPARE(unsigned(info.st_mode & 07777), mode);
    }

    void cancelChangesNothing() {
        m_h->dialogs.cancel();
        m_h->pressShortcut(QKeySequence("Ctrl+O"));
        QCOMPARE(m_h->dialogs.requests.size(), 1);
        QVERIFY(m_h->window().imagePath().isEmpty());
        QVERIFY(!m_h->species()->isEnabled());

        const QString path = m_h->openNew("APAJ");
        m_h->clickEntry(7);
        const QString shown = m_h->box("txtAttack")->text();
        m_h->io.reset();
        m_h->dialogs.cancel();
        m_h->pressShortcut(QKeySequence("Ctrl+O"));
        QCOMPARE(m_h->io.count(Call::Open), 0);
        QCOMPARE(m_h->window().imagePath(), path);
        QCOMPARE(m_h->box("txtAttack")->text(), shown);
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        QVERIFY(m_h->prompter.messages.isEmpty());
    }

    // A file that cannot be examined, opened or read: a box that names it and the reason,
    // and the window as it was.
    void unreadableFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("vanished") << "vanished" << ENOENT;
        QTest::newRow("cannot open") << "open" << EACCES;
        QTest::newRow("cannot read") << "read" << EIO;
    }
    void unreadableFile() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        const QString previous = m_h->openNew("ADAE");
        QString path = m_h->roms.create("other.nds", "CPUJ", 64);
        if (kind == "vanished")
            QFile::remove(path);
        else if (kind == "open")
            m_h->io.failCall(Call::Open, EACCES, 1);
        else
            m_h->io.failCall(Call::Pread, EIO, 1);
        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Error: %1").arg(code));
        QVERIFY2(shown[0].text.contains(path), qPrintable(shown[0].text));
        QVERIFY2(shown[0].text.contains(QString::fromLocal8Bit(std::strerror(code))),
                 qPrintable(shown[0].text));
        QCOMPARE(m_h->window().imagePath(), previous);
        QCOMPARE(m_h->caption(), QStringLiteral("ADAE - Statwright"));
    }

    // A file name may begin or end with a space: each of these three is another image.
    void namesWithSpaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("plain") << "t.nds" << QByteArray("ADAE");
        QTest::newRow("trailing space") << "t.nds " << QByteArray("APAE");
        QTest::newRow("leading space") << " t.nds" << QByteArray("CPUJ");
    }
    void namesWithSpaces() {
        QFETCH(QString, name);
        QFETCH(QByteArray, code);
        for (const char* other : {"t.nds", "t.nds ", " t.nds"})
            if (name != QLatin1String(other))
                m_h->roms.create(QLatin1String(other), "ADAS", 64);
        const QString path = m_h->roms.create(name, code, 64);
        m_h->open(path);
        QCOMPARE(m_h->caption(), QString::fromLatin1(code) + " - Statwright");
        QCOMPARE(m_h->window().imagePath(), path);
    }

    // A FIFO, a folder or a device chosen in the dialog: one warning that says what it is,
    // the previous image stays current, and nothing waits for a FIFO's writer.
    void notRegularFiles_data() { notRegular::addRows(); }
    void notRegularFiles() {
        QFETCH(QString, path);
        QFETCH(QString, kind);
        const QString previous = m_h->openNew("ADAE");
        path = notRegular::make(path, m_h->roms.folder());
        m_h->io.reset();
        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(shown[0].text, QStringLiteral("\"%1\" is not a regular file (it is %2). Nothing "
                                               "was read or written.")
                                    .arg(path, kind));
        QCOMPARE(m_h->io.count(Call::Open) + m_h->io.count(Call::Chmod), 0);
        QCOMPARE(m_h->window().imagePath(), previous);
        m_h->clickEntry(3); // the previous image still loads
        QVERIFY(m_h->action("mnuSave")->isEnabled());
    }

    // An image whose permissions cannot be changed (read-only media, an immutable file, another
    // user's file) opens with one warning, loads, and a save reports the system's reason.
    void imageThatCannotBeMadeWritable_data() {
        QTest::addColumn<bool>("readOnlyMode");
        QTest::addColumn<int>("error");
        QTest::newRow("its mode cannot be changed") << true << EPERM;
        QTest::newRow("read-only media") << false << EROFS;
    }
    void imageThatCannotBeMadeWritable() {
        QFETCH(bool, readOnlyMode);
        QFETCH(int, error);
        const QString path = m_h->roms.createFor("APAE");
        if (readOnlyMode) {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
            m_h->io.failCall(Call::Chmod, error, 1);
        } else {
            m_h->io.failCall(Call::CheckWritable, error, 1);
        }
        m_h->open(path);
        QCOMPARE(m_h->caption(), QStringLiteral("APAE - Statwright"));
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(shown[0].text, QStringLiteral("Could not make writable \"%1\": %2. The image is "
                                               "open for viewing, but saving into it will fail.")
                                    .arg(path, QString::fromLocal8Bit(std::strerror(error))));
        m_h->clickEntry(7);
        QVERIFY(m_h->prompter.take().isEmpty());
        m_h->io.failCall(Call::OpenForWriting, EPERM, 1); // root writes past permission bits
        m_h->save();
        const QList<ScriptedPrompter::Message> refused = m_h->prompter.take();
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused[0].title, QStringLiteral("Error: %1").arg(EPERM));
        QVERIFY(refused[0].text.contains("Operation not permitted"));
    }

    // An image of several names opens with one warning, and a save into it is refused.
    void imageOfSeveralNames() {
        const QString path = m_h->roms.createFor("APAE");
        const QString second = m_h->roms.folder() + "/second.nds";
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()),
                 0);
        m_h->open(path);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].icon, Prompter::Icon::Warning);
        QVERIFY2(shown[0].text.startsWith("This ROM file has 2 names (hard links)."),
                 qPrintable(shown[0].text));
        m_h->clickEntry(7);
        QVERIFY(m_h->prompter.take().isEmpty());
        const QByteArray before = SyntheticRom::sha256(path);
        m_h->type("txtHP", "12");
        m_h->save();
        const QList<ScriptedPrompter::Message> refused = m_h->prompter.take();
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused[0].text.contains("it has 2 names (hard links)"),
                 qPrintable(refused[0].text));
        QCOMPARE(SyntheticRom::sha256(path), before);
    }

    // Values shown from one image are never saved into the next one.
    void switchingImagesWaitsForALoadBeforeSaving() {
        const QString first = m_h->openNew("ADAE", 11);
        m_h->clickEntry(25);
        QVERIFY(!m_h->box("txtHP")->text().isEmpty());
        QVERIFY(m_h->action("mnuSave")->isEnabled());

        const QString second = m_h->openNew("CPUJ", 22);
        QCOMPARE(m_h->caption(), QStringLiteral("CPUJ - Statwright"));
        QCOMPARE(m_h->find<QLabel>("header")->text(), QStringLiteral("Pokémon Platinum"));
        QCOMPARE(m_h->find<QLabel>("language")->text(), QStringLiteral("Japanese"));
        // Nothing of the first image stays on view, and nothing can be typed until a load.
        QCOMPARE(m_h->box("txtHP")->text(), QString());
        QVERIFY(!m_h->box("txtHP")->isEnabled());
        QVERIFY(!m_h->find<QGroupBox>("frameBaseStats")->isEnabled());
        QCOMPARE(m_h->list("cmbType1")->currentIndex(), -1);
        QVERIFY(!m_h->action("mnuSave")->isEnabled());
        const QByteArray before = SyntheticRom::fingerprint(second, "CPUJ");
        m_h->save();
        QVERIFY(m_h->prompter.messages.isEmpty());
        QCOMPARE(SyntheticRom::fingerprint(second, "CPUJ"), before);

        m_h->clickEntry(25);
        const QByteArray hp = SyntheticRom::read(second, SyntheticRom::recordOffset("CPUJ", 25), 1);
        QCOMPARE(m_h->box("txtHP")->text(), QString::number(quint8(hp[0])));
        QVERIFY(m_h->find<QLabel>("code")->toolTip().contains("58670088 (0x37F3C08)"));
        QVERIFY(m_h->action("mnuSave")->isEnabled());
        Q_UNUSED(first);
    }

private:
    std::unique_ptr<WindowHarness> m_h;
};

QTEST_MAIN(TestOpen)
#include "tst_open.moc"
