// The edition table and identification by the game code at offset 12.
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "NotRegularFiles.h"
#include "SyntheticRom.h"
#include "files/FileAccess.h"
#include "nds/Identification.h"

#include <QFile>
#include <QtTest/QTest>

#include <cerrno>
#include <set>
#include <sys/stat.h>

namespace {
QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

class TestIdentification : public QObject {
    Q_OBJECT

private slots:
    void table_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("language");
        QTest::addColumn<qint64>("base");
        QTest::newRow("ADAE") << "ADAE"
                              << "Pokémon Diamond"
                              << "English" << 29448712LL;
        QTest::newRow("APAE") << "APAE"
                              << "Pokémon Pearl"
                              << "English" << 29448712LL;
        QTest::newRow("ADAS") << "ADAS"
                              << "Pokémon Diamante"
                              << "Español" << 29257224LL;
        QTest::newRow("APAS") << "APAS"
                              << "Pokémon Perla"
                              << "Español" << 29257224LL;
        QTest::newRow("ADAD") << "ADAD"
                              << "Pokémon Diamant"
                              << "Deutsch" << 29421064LL;
        QTest::newRow("APAD") << "APAD"
                              << "Pokémon Perl"
                              << "Deutsch" << 29421064LL;
        QTest::newRow("ADAF") << "ADAF"
                              << "Pokémon Diamant"
                              << "Français" << 29368840LL;
        QTest::newRow("APAF") << "APAF"
                              << "Pokémon Perla"
                              << "Français" << 29368840LL;
        QTest::newRow("ADAI") << "ADAI"
                              << "Pokémon Diamante"
                              << "Italiano" << 29316104LL;
        QTest::newRow("APAI") << "APAI"
                              << "Pokémon Perla"
                              << "Italiano" << 29316104LL;
        QTest::newRow("ADAK") << "ADAK"
                              << "Pokémon Diamond"
                              << "Korean" << 28315656LL;
        QTest::newRow("APAK") << "APAK"
                              << "Pokémon Pearl"
                              << "Korean" << 28315656LL;
        QTest::newRow("ADAJ") << "ADAJ"
                              << "Pokémon Diamond"
                              << "Japanese" << 29817352LL;
        QTest::newRow("APAJ") << "APAJ"
                              << "Pokémon Pearl"
                              << "Japanese" << 29817352LL;
        QTest::newRow("CPUJ") << "CPUJ"
                              << "Pokémon Platinum"
                              << "Japanese" << 58670088LL;
    }
    void table() {
        QFETCH(QString, code);
        QFETCH(QString, title);
        QFETCH(QString, language);
        QFETCH(qint64, base);
        const nds::GameEdition* edition = nds::findEdition(code.toStdString());
        QVERIFY(edition);
        QCOMPARE(text(edition->title), title);
        QCOMPARE(text(edition->language), language);
        QCOMPARE(edition->recordBase, base);
    }

    void tableHasFifteenDistinctCodes() {
        std::set<std::string_view> codes;
        for (const nds::GameEdition& edition : nds::fixedBaseEditions())
            codes.insert(edition.code);
        QCOMPARE(nds::fixedBaseEditions().size(), std::size_t(15));
        QCOMPARE(codes.size(), std::size_t(15));
    }

