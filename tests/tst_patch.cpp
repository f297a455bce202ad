// Stat patches: diff --patch writes the changes between two images, and apply carries them to
// images of other games and regions, all or nothing, field by field.
#include "CliRun.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

// Where an image's table starts, as identify reports it.
qint64 recordBase(const QString& image) {
    const QRegularExpressionMatch found =
        QRegularExpression("record base: 0x[0-9A-F]+ \\((\\d+)\\)")
            .match(runCli({"identify", image}).out);
    return found.hasMatch() ? found.captured(1).toLongLong() : -1;
}

// The offsets of the bytes that differ between two files of one length.
QList<qint64> differingBytes(const QByteArray& a, const QByteArray& b) {
    QList<qint64> offsets;
    for (qint64 i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            offsets.append(i);
    return offsets;
}

constexpr int kGarchomp = 444;

} // namespace

class TestPatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A sample image of `code` named `name`.
    QString sample(const QString& code, const QString& name) {
        QFile::remove(path(name));
        if (runCli({"sample", path(name), "--code", code}).status != 0)
            qFatal("no sample image");
        return path(name);
    }

    // Changes cells of the exported table of `image` (column -> value, on the row of
    // `position`) and imports it.
    void edit(const QString& image, int position, const QList<QPair<QString, QString>>& cells) {
        const QString csv = path("edit.csv");
        QCOMPARE(runCli({"export", image, "-o", csv}).status, 0);
        QList<QByteArray> lines = readFile(csv).split('\n');
        const QList<QByteArray> header = lines[0].split(',');
        QList<QByteArray> row = lines[position + 1].split(',');
        for (const auto& [column, value] : cells)
            row[header.indexOf(column.toUtf8())] = value.toUtf8();
        lines[position + 1] = row.join(',');
        writeFile(csv, lines.join('\n'));
        const CliOutcome imported = runCli({"import", image, csv});
        QVERIFY2(imported.status == 0, qPrintable(imported.err));
    }

    // A cell of the exported table of `image`.
    QByteArray cell(const QString& image, int position, const QByteArray& column) {
        const QList<QByteArray> lines = runCli({"export", image}).out.toUtf8().split('\n');
        return lines[position + 1].split(',')[lines[0].split(',').indexOf(column)];
    }

    // The Diamond patch of every test: Garchomp's speed up by 7, its first item the Master
    // Ball (1), and TM05 taken away or given.
    QString makePatch(const QString& format = "csv") {
        const QString before = sample("ADAE", "diamond.nds");
        const QString after = path("diamond-edited.nds");
        QFile::remove(after);
        if (!QFile::copy(before, after))
            qFatal("could not copy the sample image");
        m_speed = cell(before, kGarchomp, "speed").toInt();
        m_item = cell(before, kGarchomp, "item1").toInt();
        QByteArray tms = cell(before, kGarchomp, "tm_hm");
        m_hadTm05 = tms.contains("TM05");
        tms = m_hadTm05 ? tms.replace("TM05", "").simplified() : (tms + " TM05").simplified();
        // tm_hm lists the flags in order.
        QList<QByteArray> names = tms.split(' ');
        std::sort(names.begin(), names.end(), [](const QByteArray& a, const QByteArray& b) {
            return (a[0] == 'H') != (b[0] == 'H') ? a[0] == 'T' : a < b;
        });
        edit(after, kGarchomp,
             {{"speed", QString::number((m_speed + 7) % 256)},
              {"item1", "1"},
              {"tm_hm", QString::fromUtf8(names.join(' '))}});
        const QString patch = path("garchomp." + format);
        const CliOutcome made =
            runCli({"diff", before, after, "--patch", "-o", patch, "--format", format});
        return made.status == 0 ? patch : QString();
    }

    int m_speed = 0;
    int m_item = 0;
    bool m_hadTm05 = false;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void diffWritesThePatch() {
        const QString patch = makePatch();
        QVERIFY(!patch.isEmpty());
        const QString expected = QStringLiteral("# statwright patch 1, from ADAE Pokémon Diamond\n"
                                                "position,species,field,from,to\n"
                                                "444,Garchomp,speed,%1,%2\n"
                                                "444,Garchomp,item1,%3,1\n"
                                                "444,Garchomp,tm05,%4,%5\n")
                                     .arg(m_speed)
                                     .arg((m_speed + 7) % 256)
                                     .arg(m_item)
                                     .arg(m_hadTm05 ? 1 : 0)
                                     .arg(m_hadTm05 ? 0 : 1);
        QCOMPARE(QString::fromUtf8(readFile(patch)), expected);
    }

    // The patch changes in each image exactly the bytes of its fields: speed (byte 3), the
    // first item (12 and 13) and TM05 (bit 4 of byte 28), after a dry run that changes
    // nothing; the second time, every change is applied already.
    void appliesToOtherGames_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("format");
        QTest::newRow("Pearl") << "APAE"
                               << "csv";
        QTest::newRow("Platinum") << "CPUE"
                                  << "csv";
        QTest::newRow("HeartGold") << "IPKE"
                                   << "csv";
        QTest::newRow("Japanese SoulSilver, JSON") << "IPGJ"
                                                   << "json";
        QTest::newRow("Spanish Diamond, JSON") << "ADAS"
                                               << "json";
    }
    void appliesToOtherGames() {
        QFETCH(QString, code);
        QFETCH(QString, format);
        const QString patch = makePatch(format);
        const QString image = sample(code, "target.nds");
        // Its TM01 flag differs from the source's, and stays as it is.
        QByteArray tms = cell(image, kGarchomp, "tm_hm");
        const QByteArray other = tms.contains("TM01") ? tms.replace("TM01", "").simplified()
                                                      : ("TM01 " + tms).simplified();
        edit(image, kGarchomp, {{"tm_hm", QString::fromUtf8(other)}});
        const QByteArray before = readFile(image);
        const qint64 record = recordBase(image) + kGarchomp * 44;

        const CliOutcome dry = runCli({"apply", image, patch, "--dry-run"});
        QVERIFY(dry.out.endsWith("3 changes in 1 entry; dry run, nothing written\n"));
        QCOMPARE(readFile(image), before);
        const CliOutcome applied = runCli({"apply", image, patch});
        QVERIFY2(applied.status == 0, qPrintable(applied.err));
        QVERIFY(applied.out.endsWith("3 changes in 1 entry written\n"));
        const QByteArray after = readFile(image);
        for (const qint64 offset : differingBytes(before, after))
            QVERIFY2(
                QList<qint64>({record + 3, record + 12, record + 13, record + 28}).contains(offset),
                qPrintable(QString::number(offset - record)));
        QCOMPARE(quint8(after[record + 3]), quint8((m_speed + 7) % 256));
        QCOMPARE(quint8(after[record + 12]) | quint8(after[record + 13]) << 8, 1);
        QCOMPARE(quint8(after[record + 28] ^ before[record + 28]), quint8(0x10));

        const CliOutcome again = runCli({"apply", image, patch});
        QCOMPARE(again.status, 0);
        QCOMPARE(again.out.count(" already applied\n"), 3);
        // A flag's change reads alike whether it is made or found made.
        QVERIFY2(
            again.out.contains(QRegularExpression("\nGarchomp: tm_hm [+-]TM05 already applied\n")),
            qPrintable(again.out));
        QVERIFY(again.out.endsWith("every change already applied; nothing written\n"));
        QCOMPARE(readFile(image), after);
    }

    // All or nothing: a conflict, an entry the image lacks or a value it cannot hold writes
    // nothing, and says which change and why; --force makes what can be made.
    void refusedChanges_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("patch"); // the lines after the header
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("forced"); // what --force prints, or "" if it writes nothing
        QTest::newRow("conflict: the speed changed otherwise")
            << "APAE" << QByteArray("444,Garchomp,speed,SPEED,200\n")
            << "conflict: Garchomp: speed SPEED -> 200: the patch expects SPEED, the image holds "
               "250"
            << "Garchomp: speed 250 -> 200";
        QTest::newRow("conflict: a type, named")
            << "APAE" << QByteArray("0,Bulbasaur,type2,3,16\n")
            << "conflict: Bulbasaur: type2 Poison -> Dragon: the patch expects Poison, the image "
               "holds Normal"
            << "Bulbasaur: type2 Normal -> Dragon";
        QTest::newRow("a Platinum form in Diamond")
            << "ADAE" << QByteArray("503,Rotom (Wash),hp,HP503,60\n")
            << "no such entry: Rotom (Wash): hp HP503 -> 60: the image has no entry at position "
               "503, only 500"
            << "";
        QTest::newRow("Platinum's Griseous Orb in Diamond")
            << "ADAE" << QByteArray("0,Bulbasaur,item1,ITEM0,467\n")
            << "refused: Bulbasaur: item1 -No Item- -> 467: 467 is not in its list (0 to 464)"
            << "";
        QTest::newRow("HM05 teaches Whirlpool in HeartGold")
            << "IPKE" << QByteArray("0,Bulbasaur,hm05,OLDFLAG,NEWFLAG\n")
            << "conflict: Bulbasaur: tm_hm FLAGSIGNHM05: HM05 teaches Defog where the patch "
               "was made, Whirlpool in this image"
            << "Bulbasaur: tm_hm ";
    }
    void refusedChanges() {
        QFETCH(QString, code);
        QFETCH(QByteArray, patch);
        QFETCH(QString, said);
        QFETCH(QString, forced);
        const QString image = sample(code, "target.nds");
        const QString source = sample(code == "IPKE" ? "ADAE" : "CPUE", "source.nds");
        if (said.startsWith("conflict: Garchomp"))
            edit(image, kGarchomp, {{"speed", "250"}});
        const QString speed = cell(source, kGarchomp, "speed");
        const QString hm05 = cell(source, 0, "tm_hm").contains("HM05") ? "1" : "0";
        const QString flipped = hm05 == "1" ? "0" : "1";
        const QString hp503 = code == "IPKE" ? QString() : QString(cell(source, 503, "hp"));
        const auto fill = [&](QString text) {
            return text.replace("SPEED", speed)
                .replace("HP503", hp503)
                .replace("ITEM0", cell(source, 0, "item1"))
                .replace("OLDFLAG", hm05)
                .replace("NEWFLAG", flipped)
                .replace("FLAGSIGN", flipped == "1" ? "+" : "-");
        };
        const QString body = fill(QString::fromUtf8(patch));
        const QString file = path("refused.csv");
        writeFile(file, (QStringLiteral("# statwright patch 1, from %1 Test\n"
                                        "position,species,field,from,to\n")
                             .arg(code == "IPKE" ? "ADAE" : "CPUE") +
                         body)
                            .toUtf8());
        const QString expected = fill(said);
        const QByteArray before = readFile(image);

        const CliOutcome result = runCli({"apply", image, file});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(file + ": " + expected), qPrintable(result.err));
        QVERIFY(result.err.endsWith("; nothing was written\n"));
        QCOMPARE(readFile(image), before);

        // Forced, a patch of which nothing can be made still fails: nothing of it is written.
        const int forcedStatus = forced.isEmpty() ? 1 : 0;
        const CliOutcome dry = runCli({"apply", image, file, "--force", "--dry-run"});
        QCOMPARE(dry.status, forcedStatus);
        QCOMPARE(readFile(image), before);
        const CliOutcome force = runCli({"apply", image, file, "--force"});
        QCOMPARE(force.status, forcedStatus);
        if (forced.isEmpty()) {
            QVERIFY2(force.err.contains("skipped"), qPrintable(force.err));
            QVERIFY2(force.err.endsWith("could be made in " + image + "; nothing was written\n"),
                     qPrintable(force.err));
            QCOMPARE(readFile(image), before);
        } else {
            QVERIFY2(force.out.startsWith(forced), qPrintable(force.out));
            QVERIFY(force.out.contains("overrode a conflict"));
            QVERIFY(readFile(image) != before);
        }
    }

    // A patch that is wrong in itself is refused before the image is looked at.
    void malformedPatches_data() {
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QString>("said");
        const QByteArray columns = "position,species,field,from,to\n";
        const QByteArray head = "# statwright patch 1, from ADAE Pokémon Diamond\n" + columns;
        QTest::newRow("unknown field") << head + "444,Garchomp,speedy,1,2\n"
                                       << ":3: field: \"speedy\" is no field of the table";
        QTest::newRow("tm_hm") << head + "444,Garchomp,tm_hm,1,2\n"
                               << ":3: field: a patch names each flag";
        QTest::newRow("unknown species")
            << head + "444,Garchmop,hp,1,2\n"
            << ":3: species: \"Garchmop\" does not stand at position 444, \"Garchomp\" does";
        QTest::newRow("a right-to-left override in a name")
            << head + "444,Garch\u202Eomp,hp,1,2\n"
            << ":3: species: \"Garch\\u202Eomp\" does not stand at position 444";
        QTest::newRow("spaces around a name are fine, a shifted row is not")
            << head + "444, Garchomp ,hp,1,2\n445,Garchomp,hp,1,2\n"
            << ":4: species: \"Garchomp\" does not stand at position 445, \"Munchlax\" does";
        QTest::newRow("duplicate change")
            << head + "444,Garchomp,hp,1,2\n444,Garchomp,hp,1,3\n"
            << ":4: changes hp of Garchomp again, as line 3 does already";
        QTest::newRow("wrong version")
            << QByteArray("# statwright patch 2, from ADAE Pokémon Diamond\n") + columns
            << ":1: version 2 of the patch format is not known: this program reads version 1";
        QTest::newRow("no first line") << columns + "444,Garchomp,hp,1,2\n"
                                       << ":1: the first line must be";
        QTest::newRow("unknown game")
            << QByteArray("# statwright patch 1, from XXXX Game\n") + columns
            << ":1: unknown game code \"XXXX\"";
        QTest::newRow("a title that is not UTF-8")
            << QByteArray("# statwright patch 1, from ADAE Pok\xE9mon Diamond\n") + columns
            << ":1: the image's title holds what is not printable UTF-8 text";
        QTest::newRow("a flag of 2") << head + "444,Garchomp,tm05,0,2\n"
                                     << ":3: to: 2 is not between 0 and 1";
        QTest::newRow("position beyond every table")
            << head + "507,Garchomp,hp,1,2\n"
            << ":3: position: 507 is not between 0 and 506";
        QTest::newRow("JSON: wrong version")
            << QByteArray(R"({"format": "statwright-patch", "version": 2,
                "from": {"code": "ADAE", "title": "Pokémon Diamond"}, "changes": []})")
            << ": version: version 2 of the patch format is not known";
        QTest::newRow("JSON: unknown member")
            << QByteArray(R"({"format": "statwright-patch", "version": 1,
                "from": {"code": "ADAE", "title": "Pokémon Diamond"},
                "changes": [{"position": 444, "species": "Garchomp", "field": "hp",
                             "from": 1, "to": 2, "by": "me"}]})")
            << ": changes[0].by: unknown member";
        QTest::newRow("JSON: a member twice")
            << QByteArray(R"({"format": "statwright-patch", "version": 1,
                "from": {"code": "ADAE", "title": "Pokémon Diamond"},
                "changes": [{"position": 444, "position": 445}]})")
            << ": changes[0].position: the member appears twice";
        QTest::newRow("JSON: a number as a string")
            << QByteArray(R"({"format": "statwright-patch", "version": 1,
                "from": {"code": "ADAE", "title": "Pokémon Diamond"},
                "changes": [{"position": 444, "species": "Garchomp", "field": "hp",
                             "from": "1", "to": 2}]})")
            << ": changes[0].from: must be a number, not the string \"1\"";
        QTest::newRow("JSON: a number beyond every range")
            << QByteArray(R"({"version": 1E99999})") << ":1: number overflow parsing '1E99999'";
        QTest::newRow("JSON: nested too deep")
            << QByteArray(R"({"changes": [{"position": [[[1]]]}]})")
            << ": the values nest more than 4";
    }
    void malformedPatches() {
        QFETCH(QByteArray, patch);
        QFETCH(QString, said);
        const bool json = patch.startsWith('{');
        const QString file = path(json ? "bad.json" : "bad.csv");
        writeFile(file, patch);
        const QString image = sample("ADAE", "target.nds");
        const QByteArray before = readFile(image);
        const CliOutcome result = runCli({"apply", image, file});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(file + said), qPrintable(result.err));
        QVERIFY(result.err.endsWith("; nothing was written\n"));
        QCOMPARE(readFile(image), before);
    }

    // Only patches are made with the options of one.
    void patchOptions() {
        const QString a = sample("ADAE", "a.nds");
        const CliOutcome result = runCli({"diff", a, a, "-o", path("p.csv")});
        QCOMPARE(result.status, 2);
        QVERIFY(result.err.contains("--format csv or json, and --output, go with --patch"));
        QCOMPARE(runCli({"diff", a, a, "--patch", "-o", a}).status, 2);
        const CliOutcome empty = runCli({"diff", a, a, "--patch"});
        QCOMPARE(empty.status, 0);
        QCOMPARE(empty.out.count('\n'), 2);
        const QString p = path("empty.csv");
        writeFile(p, empty.out.toUtf8());
        QCOMPARE(runCli({"apply", a, p}).out,
                 QStringLiteral("the patch holds no changes; nothing written\n"));
        // Platinum's seven forms are only in one image: named, and left out.
        const QString platinum = sample("CPUE", "platinum.nds");
        const CliOutcome across = runCli({"diff", a, platinum, "--patch"});
        QCOMPARE(across.status, 0);
        QCOMPARE(across.err, "statwright-cli: positions 500 to 506 (Giratina (Origin) to Rotom "
                             "(Mow)) are only in " +
                                 platinum + "; the patch leaves them out\n");
        QVERIFY(!across.out.contains(QRegularExpression("\n50[0-6],")));
    }
};

QTEST_GUILESS_MAIN(TestPatch)
#include "tst_patch.moc"
