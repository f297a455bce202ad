// Finding the table the game reads: through the image's file system and its NARC archive, at
// the fixed base in an image without one, and never in a damaged or hostile table.
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"
#include "nds/GameEdition.h"
#include "nds/NdsFileSystem.h"
#include "species/ImageDocument.h"
#include "species/RecordKinds.h"
#include "species/TableLocation.h"

#include <QFile>
#include <QtEndian>
#include <QtTest/QTest>

using Layout = SyntheticFileSystem::Layout;

namespace {

QByteArray le16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// A name table of `listings.size()` directories, each listing given as raw bytes; directory d
// starts its files at id `firstFile[d]`.
QByteArray nameTable(const QList<QByteArray>& listings, quint16 firstFile = 0) {
    QByteArray main, names;
    for (int d = 0; d < listings.size(); ++d) {
        main += le32(quint32(8 * listings.size() + names.size())) + le16(firstFile) +
                le16(d == 0 ? quint16(listings.size()) : quint16(0xF000));
        names += listings[d];
    }
    return main + names;
}

QByteArray dirEntry(const QByteArray& name, quint16 id) {
    return char(0x80 | name.size()) + name + le16(id);
}
QByteArray fileEntry(const QByteArray& name) {
    return char(name.size()) + name;
}

// Points the header at `names` (at 0x1000) and an allocation table with one entry per span.
void writeTables(const QString& image, const QByteArray& names, const QList<qint64>& spans) {
    QByteArray allocation;
    for (qint64 span : spans)
        allocation += le32(quint32(span)) + le32(quint32(span + 0x100));
    SyntheticRom::write(image, 0x40,
                        le32(0x1000) + le32(quint32(names.size())) + le32(0x4000) +
                            le32(quint32(allocation.size())));
    SyntheticRom::write(image, 0x1000, names);
    SyntheticRom::write(image, 0x4000, allocation);
}

base::Result<species::TablePlace> find(const QString& image, const QByteArray& code) {
    base::Result<files::OpenFile> file =
        files::OpenFile::open(files::systemIo(), local(image), files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        qFatal("cannot open %s", qPrintable(image));
    const nds::GameEdition& edition = *nds::findEdition(code.toStdString());
    const species::RecordKind& stats = species::recordKind(species::Kind::BaseStats);
    const base::Result<std::optional<nds::NdsFileSystem>> system =
        species::readFileSystem(file.value(), species::findAction(stats.noun(), edition));
    if (!system.ok())
        return system.error();
    return stats.find(file.value(), edition, system.value() ? &*system.value() : nullptr, nullptr);
}

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

private slots:
    // Each game reads its own archive, wherever the file system puts it; its decoys, and the
    // fixed base, have other bytes.
    void findsTheArchiveTheGameReads_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("entries");
        const QString diamond = "/poketool/personal/personal.narc";
        // A file system of every game, as a rebuilding tool lays it out: the files one after
        // another in the order of their ids.
        const QString pearl = "/poketool/personal_pearl/personal.narc";
        const QString platinum = "/poketool/personal/pl_personal.narc";
        QTest::newRow("Diamond, retail")
            << QByteArray("ADAE") << int(Layout::TableAtFixedBase) << diamond << 500;
        QTest::newRow("Diamond, rebuilt")
            << QByteArray("ADAS") << int(Layout::DecoyAtFixedBase) << diamond << 500;
        QTest::newRow("Pearl, rebuilt")
            << QByteArray("APAE") << int(Layout::DecoyAtFixedBase) << pearl << 500;
        QTest::newRow("Platinum, retail")
            << QByteArray("CPUJ") << int(Layout::DecoyAtFixedBase) << platinum << 507;
        QTest::newRow("Platinum, another region")
            << QByteArray("CPUF") << int(Layout::TableAtFixedBase) << platinum << 507;
        // Beside a stale /pbr/personal.narc and another archive of 508 records of 44 bytes.
        QTest::newRow("HeartGold")
            << QByteArray("IPKE") << int(Layout::DecoyAtFixedBase) << "/a/0/0/2" << 507;
        QTest::newRow("SoulSilver, Japanese")
            << QByteArray("IPGJ") << int(Layout::DecoyAtFixedBase) << "/a/0/0/2" << 507;
    }
    void findsTheArchiveTheGameReads() {
        QFETCH(QByteArray, code);
        QFETCH(int, layout);
        QFETCH(QString, archive);
        QFETCH(int, entries);
        SyntheticRom roms;
        const QString image = roms.create("image.nds", code, 0x4000000);
        const SyntheticFileSystem system = SyntheticFileSystem::forGame(code, Layout(layout));
        system.writeInto(image);
        QCOMPARE(system.tableArchive, archive);
        const qint64 base = system.recordBaseOf(archive);

        const base::Result<species::TablePlace> place = find(image, code);
        QVERIFY2(place.ok(), place.ok() ? "" : place.error().describe().c_str());
        QCOMPARE(place.value().base, base);
        QCOMPARE(place.value().entries, entries);
        QCOMPARE(QString::fromStdString(place.value().archive), archive);

        FaultInjectingIo io;
        species::ImageDocument document(io, local(image));
        QVERIFY(document.open().ok());
        const species::Record read = document.record(499, species::Kind::BaseStats);
        const QByteArray expected = SyntheticRom::read(image, base + 499 * 44, 44);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(read.bytes().data()), 44), expected);
        QVERIFY(expected !=
                SyntheticRom::read(image, system.recordBaseOf(system.decoyArchive) + 499 * 44, 44));
        if (archive == "/a/0/0/2")
            QVERIFY(expected !=
                    SyntheticRom::read(image, system.recordBaseOf("/a/0/0/1") + 499 * 44, 44));
        QCOMPARE(io.count(FaultInjectingIo::Call::Open), 1);
    }

    void imageWithoutFileSystemUsesTheFixedBase() {
        SyntheticRom roms;
        const base::Result<species::TablePlace> place = find(roms.createFor("CPUJ"), "CPUJ");
        QVERIFY(place.ok());
        QCOMPARE(place.value().base, 58670088);
        QCOMPARE(place.value().entries, 500);
        QVERIFY(place.value().archive.empty());
        const base::Result<species::TablePlace> none = find(roms.createFor("CPUE"), "CPUE");
        QVERIFY(!none.ok());
        QVERIFY(none.error().reason.find("no file system") != std::string::npos);
    }

    // A file system that does not hold the table the game reads: no base, only the reason.
    void malformedArchives_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "/poketool/personal_pearl/personal.narc is not in the "
                                    "image's file system";
        QTest::newRow("not a NARC") << "magic"
                                    << "personal.narc is not a NARC archive";
        QTest::newRow("too few members") << "few"
                                         << "has 300 members, fewer than 501";
        QTest::newRow("members of the wrong size")
            << "size"
            << "has members of 12 bytes (member 1), not of 44";
        QTest::newRow("members apart") << "apart"
                                       << "has members 2 and 3 apart";
        QTest::newRow("member outside the data") << "outside"
                                                 << "has a member (500) outside its data section";
        QTest::newRow("no data section") << "gmif"
                                         << "has no data section";
        QTest::newRow("truncated image") << "truncate"
                                         << "which are not inside the image";
    }
    void malformedArchives() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        SyntheticRom roms;
        const QString image = roms.create("image.nds", "APAE", 0x200000);
        SyntheticFileSystem system = SyntheticFileSystem::forGame("APAE", Layout::TableAtFixedBase);
        system.move(system.tableArchive, 0x100000);
        system.move(system.decoyArchive, 0x40000);
        QByteArray archive = system.bytesOf(system.tableArchive);
        if (damage == "missing")
            system.remove(system.tableArchive);
        else if (damage == "magic")
            archive.replace(0, 4, "NARX");
        else if (damage == "few")
            archive = SyntheticFileSystem::narc(300, 44, 1);
        else if (damage == "size")
            archive = SyntheticFileSystem::narc(501, 12, 1);
        else if (damage == "apart")
            archive.replace(28 + 8 * 3, 8, le32(3 * 44 + 4) + le32(4 * 44 + 4)); // 4 bytes late
        else if (damage == "outside")
            archive.replace(28 + 8 * 500 + 4, 4, le32(501 * 44 + 1));
        else if (damage == "gmif")
            archive.replace(archive.indexOf("GMIF"), 4, "GMIX");
        if (damage != "missing") {
            system.remove(system.tableArchive);
            system.add(system.tableArchive, archive, 0x100000);
        }
        system.writeInto(image);
        if (damage == "truncate")
            QVERIFY(QFile::resize(image, 0x100000 + 0x800));

        const base::Result<species::TablePlace> place = find(image, "APAE");
        QVERIFY(!place.ok());
        QCOMPARE(place.error().kind, base::Error::Kind::BadContent);
        QVERIFY2(QString::fromStdString(place.error().reason).contains(reason),
                 place.error().describe().c_str());
        QCOMPARE(place.error().action, std::string("find the base-stat table of Pearl (APAE) in"));
    }

    // Name tables made to loop, point outside themselves or run out: an error in words, at once.
    void hostileNameTables_data() {
        QTest::addColumn<QByteArray>("names");
        QTest::addColumn<QString>("reason");
        const QByteArray end("\0", 1);
        QTest::newRow("directory lists itself")
            << nameTable({dirEntry("poketool", 0xF001) + end, dirEntry("poketool", 0xF001) + end})
            << "is not in the image's file system";
        QTest::newRow("directory lists the root")
            << nameTable({dirEntry("poketool", 0xF000) + end}) << "is not one of its directories";
        QTest::newRow("directory beyond the table")
            << nameTable({dirEntry("poketool", 0xF123) + end}) << "is not one of its directories";
        QTest::newRow("listing beyond the table")
            << le32(0x7FFFFF) + le16(0) + le16(1) << "run past the table's end";
        QTest::newRow("no end of listing")
            << nameTable({fileEntry("a.bin")}) << "run past the table's end";
        QTest::newRow("name cut short") << nameTable({QByteArray("\x7F"
                                                                 "abc")})
                                        << "run past the table's end";
        QTest::newRow("empty name")
            << nameTable({QByteArray("\x80\x01\xF0\0", 4)}) << "a name of no characters";
        QTest::newRow("no directories")
            << le32(8) + le16(0) + le16(0) + end << "claims 0 directories";
        QTest::newRow("more directories than room")
            << le32(8) + le16(0) + le16(4000) + end << "claims 4000 directories";
        QTest::newRow("too short for its root")
            << QByteArray("\x08\0\0", 3) << "too short to describe its root";
        QTest::newRow("file ids run out")
            << nameTable({fileEntry("a") + fileEntry("b") + end}, 0xEFFF)
            << "more files than there are ids";
        QTest::newRow("file without an allocation entry")
            << nameTable({dirEntry("poketool", 0xF001) + end,
                          dirEntry("personal_pearl", 0xF002) + end,
                          fileEntry("x") + fileEntry("personal.narc") + end})
            << "(file 1) has no entry in the file allocation table";
    }
    void hostileNameTables() {
        QFETCH(QByteArray, names);
        QFETCH(QString, reason);
        SyntheticRom roms;
        const QString image = roms.create("image.nds", "APAE", 0x10000);
        writeTables(image, names, {0x8000});
        const base::Result<species::TablePlace> place = find(image, "APAE");
        QVERIFY(!place.ok());
        QVERIFY2(QString::fromStdString(place.error().reason).contains(reason),
                 place.error().describe().c_str());

        base::Result<files::OpenFile> file =
            files::OpenFile::open(files::systemIo(), local(image), files::SysIo::Mode::ReadOnly);
        QVERIFY(file.ok());
        auto system = nds::NdsFileSystem::read(file.value());
        QVERIFY(system.ok() && system.value());
        (void)system.value()->paths(); // ends, however the directories point
        QVERIFY(system.value()->filesHolding(0x8000).size() <= 1);
    }

    // Only a header whose four table pointers are all zero has no file system; any other that
    // does not point to whole tables inside the image is a damaged one, never "none".
    void headerPointers_data() {
        QTest::addColumn<QByteArray>("pointers");
        QTest::addColumn<QByteArray>("allocation"); // written at 0x4000
        QTest::addColumn<QString>("damage");        // empty: no file system
        const QByteArray names = le32(0x1000) + le32(0x10);
        QTest::newRow("all zero") << QByteArray(16, '\0') << QByteArray() << "";
        QTest::newRow("empty name table")
            << le32(0x1000) + le32(0) + le32(0x4000) + le32(8) << QByteArray()
            << "gives the file name table a size of 0";
        QTest::newRow("allocation size 0") << names + le32(0x4000) + le32(0) << QByteArray()
                                           << "gives the file allocation table a size of 0";
        QTest::newRow("name table without an offset")
            << le32(0) + le32(0x10) + le32(0x4000) + le32(8) << QByteArray()
            << "gives the file name table no offset";
        QTest::newRow("allocation past the end")
            << names + le32(0xFFFFFF00) + le32(8) << QByteArray()
            << "allocation table (bytes 0xFFFFFF00 to 0xFFFFFF08) reaches past the image's end";
        QTest::newRow("allocation size 0xFFFFFFF8")
            << names + le32(0x4000) + le32(0xFFFFFFF8) << QByteArray() << "reaches past";
        QTest::newRow("name table at 0xFFFFFFF0")
            << le32(0xFFFFFFF0) + le32(0x10) + le32(0x4000) + le32(8) << QByteArray()
            << "name table (bytes 0xFFFFFFF0 to 0x100000000) reaches past";
        QTest::newRow("name table of 9 MiB")
            << le32(0x1000) + le32(9 << 20) + le32(0x4000) + le32(8) << QByteArray()
            << "larger than any DS file system's";
        QTest::newRow("allocation of no whole files")
            << names + le32(0x4000) + le32(12) << QByteArray() << "no whole number of files";
        QTest::newRow("a file past the end")
            << names + le32(0x4000) + le32(16)
            << le32(0) + le32(0) + le32(0x800000) + le32(0x2000000)
            << "file 1 is said to lie at bytes 0x800000 to 0x2000000, which are not inside";
        QTest::newRow("a file that ends before it starts")
            << names + le32(0x4000) + le32(8) << le32(0x9000) + le32(0x8000)
            << "file 0 is said to lie at bytes 0x9000 to 0x8000";
    }
    void headerPointers() {
        QFETCH(QByteArray, pointers);
        QFETCH(QByteArray, allocation);
        QFETCH(QString, damage);
        SyntheticRom roms;
        const QString image = roms.create("image.nds", "ADAE", 0x1000000);
        SyntheticRom::write(image, 0x40, pointers);
        if (!allocation.isEmpty())
            SyntheticRom::write(image, 0x4000, allocation);
        base::Result<files::OpenFile> file =
            files::OpenFile::open(files::systemIo(), local(image), files::SysIo::Mode::ReadOnly);
        QVERIFY(file.ok());
        const auto system = nds::NdsFileSystem::read(file.value());
        QCOMPARE(system.ok(), damage.isEmpty());
        if (system.ok()) {
            QVERIFY(!system.value());
            return;
        }
        QCOMPARE(system.error().kind, base::Error::Kind::BadContent);
        QVERIFY2(QString::fromStdString(system.error().reason).contains(damage),
                 system.error().describe().c_str());
        // Nor does the table lookup fall back to the fixed base.
        const base::Result<species::TablePlace> place = find(image, "ADAE");
        QVERIFY(!place.ok());
        QCOMPARE(place.error().reason, system.error().reason);
    }

    // The archive the game reads must keep its bytes to itself: a save into bytes that
    // another file (or a table of the file system) also holds would change that file too.
    void overlappingFiles_data() {
        QTest::addColumn<QString>("other");
        QTest::addColumn<qint64>("start"); // relative to the archive's first record
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("reason"); // empty: found
        QTest::newRow("another file over a record")
            << "/b/victim.bin" << 44LL * 100 << 0x10LL << "shares bytes";
        QTest::newRow("another file over the archive's header")
            << "/b/victim.bin" << -0x40LL << 0x10LL << "with /b/victim.bin (file ";
        QTest::newRow("an empty file inside the archive") << "/b/empty.bin" << 0LL << 0LL << "";
        QTest::newRow("a file right after the archive")
            << "/b/next.bin" << 44LL * 500 << 0x10LL << "";
    }
    void overlappingFiles() {
        QFETCH(QString, other);
        QFETCH(qint64, start);
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        SyntheticRom roms;
        const QString image = roms.create("image.nds", "ADAE", 0x200000);
        SyntheticFileSystem system = SyntheticFileSystem::forGame("ADAE", Layout::TableAtFixedBase);
        system.move(system.tableArchive, 0x100000);
        system.move(system.decoyArchive, 0x40000);
        const qint64 base = system.recordBaseOf(system.tableArchive);
        // Member 500's record ends the archive.
        system.add(other, QByteArray(int(size), 'v'),
                   other == "/b/next.bin" ? 0x100000 + system.bytesOf(system.tableArchive).size()
                                          : base + start);
        system.writeInto(image);
        const base::Result<species::TablePlace> place = find(image, "ADAE");
        QCOMPARE(place.ok(), reason.isEmpty());
        if (!place.ok()) {
            QCOMPARE(place.error().kind, base::Error::Kind::BadContent);
            QVERIFY2(QString::fromStdString(place.error().reason).contains(reason),
                     place.error().describe().c_str());
        }
    }

    // An image without a file system too short for the table at its fixed place has none.
    void truncatedImageWithoutFileSystem() {
        SyntheticRom roms;
        const QString image = roms.create("image.nds", "ADAE", 29448712 + 44 * 500 - 1);
        const base::Result<species::TablePlace> place = find(image, "ADAE");
        QVERIFY(!place.ok());
        QVERIFY2(
            QString::fromStdString(place.error().reason).contains("before the end of the table"),
            place.error().describe().c_str());
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