    void identify_data() {
        QTest::addColumn<QByteArray>("code");      // at offset 12
        QTest::addColumn<QByteArray>("elsewhere"); // at offset 0
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("refusal"); // empty: supported
        const QString tooShort = "is not a DS ROM image: it is too short to hold a game code";
        const QString noCode = "is not a DS ROM image: it has no game code";
        QTest::newRow("supported") << QByteArray("ADAE") << QByteArray() << 20LL << "";
        QTest::newRow("exactly 16 bytes") << QByteArray("CPUJ") << QByteArray() << 16LL << "";
        QTest::newRow("lower case") << QByteArray("adae") << QByteArray() << 20LL << noCode;
        QTest::newRow("unknown region letter")
            << QByteArray("ADAX") << QByteArray() << 20LL << "unsupported game code \"ADAX\"";
        QTest::newRow("no such game")
            << QByteArray("IPLE") << QByteArray() << 20LL << "unsupported game code \"IPLE\"";
        QTest::newRow("English P code") << QByteArray("APAP") << QByteArray() << 20LL << "";
        QTest::newRow("HeartGold") << QByteArray("IPKE") << QByteArray() << 20LL << "";
        QTest::newRow("code elsewhere")
            << QByteArray(4, '\0') << QByteArray("ADAE") << 20LL << noCode;
        QTest::newRow("a table") << QByteArray("peci") << QByteArray("position,s") << 40LL
                                 << noCode;
        QTest::newRow("15 bytes") << QByteArray("ADA") << QByteArray() << 15LL << tooShort;
        QTest::newRow("empty") << QByteArray() << QByteArray() << 0LL << tooShort;
    }
    void identify() {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, elsewhere);
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        SyntheticRom roms;
        const QString path = roms.create("image.nds", QByteArray(), size);
        if (!code.isEmpty())
            SyntheticRom::write(path, 12, code.left(qMax<qint64>(0, size - 12)));
        if (!elsewhere.isEmpty())
            SyntheticRom::write(path, 0, elsewhere);
        const auto found = nds::identifyImage(files::systemIo(), local(path));
        QCOMPARE(found.ok(), refusal.isEmpty());
        if (found.ok()) {
            QCOMPARE(QString::fromUtf8(found.value()->code.data(), 4), QString::fromLatin1(code));
        } else {
            const bool known = refusal.startsWith("unsupported");
            QCOMPARE(found.error().kind,
                     known ? base::Error::Kind::Unsupported : base::Error::Kind::NotAnImage);
            QCOMPARE(QString::fromStdString(found.error().describe()),
                     known ? path + ": " + refusal : '"' + path + "\" " + refusal);
        }
    }

    void unreadable_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("vanished") << "vanished" << ENOENT;
        QTest::newRow("no permission") << "permission" << EACCES;
        QTest::newRow("read error") << "read" << EIO;
    }
    void unreadable() {
        QFETCH(QString, kind);
        QFETCH(int, code);
        SyntheticRom roms;
        QString path = roms.create("image.nds", "ADAE", 64);
        FaultInjectingIo io;
        if (kind == "vanished")
            QFile::remove(path);
        else if (kind == "permission")
            io.failCall(FaultInjectingIo::Call::Open, EACCES);
        else
            io.failCall(FaultInjectingIo::Call::Pread, EIO);
        const auto found = nds::identifyImage(io, local(path));
        QVERIFY(!found.ok());
        QCOMPARE(found.error().kind, base::Error::Kind::System);
        QCOMPARE(found.error().systemError, code);
        QVERIFY(found.error().describe().find(local(path)) != std::string::npos);
    }

    // What is not a regular file is named for what it is, at once: a FIFO without a writer
    // must not hang the caller.
    void notRegularFiles_data() { notRegular::addRows(); }
    void notRegularFiles() {
        QFETCH(QString, path);
        QFETCH(QString, kind);
        SyntheticRom roms;
        path = notRegular::make(path, roms.folder());
        const auto found = nds::identifyImage(files::systemIo(), local(path));
        QVERIFY(!found.ok());
        QCOMPARE(found.error().kind, base::Error::Kind::NotRegularFile);
        QCOMPARE(QString::fromStdString(found.error().describe()),
                 QStringLiteral("\"%1\" is not a regular file (it is %2).").arg(path, kind));
    }

    void readOnlyFileBecomesOwnerWritable() {
        SyntheticRom roms;
        const QString path = roms.create("image.nds", "ADAX", 64);
        QVERIFY(::chmod(local(path).c_str(), 0444) == 0);
        QVERIFY(files::makeOwnerWritable(files::systemIo(), local(path)).ok());
        struct stat info {};
        QVERIFY(::stat(local(path).c_str(), &info) == 0);
        QCOMPARE(info.st_mode & 0777, 0644u);
    }

    void writableFileIsLeftAlone() {
        SyntheticRom roms;
        const QString path = roms.create("image.nds", "ADAE", 64);
        FaultInjectingIo io;
        QVERIFY(files::makeOwnerWritable(io, local(path)).ok());
        QCOMPARE(io.count(FaultInjectingIo::Call::Chmod), 0);
    }

    void refusedPermissionChangeIsAnError() {
        SyntheticRom roms;
        const QString path = roms.create("image.nds", "ADAE", 64);
        QVERIFY(::chmod(local(path).c_str(), 0444) == 0);
        FaultInjectingIo io;
        io.failCall(FaultInjectingIo::Call::Chmod, EPERM);
        const base::Status status = files::makeOwnerWritable(io, local(path));
        QVERIFY(!status.ok());
        QCOMPARE(status.error().systemError, EPERM);
        QVERIFY(status.error().describe().find("make writable") != std::string::npos);
    }
};

QTEST_GUILESS_MAIN(TestIdentification)
#include "tst_identification.moc"
