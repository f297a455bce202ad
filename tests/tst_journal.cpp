// Writes that survive a crash: the journal's format, what recovery makes of every leftover, a
// save and an import stopped after each of their system calls in turn, and the file lock.
#include "CliRun.h"
#include "FaultInjectingIo.h"
#include "GameEdition.h"
#include "Journal.h"
#include "LocalName.h"
#include "LockedFile.h"
#include "RecordStore.h"
#include "SyntheticRom.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using Call = FaultInjectingIo::Call;
using files::Bytes;

namespace {

Bytes bytesOf(const QByteArray& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

QString journalOf(const QString& image) {
    return image + ".statwright-journal";
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A 4 KiB file of known bytes, and a journal of two spans for it: 16 bytes at 100 and
    // 40 at 2000, whose new bytes are the old ones inverted.
    QString m_image;
    QByteArray m_old;
    QByteArray m_new;
    files::JournalContent m_content;

    void makeImage() {
        m_image = m_dir.filePath("image.bin");
        QFile::remove(m_image);
        QFile::remove(journalOf(m_image));
        m_old.resize(4096);
        for (int i = 0; i < m_old.size(); ++i)
            m_old[i] = char(i * 7 + 3);
        writeFile(m_image, m_old);
        m_new = m_old;
        m_content = {};
        for (const auto& [offset, count] : {std::pair{100, 16}, std::pair{2000, 40}}) {
            files::Rewrite span{offset, {}, {}};
            for (int i = offset; i < offset + count; ++i) {
                m_new[i] = char(~m_old[i]);
                span.before.push_back(std::uint8_t(m_old[i]));
                span.after.push_back(std::uint8_t(m_new[i]));
            }
            m_content.spans.push_back(span);
        }
        files::FileStatus status;
        QCOMPARE(files::systemIo().status(local(m_image), status), 0);
        m_content.device = status.device;
        m_content.inode = status.inode;
        m_content.size = m_old.size();
        m_content.started = 1796738400; // 2026-12-08 14:00:00 UTC
        m_content.label = "Save ROM of Garchomp";
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A journal cut anywhere is torn, and one with any byte changed is torn or foreign: never
    // taken for whole, so recovery never acts on bytes that were not written as they stand.
    void damagedJournalsAreNeverTakenForWhole() {
        makeImage();
        const Bytes whole = files::encodeJournal(m_content);
        QCOMPARE(files::decodeJournal(whole).state, files::DecodedJournal::State::Whole);
        const files::JournalContent back = files::decodeJournal(whole).content;
        QCOMPARE(back.label, m_content.label);
        QCOMPARE(back.spans.size(), m_content.spans.size());
        QVERIFY(back.spans[1].offset == 2000 && back.spans[1].after == m_content.spans[1].after);
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const auto state = files::decodeJournal(std::span(whole).first(length)).state;
            QVERIFY2(state == files::DecodedJournal::State::Torn,
                     qPrintable(QString::number(length)));
        }
        for (std::size_t at = 0; at < whole.size(); ++at) {
            Bytes changed = whole;
            changed[at] ^= 0x20;
            QVERIFY(files::decodeJournal(changed).state != files::DecodedJournal::State::Whole);
        }
        Bytes longer = whole;
        longer.push_back(0);
        QCOMPARE(files::decodeJournal(longer).state, files::DecodedJournal::State::Foreign);
        const QByteArray text("position,species,hp\n");
        QCOMPARE(files::decodeJournal(bytesOf(text)).state, files::DecodedJournal::State::Foreign);
    }

    // What recovery makes of each leftover: the image it leaves (old, new, or as it was), and
    // whether the journal goes.
    void recovery_data() {
        QTest::addColumn<QString>("image");   // what the spans hold: old, new, first, torn, other
        QTest::addColumn<QString>("journal"); // whole, cut, none, otherFile, resized, garbage
        QTest::addColumn<QString>("found");   // none, torn, completed, rolledBack, leftAlone
        QTest::addColumn<QString>("after");   // old, new, unchanged

        QTest::newRow("no journal") << "new"
                                    << "none"
                                    << "none"
                                    << "unchanged";
        QTest::newRow("torn journal: the image never touched") << "old"
                                                               << "cut"
                                                               << "torn"
                                                               << "unchanged";
        QTest::newRow("every span new: only the removal was lost") << "new"
                                                                   << "whole"
                                                                   << "completed"
                                                                   << "new";
        QTest::newRow("first span new, second old") << "first"
                                                    << "whole"
                                                    << "rolledBack"
                                                    << "old";
        QTest::newRow("a span half written") << "torn"
                                             << "whole"
                                             << "rolledBack"
                                             << "old";
        QTest::newRow("nothing written yet") << "old"
                                             << "whole"
                                             << "rolledBack"
                                             << "old";
        QTest::newRow("journal of another file with the same name") << "first"
                                                                    << "otherFile"
                                                                    << "leftAlone"
                                                                    << "unchanged";
        QTest::newRow("the image's length changed since") << "first"
                                                          << "resized"
                                                          << "leftAlone"
                                                          << "unchanged";
        QTest::newRow("bytes neither old nor new") << "other"
                                                   << "whole"
                                                   << "leftAlone"
                                                   << "unchanged";
        QTest::newRow("not a journal at all") << "first"
                                              << "garbage"
                                              << "leftAlone"
                                              << "unchanged";
    }
    void recovery() {
        QFETCH(QString, image);
        QFETCH(QString, journal);
        QFETCH(QString, found);
        QFETCH(QString, after);
        makeImage();
        QByteArray start = m_old;
        if (image == "new")
            start = m_new;
        else if (image == "first")
            start.replace(100, 16, m_new.mid(100, 16));
        else if (image == "torn")
            start.replace(2000, 20, m_new.mid(2000, 20));
        else if (image == "other")
            start[2010] = char(m_old[2010] ^ 0x01);
        writeFile(m_image, start);

        files::JournalContent content = m_content;
        if (journal == "otherFile")
            content.inode += 1;
        if (journal == "resized")
            content.size += 512;
        Bytes bytes = files::encodeJournal(content);
        if (journal == "cut")
            bytes.resize(bytes.size() - 30);
        if (journal == "garbage")
            bytes = bytesOf("not a journal");
        if (journal != "none")
            writeFile(journalOf(m_image), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                     qsizetype(bytes.size())));

        files::Result<files::LockedFile> opened =
            files::openLocked(files::systemIo(), local(m_image), files::Access::Write);
        if (found == "leftAlone") {
            QVERIFY(!opened.ok());
            QCOMPARE(opened.error().kind, files::Error::Kind::BadContent);
            const QString said = QString::fromStdString(opened.error().describe());
            QVERIFY2(said.contains(journalOf(m_image)) && said.contains("nothing was written"),
                     qPrintable(said));
            QVERIFY(QFile::exists(journalOf(m_image)));
        } else {
            QVERIFY(opened.ok());
            const std::optional<files::Recovery>& recovery = opened.value().notes.recovery;
            QCOMPARE(recovery.has_value(), found != "none");
            if (recovery) {
                const files::Recovery::Found kinds[] = {files::Recovery::Found::Torn,
                                                        files::Recovery::Found::Completed,
                                                        files::Recovery::Found::RolledBack};
                const QStringList names = {"torn", "completed", "rolledBack"};
                QCOMPARE(recovery->found, kinds[names.indexOf(found)]);
                const QString said = QString::fromStdString(recovery->describe());
                if (found != "torn")
                    QVERIFY2(said.contains("Save ROM of Garchomp begun at 2026-12-08 14:00:00 UTC"),
                             qPrintable(said));
                if (found == "rolledBack")
                    QVERIFY(said.contains("rolled back"));
            }
            QVERIFY(!QFile::exists(journalOf(m_image)));
        }
        const QByteArray expected = after == "old" ? m_old : after == "new" ? m_new : start;
        QCOMPARE(readFile(m_image), expected);
    }

    // Reading commands recover too, before they read, and say so; check reports it as well.
    void readersRecoverAndSaySo_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("export") << "export";
        QTest::newRow("check") << "check";
        QTest::newRow("identify") << "identify";
    }
    void readersRecoverAndSaySo() {
        QFETCH(QString, command);
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        SyntheticRom::fillRecords(image, "ADAE", 5);
        // An import of hp and attack, stopped after its write of hp.
        const qint64 hp = SyntheticRom::recordOffset("ADAE", 7);
        const QByteArray old = SyntheticRom::read(image, hp, 2);
        const Bytes changed{std::uint8_t(old[0] ^ 0xFF), std::uint8_t(old[1] ^ 0xFF)};
        files::FileStatus status;
        QCOMPARE(files::systemIo().status(local(image), status), 0);
        const files::JournalContent content{status.device,           status.inode,
                                            QFileInfo(image).size(), 1796738400,
                                            "import of \"t.csv\"",   {{hp, bytesOf(old), changed}}};
        const Bytes journal = files::encodeJournal(content);
        writeFile(journalOf(image), QByteArray(reinterpret_cast<const char*>(journal.data()),
                                               qsizetype(journal.size())));
        SyntheticRom::write(image, hp, QByteArray(1, char(changed[0])));

        const CliOutcome result = runCli({command, image});
        QCOMPARE(result.status, 0);
        const QString said = "\"" + image +
                             "\": the import of \"t.csv\" begun at 2026-12-08 14:00:00 UTC was "
                             "interrupted and has been rolled back; the image holds what it held "
                             "before it.";
        QCOMPARE(result.err, "statwright-cli: " + said + "\n");
        QCOMPARE(result.out.contains("journal: " + said), command == "check");
        QCOMPARE(SyntheticRom::read(image, hp, 2), old);
        QVERIFY(!QFile::exists(journalOf(image)));
    }

