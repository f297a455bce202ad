// Writes that survive a crash: the journal's format, what recovery makes of every leftover, a
// save and an import stopped after each of their system calls in turn, and the file lock.
#include "CliRun.h"
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "SyntheticRom.h"
#include "files/Journal.h"
#include "files/LockedFile.h"
#include "nds/GameEdition.h"
#include "species/ImageDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using Call = FaultInjectingIo::Call;
using files::Bytes;

namespace {

Bytes bytesOf(const QByteArray& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

// The CRC-32 that zlib computes, worked out here bit by bit.
quint32 crc32(const Bytes& bytes) {
    quint32 sum = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        sum ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            sum = (sum >> 1) ^ (0xEDB88320u & (0u - (sum & 1u)));
    }
    return ~sum;
}

QString journalOf(const QString& image) {
    return image + ".statwright-journal";
}

// Changes the hp of the first entry of the exported table `csv`.
void changeFirstHp(const QString& csv) {
    QList<QByteArray> lines = readFile(csv).split('\n');
    QList<QByteArray> cells = lines[1].split(',');
    cells[2] = cells[2] == "77" ? "78" : "77";
    lines[1] = cells.join(',');
    writeFile(csv, lines.join('\n'));
}

// An interrupted write's journal beside `image`, as this program writes one, for a span of
// `image` at `offset` whose bytes were to become their inverse; with `started` written, its
// first byte holds the new value already.
// With `otherImage`, the journal is that of another file of that name, whose long name gives
// the same journal name.
void plantJournal(const QString& image, qint64 offset, int count, const std::string& label,
                  bool started = true, const QString& otherImage = {}) {
    const QByteArray old = SyntheticRom::read(image, offset, count);
    Bytes changed;
    for (const char byte : old)
        changed.push_back(std::uint8_t(~byte));
    files::FileStatus status;
    QCOMPARE(files::systemIo().status(local(image), status), 0);
    const bool other = !otherImage.isEmpty();
    const files::JournalContent content{
        status.device,
        status.inode + (other ? 1 : 0),
        QFileInfo(image).size(),
        1796738400,
        label,
        {{offset, bytesOf(old), changed}},
        (other ? otherImage : QFileInfo(image).fileName()).toStdString()};
    const Bytes journal = files::encodeJournal(content);
    writeFile(journalOf(image),
              QByteArray(reinterpret_cast<const char*>(journal.data()), qsizetype(journal.size())));
    QVERIFY(QFile::setPermissions(journalOf(image), QFile::ReadOwner | QFile::WriteOwner));
    if (started)
        SyntheticRom::write(image, offset, QByteArray(1, char(changed[0])));
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

        // The first version's journals, without the image's name and length, are still read:
        // the same bytes without those, version "01", and their checksum made again.
        files::JournalContent unnamed = m_content;
        unnamed.image.clear();
        Bytes first = files::encodeJournal(unnamed);
        const std::size_t nameAt = 8 + 4 * 8 + 4 + unnamed.label.size();
        first.erase(first.begin() + std::ptrdiff_t(nameAt),
                    first.begin() + std::ptrdiff_t(nameAt) + 4 + 8);
        first[7] = '1';
        first.resize(first.size() - 4);
        const quint32 sum = crc32(first);
        for (int shift = 0; shift < 32; shift += 8)
            first.push_back(std::uint8_t(sum >> shift));
        const files::DecodedJournal old = files::decodeJournal(first);
        QCOMPARE(old.state, files::DecodedJournal::State::Whole);
        QCOMPARE(old.content.label, m_content.label);
        QCOMPARE(old.content.image, std::string());
        QCOMPARE(old.content.spans.size(), m_content.spans.size());
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
                                             << "untouched"
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
        // A journal this program could not have written is never acted on.
        QTest::newRow("owned by another user") << "first"
                                               << "otherOwner"
                                               << "leftAlone"
                                               << "unchanged";
        QTest::newRow("others may write it") << "first"
                                             << "groupWritable"
                                             << "leftAlone"
                                             << "unchanged";
        QTest::newRow("a span outside the table") << "first"
                                                  << "outside"
                                                  << "leftAlone"
                                                  << "unchanged";
        QTest::newRow("two spans over the same bytes") << "first"
                                                       << "overlapping"
                                                       << "leftAlone"
                                                       << "unchanged";
        // Nothing this program writes: no journal, and nothing to recover.
        QTest::newRow("a link at the journal's place") << "first"
                                                       << "link"
                                                       << "none"
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
        if (journal == "outside") // the table ends at 3000
            content.spans[1].offset = 3000 - 39;
        if (journal == "overlapping")
            content.spans.push_back({110, Bytes(10, 0), Bytes(10, 1)});
        Bytes bytes = files::encodeJournal(content);
        if (journal == "cut")
            bytes.resize(bytes.size() - 30);
        if (journal == "garbage")
            bytes = bytesOf("not a journal");
        if (journal == "link")
            QVERIFY(QFile::link(m_image, journalOf(m_image)));
        else if (journal != "none")
            writeFile(journalOf(m_image), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                     qsizetype(bytes.size())));
        if (journal == "otherOwner" && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        if (journal == "otherOwner")
            QCOMPARE(::chown(QFile::encodeName(journalOf(m_image)).constData(), 4242, 4242), 0);
        if (journal == "groupWritable")
            QCOMPARE(::chmod(QFile::encodeName(journalOf(m_image)).constData(), 0620), 0);

        const files::JournalScope table = [](files::OpenFile&) {
            return base::Result<std::vector<files::ByteRange>>({{64, 3000}});
        };
        base::Result<files::LockedFile> opened =
            files::openLocked(files::systemIo(), local(m_image), files::Access::Write, table);
        if (found == "leftAlone") {
            QVERIFY(!opened.ok());
            QCOMPARE(opened.error().kind, base::Error::Kind::BadContent);
            const QString said = QString::fromStdString(opened.error().describe());
            QVERIFY2(said.contains(journalOf(m_image)) && said.contains("nothing was written"),
                     qPrintable(said));
            const QMap<QString, QString> reasons = {
                {"otherOwner", "is owned by another user, 4242"},
                {"groupWritable", "can be written by other users than its owner"},
                {"outside", "writes outside the tables this program edits"},
                {"overlapping", "writes twice into the same bytes"}};
            QVERIFY2(said.contains(reasons.value(journal, "beside it")), qPrintable(said));
            QVERIFY(QFile::exists(journalOf(m_image)));
        } else {
            QVERIFY(opened.ok());
            const std::vector<files::Recovery>& recoveries = opened.value().notes.recoveries;
            QCOMPARE(recoveries.size(), std::size_t(found == "none" ? 0 : 1));
            if (!recoveries.empty()) {
                const files::Recovery* recovery = &recoveries.front();
                const files::Recovery::Found kinds[] = {
                    files::Recovery::Found::Torn, files::Recovery::Found::Completed,
                    files::Recovery::Found::RolledBack, files::Recovery::Found::Untouched};
                const QStringList names = {"torn", "completed", "rolledBack", "untouched"};
                QCOMPARE(recovery->found, kinds[names.indexOf(found)]);
                const QString said = QString::fromStdString(recovery->describe());
                if (found != "torn")
                    QVERIFY2(said.contains("Save ROM of Garchomp begun at 2026-12-08 14:00:00 UTC"),
                             qPrintable(said));
                if (found == "rolledBack")
                    QVERIFY(said.contains("rolled back"));
                // A journal on disk, yet not a byte of the image written: nothing to roll back.
                if (found == "untouched")
                    QVERIFY2(said.contains("was interrupted before it changed a byte") &&
                                 !said.contains("rolled back"),
                             qPrintable(said));
            }
            QCOMPARE(QFileInfo(journalOf(m_image)).isSymLink(), journal == "link");
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
        plantJournal(image, hp, 2, "import of \"t.csv\"");

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
        QTest::addColumn<QString>("name");    // of the image
        QTest::addColumn<QString>("through"); // the name the operation is given: "link", or ""
        QTest::newRow("import of four runs of entries") << "import"
                                                        << "image.nds"
                                                        << "";
        QTest::newRow("save of one entry") << "save"
                                           << "image.nds"
                                           << "";
        // One journal, whatever name a writer and the next reader use.
        QTest::newRow("import through a symbolic link, read through the file's name") << "import"
                                                                                      << "image.nds"
                                                                                      << "link";
        // Too long for the journal's usual name: 240 bytes of Japanese and ".nds".
        QTest::newRow("import into an image of a 244-byte name")
            << "import" << QString(80, QChar(0x30DD)) + ".nds"
            << "";
    }
    void crashAtEveryStep() {
        QFETCH(QString, operation);
        QFETCH(QString, name);
        QFETCH(QString, through);
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE", name);
        QString given = image;
        if (through == "link") {
            given = roms.folder() + "/link.nds";
            QVERIFY(QFile::link(image, given));
        }
        SyntheticRom::fillRecords(image, "ADAE", 11);
        const qint64 base = SyntheticRom::recordBase("ADAE");
        const QByteArray oldTable = SyntheticRom::read(image, base, 500 * 44);

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
                (void)runCli({"import", given, csv}, io);
            } else {
                species::ImageDocument document(io, local(given));
                const species::Change hp{42, species::Field::HP, quint8(oldTable[42 * 44]),
                                         quint8(newTable[42 * 44])};
                if (document.open().ok())
                    (void)document.save(std::span(&hp, 1), "Save ROM of Abra");
            }
            // A fresh run, as the next program to open the image would be.
            const CliOutcome opened = runCli({"identify", image});
            QCOMPARE(opened.status, 0);
            const QByteArray table = SyntheticRom::read(image, base, 500 * 44);
            QVERIFY2(table == oldTable || table == newTable,
                     qPrintable(QStringLiteral("a mix after %1 calls").arg(calls)));
            (table == oldTable ? sawOld : sawNew)++;
            QVERIFY2(QDir(roms.folder()).entryList({"*statwright-journal"}).isEmpty(),
                     qPrintable(QString::number(calls)));
            if (!io.crashed()) {
                QCOMPARE(table, newTable); // the operation ended before the crash
                break;
            }
            QVERIFY(calls < 200);
        }
        QVERIFY(sawOld > 3 && sawNew >= 1);
    }

    // What others may leave beside an image: a journal that writes where this program never
    // does, another user's journal, a label made to drive the terminal, and things that are no
    // journal at its place. None is acted on, and none reaches the terminal raw.
    // On a volume that keeps no owners (FAT32, exFAT cards), a journal is judged by the image
    // it names alone: another user's journal of this very image is recovered, and the message
    // says that its owner could not be checked; one of another file is still left alone.
    void journalOnAVolumeWithoutOwners_data() {
        QTest::addColumn<bool>("thisImage");
        QTest::newRow("it names this image") << true;
        QTest::newRow("it names another file") << false;
    }
    void journalOnAVolumeWithoutOwners() {
        QFETCH(bool, thisImage);
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        SyntheticRom::fillRecords(image, "ADAE", 9);
        const QByteArray before = SyntheticRom::sha256(image);
        const qint64 record = SyntheticRom::recordOffset("ADAE", 7);
        plantJournal(image, record, 2, "import of \"t.csv\"", true,
                     thisImage ? QString() : QStringLiteral("image.nds.long"));
        QCOMPARE(::chown(QFile::encodeName(journalOf(image)).constData(), 4242, 4242), 0);
        FaultInjectingIo io;
        io.pretendNoOwners();
        const CliOutcome result = runCli({"export", image, "-o", roms.folder() + "/t.csv"}, io);
        QCOMPARE(result.status, 0);
        QVERIFY2(!result.err.contains("another user"), qPrintable(result.err));
        QCOMPARE(result.err.contains("Its owner could not be checked, since its volume keeps no "
                                     "owners: it was trusted because it names this image."),
                 thisImage);
        QCOMPARE(QFile::exists(journalOf(image)), !thisImage);
        if (thisImage)
            QCOMPARE(SyntheticRom::sha256(image), before);
    }

    void hostileLeftovers_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("a journal that writes into the header")
            << "header"
            << "export" << 1
            << QStringList{"writes outside the tables this program edits", "nothing was written"};
        QTest::newRow("another user's journal in a sticky folder")
            << "sticky"
            << "export" << 1
            << QStringList{"is owned by another user, 4242",
                           "copy the image into a folder of your own"};
        QTest::newRow("a label of terminal controls")
            << "label"
            << "export" << 0 << QStringList{"\\x1B[2J\\x07\\x0D\\x0AForged line \\u202Eevil"};
        QTest::newRow("a link to nothing at the journal's place")
            << "dangling"
            << "import" << 3
            << QStringList{"it is a symbolic link): remove it; nothing was written"};
        QTest::newRow("a folder at the journal's place")
            << "folder"
            << "import" << 3 << QStringList{"it is a directory): remove it; nothing was written"};
        // Two long names that start alike share a journal name: the other image's journal waits
        // for it, this image is read as it is and not written, and nobody is told to remove it.
        QTest::newRow("another image's journal: read as it is") << "otherImage"
                                                                << "export" << 0 << QStringList{};
        QTest::newRow("another image's journal: not written")
            << "otherImage"
            << "import" << 3
            << QStringList{"belongs to another image, \"image.nds.long\"",
                           "Nothing was written: open that image first"};
    }
    void hostileLeftovers() {
        QFETCH(QString, planted);
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(QStringList, says);
        if ((planted == "sticky") && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        SyntheticRom roms;
        const QString folder = roms.folder() + "/shared";
        QVERIFY(QDir().mkdir(folder));
        const QString image = folder + "/image.nds";
        QVERIFY(QFile::copy(roms.createFor("ADAE"), image));
        SyntheticRom::fillRecords(image, "ADAE", 9);
        const QString csv = roms.folder() + "/table.csv";
        QCOMPARE(runCli({"export", image, "-o", csv}).status, 0);
        changeFirstHp(csv);
        const qint64 record = SyntheticRom::recordOffset("ADAE", 7);
        if (planted == "header")
            plantJournal(image, 0, 12, "import of \"t.csv\"", false);
        if (planted == "sticky") {
            plantJournal(image, record, 2, "import of \"t.csv\"");
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 01777), 0);
            QCOMPARE(::chown(QFile::encodeName(journalOf(image)).constData(), 4242, 4242), 0);
        }
        if (planted == "label")
            plantJournal(image, record, 2, "\x1B[2J\a\r\nForged line \u202Eevil");
        if (planted == "dangling")
            QVERIFY(QFile::link(folder + "/nowhere", journalOf(image)));
        if (planted == "folder")
            QVERIFY(QDir().mkdir(journalOf(image)));
        if (planted == "otherImage")
            plantJournal(image, record, 2, "import of \"t.csv\"", false, "image.nds.long");
        const QByteArray before = SyntheticRom::sha256(image);
        const QByteArray journal = readFile(journalOf(image));

        FaultInjectingIo io;
        if (planted == "sticky")
            io.pretendUser(1000);
        const QStringList arguments =
            command == "export" ? QStringList{"export", image} : QStringList{"import", image, csv};
        const CliOutcome result = runCli(arguments, io);
        QCOMPARE(result.status, status);
        for (const QString& text : says)
            QVERIFY2(result.err.contains(text), qPrintable(result.err));
        QVERIFY(!result.err.contains("another program"));
        if (planted == "otherImage")
            QVERIFY2(!result.err.contains("emove"), qPrintable(result.err));
        // One line a message: nothing but its end may break it, nothing may steer the screen.
        const QString text = result.err.endsWith('\n') ? result.err.chopped(1) : result.err;
        QVERIFY(!text.contains(QRegularExpression("[\\x00-\\x1F\\x7F\\x{202E}]")));
        if (planted == "label") {
            QVERIFY(!QFile::exists(journalOf(image))); // an honest journal, rolled back
            return;
        }
        QCOMPARE(SyntheticRom::sha256(image), before);
        QCOMPARE(readFile(journalOf(image)), journal);
        QCOMPARE(io.count(Call::Pwrite), 0);
    }

    // A 244-byte name and a 236-byte one made of its first 227 bytes and the digest share one
    // journal name. The long image's journal of an interrupted import waits for it: the short
    // image is read as it is and not written into, and the long one is recovered as ever.
    void twoLongNamesShareOneJournal() {
        SyntheticRom roms;
        const QString longName = QString(240, 'a') + ".nds";
        const std::string journal = files::journalName(longName.toStdString());
        const QString shortName = QString::fromStdString(
            journal.substr(0, journal.size() - std::string(".statwright-journal").size()));
        QCOMPARE(shortName.size(), 236);
        QCOMPARE(files::journalName(shortName.toStdString()), journal);
        const QString longImage = roms.createFor("ADAE", longName);
        const QString shortImage = roms.createFor("ADAE", shortName);
        SyntheticRom::fillRecords(longImage, "ADAE", 3);
        SyntheticRom::fillRecords(shortImage, "ADAE", 4);
        const qint64 hp = SyntheticRom::recordOffset("ADAE", 7);
        const QByteArray old = SyntheticRom::read(longImage, hp, 2);
        // The long image's import, interrupted after its journal and its first byte.
        QFile::rename(longImage, roms.folder() + "/planted.nds");
        plantJournal(roms.folder() + "/planted.nds", hp, 2, "import of \"t.csv\"");
        QFile::rename(roms.folder() + "/planted.nds", longImage);
        const QString journalPath = roms.folder() + "/" + QString::fromStdString(journal);
        QVERIFY(QFile::rename(roms.folder() + "/planted.nds.statwright-journal", journalPath));
        // The journal names the long image, as its writer would have.
        files::Bytes planted = bytesOf(readFile(journalPath));
        files::JournalContent content = files::decodeJournal(planted).content;
        content.image = longName.toStdString();
        planted = files::encodeJournal(content);
        writeFile(journalPath, QByteArray(reinterpret_cast<const char*>(planted.data()),
                                          qsizetype(planted.size())));

        const QByteArray shortBefore = SyntheticRom::sha256(shortImage);
        const CliOutcome read = runCli({"export", shortImage});
        QCOMPARE(read.status, 0);
        QCOMPARE(read.err, QString());
        const QString csv = roms.folder() + "/t.csv";
        writeFile(csv, "position,species,hp\n7,Wartortle,1\n");
        const CliOutcome written = runCli({"import", shortImage, csv});
        QVERIFY2(written.status == 3, qPrintable(written.err));
        QVERIFY2(written.err.contains("belongs to another image, \"" + longName + "\""),
                 qPrintable(written.err));
        QCOMPARE(SyntheticRom::sha256(shortImage), shortBefore);
        QVERIFY(QFile::exists(journalPath));

        const CliOutcome recovered = runCli({"identify", longImage});
        QCOMPARE(recovered.status, 0);
        QVERIFY2(recovered.err.contains("has been rolled back"), qPrintable(recovered.err));
        QCOMPARE(SyntheticRom::read(longImage, hp, 2), old);
        QVERIFY(!QFile::exists(journalPath));
        QCOMPARE(runCli({"import", shortImage, csv}).status, 0);
    }

    // A dry run writes nothing, not even a recovery: it says what the next opening would do,
    // and fails.
    void dryRunsWriteNothing_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("import -n") << "import";
        QTest::newRow("apply -n") << "apply";
    }
    void dryRunsWriteNothing() {
        QFETCH(QString, command);
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        SyntheticRom::fillRecords(image, "ADAE", 4);
        const QString file = roms.folder() + "/changes.csv";
        if (command == "import")
            QCOMPARE(runCli({"export", image, "-o", file}).status, 0);
        else
            writeFile(file, "# statwright patch 1, from ADAE Pokémon Diamond\n"
                            "position,species,field,from,to\n");
        plantJournal(image, SyntheticRom::recordOffset("ADAE", 7), 2, "import of \"t.csv\"");
        const QByteArray before = SyntheticRom::sha256(image);
        const QByteArray journal = readFile(journalOf(image));

        FaultInjectingIo io;
        const CliOutcome result = runCli({command, image, file, "-n"}, io);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains("the import of \"t.csv\" begun at 2026-12-08 14:00:00 UTC "
                                     "was interrupted; the next opening that is not a dry run "
                                     "rolls it back"),
                 qPrintable(result.err));
        QCOMPARE(result.out, QString());
        QCOMPARE(SyntheticRom::sha256(image), before);
        QCOMPARE(readFile(journalOf(image)), journal);
        QCOMPARE(io.count(Call::OpenForWriting) + io.count(Call::Pwrite) + io.count(Call::Unlink),
                 0);
    }

    // A name too long for the journal's usual one gets a shorter one, cut between characters,
    // that the file system takes; two long names that start alike get two journals.
    void journalNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("journal"); // "usual", or the start of the shorter name
        QTest::newRow("short") << "image.nds"
                               << "usual";
        QTest::newRow("236 bytes, the longest usual one") << QString(232, 'a') + ".nds"
                                                          << "usual";
        QTest::newRow("237 bytes") << QString(233, 'a') + ".nds" << QString(227, 'a') + ".";
        QTest::newRow("255 bytes of Japanese and ASCII")
            << QString(2, 'a') + QString(83, QChar(0x30DD)) + "ab.nds"
            << QString(2, 'a') + QString(75, QChar(0x30DD)) + ".";
    }
    void journalNames() {
        QFETCH(QString, name);
        QFETCH(QString, journal);
        const std::string made = files::journalName(name.toStdString());
        const QString text = QString::fromUtf8(made);
        QVERIFY(made.size() <= 255);
        QVERIFY(text.endsWith(".statwright-journal"));
        QCOMPARE(text.toUtf8(), QByteArray::fromStdString(made)); // whole characters only
        if (journal == "usual")
            QCOMPARE(text, name + ".statwright-journal");
        else
            QVERIFY2(text.startsWith(journal) && text.size() == journal.size() + 8 + 19,
                     qPrintable(text));
        const std::string other = files::journalName((name + "x").toStdString());
        QVERIFY(other != made);
    }

    // An image with more than one name is read as ever, and never written into.
    void imagesOfSeveralNamesAreNotWritten() {
        SyntheticRom roms;
        const QString image = roms.createFor("ADAE");
        const QString second = roms.folder() + "/second.nds";
        QCOMPARE(
            ::link(QFile::encodeName(image).constData(), QFile::encodeName(second).constData()), 0);
        const QString csv = roms.folder() + "/table.csv";
        QCOMPARE(runCli({"export", second, "-o", csv}).status, 0);
        changeFirstHp(csv);
        const QByteArray before = SyntheticRom::sha256(image);
        for (const QString& name : {image, second}) {
            const CliOutcome result = runCli({"import", name, csv});
            QCOMPARE(result.status, 3);
            QVERIFY2(result.err.contains("it has 2 names (hard links)") &&
                         result.err.contains("Copy it to a file of its own"),
                     qPrintable(result.err));
        }
        QCOMPARE(SyntheticRom::sha256(image), before);
        QCOMPARE(runCli({"import", second, csv, "-n"}).status, 0);
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