    // The save, or the import, stops for good after its first, second, third... system call;
    // a fresh opening then recovers. The table is always the old one or the new one, whole,
    // and no journal is left.
    void crashAtEveryStep_data() {
        QTest::addColumn<QString>("operation");
        QTest::newRow("import of four runs of entries") << "import";
        QTest::newRow("save of one entry") << "save";
    }
    void crashAtEveryStep() {
        QFETCH(QString, operation);
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        SyntheticRom::fillRecords(image, "ADAE", 11);
        const qint64 base = SyntheticRom::recordBase("ADAE");
        const QByteArray oldTable = SyntheticRom::read(image, base, 500 * 44);
        const nds::GameEdition& edition = *nds::findEdition("ADAE");

        // The new table: the hp (byte 0) of each entry changed, worked out here.
        const QList<int> changed =
            operation == "save" ? QList<int>{42} : QList<int>{0, 1, 2, 3, 100, 101, 250, 499};
        QByteArray newTable = oldTable;
        for (int position : changed)
            newTable[position * 44] = char(quint8(oldTable[position * 44]) ^ 0x5A);
        const QString csv = roms.folder() + "/table.csv";
        if (operation == "import") {
            QCOMPARE(runCli({"export", image, "-o", csv}).status, 0);
            QList<QByteArray> lines = readFile(csv).split('\n');
            for (int position : changed) {
                QList<QByteArray> cells = lines[position + 1].split(',');
                cells[2] = QByteArray::number(quint8(newTable[position * 44]));
                lines[position + 1] = cells.join(',');
            }
            writeFile(csv, lines.join('\n'));
        }

        int sawOld = 0, sawNew = 0;
        for (int calls = 0;; ++calls) {
            SyntheticRom::write(image, base, oldTable);
            FaultInjectingIo io;
            io.crashAfter(calls);
            if (operation == "import") {
                (void)runCli({"import", image, csv}, io);
            } else {
                species::RecordEdit edit;
                edit[species::Field::HP] = quint8(newTable[42 * 44]);
                (void)species::saveRecord(io, local(image), edition, 42, edit, std::nullopt,
                                          "Save ROM of Abra");
            }
            // A fresh run, as the next program to open the image would be.
            const CliOutcome opened = runCli({"identify", image});
            QCOMPARE(opened.status, 0);
            const QByteArray table = SyntheticRom::read(image, base, 500 * 44);
            QVERIFY2(table == oldTable || table == newTable,
                     qPrintable(QStringLiteral("a mix after %1 calls").arg(calls)));
            (table == oldTable ? sawOld : sawNew)++;
            QVERIFY2(!QFile::exists(journalOf(image)), qPrintable(QString::number(calls)));
            if (!io.crashed()) {
                QCOMPARE(table, newTable); // the operation ended before the crash
                break;
            }
            QVERIFY(calls < 200);
        }
        QVERIFY(sawOld > 3 && sawNew >= 1);
    }

    // A writer waits for another program's lock, then gives up and writes nothing.
    void lockedImageIsNotWritten() {
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        SyntheticRom::fillRecords(image, "ADAE", 3);
        const QString csv = roms.folder() + "/table.csv";
        QCOMPARE(runCli({"export", image, "-o", csv}).status, 0);
        QList<QByteArray> lines = readFile(csv).split('\n');
        QList<QByteArray> cells = lines[1].split(',');
        cells[2] = cells[2] == "1" ? "2" : "1"; // hp
        lines[1] = cells.join(',');
        writeFile(csv, lines.join('\n'));
        const QByteArray before = SyntheticRom::fingerprint(image, "ADAE");

        const int reader = ::open(QFile::encodeName(image).constData(), O_RDONLY);
        QVERIFY(reader >= 0);
        QCOMPARE(::flock(reader, LOCK_SH), 0);
        const CliOutcome result = runCli({"import", image, csv});
        ::close(reader);
        QCOMPARE(result.status, 3);
        QCOMPARE(result.err,
                 "statwright-cli: Could not write into \"" + image +
                     "\": it is being written by another program; nothing was written.\n");
        QCOMPARE(SyntheticRom::fingerprint(image, "ADAE"), before);
        QVERIFY(!QFile::exists(journalOf(image)));
    }

    // Where the file system has no locks, the import goes on and says so, once.
    void noLocksGoesOnAndSaysSo() {
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        const QString csv = roms.folder() + "/table.csv";
        QCOMPARE(runCli({"export", image, "-o", csv}).status, 0);
        FaultInjectingIo io;
        io.failCall(Call::Lock, ENOLCK);
        const CliOutcome result = runCli({"diff", image, image}, io);
        QCOMPARE(result.status, 0);
        QCOMPARE(result.err.count("cannot be locked"), 1);
        QCOMPARE(io.count(Call::Lock), 2);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
