// Egg moves: the game's one list, found by its shape where each game reads it (the one member
// of an archive, or ARM9 overlay 5) or refused; written whole within the game's bound with
// every other byte as it was, checked against lists the test lays out itself; a list that would
// pass the bound refused; a crash at every call of a save; the CLI's export, import, diff,
// patches and check.
#include "CliRun.h"
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"

#include "species/EggMoveKind.h"
#include "species/EggMoveRules.h"
#include "species/ImageDocument.h"
#include "species/Vocabulary.h"

#include <QtTest/QTest>

using species::Field;
using Moves = QMap<int, QList<quint16>>;

namespace {

constexpr quint16 kBite = 44, kFlamethrower = 53, kExtremeSpeed = 245;

int boundOf(const QByteArray& code) {
    return code.startsWith("IPK") || code.startsWith("IPG") ? 2046 : 1910;
}

// Made-up egg moves by species number: one species in four has one to five; Charmander has
// Bite and Flamethrower, Deoxys ExtremeSpeed.
Moves madeUp() {
    Moves moves;
    for (int species = 1; species <= 493; species += 4)
        for (int i = 0; i <= species % 5; ++i)
            moves[species].append(quint16(1 + (species * 11 + i * 37) % 467));
    moves[4] = {kBite, kFlamethrower};
    moves[386] = {kExtremeSpeed};
    return moves;
}

int wordsOf(const Moves& moves) {
    int words = 1;
    for (const QList<quint16>& list : moves)
        words += list.isEmpty() ? 0 : 1 + int(list.size());
    return words;
}

// The made-up moves with more species given moves until the list has no word free.
Moves fullList(int bound) {
    Moves moves = madeUp();
    for (int species = 2; wordsOf(moves) < bound; ++species) {
        const int room = bound - wordsOf(moves);
        if (room == 1) {
            moves[1].append(300);
            break;
        }
        if (moves.contains(species))
            continue;
        for (int i = 0; i < std::min(16, room - 1); ++i)
            moves[species].append(quint16(1 + (species * 3 + i * 41) % 467));
    }
    return moves;
}

std::vector<int> itemsOf(const QList<quint16>& list) {
    return {list.begin(), list.end()};
}

// Words that look like ARM code: neither markers nor moves.
QByteArray code(int bytes) {
    QByteArray words;
    while (words.size() < bytes)
        words += QByteArray("\x10\x40\x2D\xE9", 4);
    return words.left(bytes);
}

struct EggImage {
    QString path;
    QByteArray bytes;
    qint64 listAt = 0; // where the list starts in the image
};

// An image of `code` with its base stats, and `list` where its game reads egg moves: the one
// member of /a/2/2/9, or ARM9 overlay 5 between `before` and 0x80 bytes of code.
EggImage makeImage(SyntheticRom& roms, const QByteArray& gameCode, const QByteArray& list,
                   bool compressed = false, const QByteArray& before = code(0x100)) {
    EggImage image;
    image.path = roms.create("image.nds", gameCode, 0x400);
    auto system =
        SyntheticFileSystem::forGame(gameCode, SyntheticFileSystem::Layout::DecoyAtFixedBase);
    const bool archive = gameCode.startsWith("IPK") || gameCode.startsWith("IPG");
    const QString holder =
        system.addEggMoves(gameCode, archive ? list : before + list + code(0x80), compressed);
    system.writeInto(image.path);
    // A NARC of one member: its header, one allocation entry, the name and image sections.
    image.listAt = system.offsetOf(holder) + (archive ? 16 + 12 + 8 + 16 + 8 : before.size());
    image.bytes = readFile(image.path);
    return image;
}

// The changes that give `species` (a species number) `after` as its egg moves.
species::Change eggChange(const Moves& before, int species, const QList<quint16>& after) {
    return {species - 1, Field::EggMoves, species::Value::list(itemsOf(before.value(species))),
            species::Value::list(itemsOf(after))};
}

// That the image holds `expected` from `at` on and, outside it, the bytes it had.
void compareImage(const QByteArray& now, const QByteArray& before, qint64 at,
                  const QByteArray& expected) {
    QCOMPARE(now.size(), before.size());
    QCOMPARE(now.mid(at, expected.size()), expected);
    QCOMPARE(now.left(at), before.left(at));
    QCOMPARE(now.mid(at + expected.size()), before.mid(at + expected.size()));
}

} // namespace

class TestEggMoves : public QObject {
    Q_OBJECT

private slots:
    // Where the list starts, by its shape alone: a marker not after a marker or a move, markers
    // in ascending order with moves between them, the end mark within the bound.
    void theListsShape_data() {
        QTest::addColumn<QList<quint16>>("words");
        QTest::addColumn<int>("bound");
        QTest::addColumn<QList<int>>("starts");
        const quint16 end = 0xFFFF;
        QTest::newRow("one list") << QList<quint16>{0, 20001, 5, 6, 20004, 44, end} << 8
                                  << QList<int>{1};
        QTest::newRow("its end mark past the bound")
            << QList<quint16>{20001, 5, 6, 20004, 44, end} << 5 << QList<int>{};
        QTest::newRow("after a move: inside another run")
            << QList<quint16>{33, 20001, 5, end} << 8 << QList<int>{};
        QTest::newRow("markers out of order")
            << QList<quint16>{20004, 5, 20001, 6, end} << 8 << QList<int>{};
        QTest::newRow("a move out of range")
            << QList<quint16>{20001, 468, end} << 8 << QList<int>{};
        QTest::newRow("two lists")
            << QList<quint16>{20001, 5, end, 0, 20002, 7, end} << 8 << QList<int>{0, 4};
        QTest::newRow("a species past 493") << QList<quint16>{20494, 5, end} << 8 << QList<int>{};
    }
    void theListsShape() {
        QFETCH(QList<quint16>, words);
        QFETCH(int, bound);
        QFETCH(QList<int>, starts);
        const std::vector<std::uint16_t> list(words.begin(), words.end());
        const std::vector<std::size_t> found = species::eggListStarts(list, bound);
        QCOMPARE(QList<int>(found.begin(), found.end()), starts);
    }

    // What Add refuses in a species' egg moves, and a list that does not fit its bound.
    void whatTheRulesRefuse_data() {
        QTest::addColumn<QList<quint16>>("moves");
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("free");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("one word free, one needed") << QList<quint16>{kBite} << 33 << 1 << "";
        QTest::newRow("a species without: a marker too")
            << QList<quint16>{} << 33 << 1 << "has 1 word free, and this move needs 2";
        QTest::newRow("sixteen") << QList<quint16>(16, 1) << 33 << 50 << "at most 16 egg moves";
        QTest::newRow("already there")
            << QList<quint16>{kBite} << int(kBite) << 50 << "Bite is one of them already";
    }
    void whatTheRulesRefuse() {
        QFETCH(QList<quint16>, moves);
        QFETCH(int, move);
        QFETCH(int, free);
        QFETCH(QString, refusal);
        const std::optional<std::string> refused =
            species::eggMoveAddRefusal(itemsOf(moves), move, free);
        QCOMPARE(refused.has_value(), !refusal.isEmpty());
        if (refused)
            QVERIFY2(QString::fromStdString(*refused).contains(refusal), refused->c_str());
    }

    // Each game's list is found where the game reads it, and read per species: a form shows
    // its species' moves, an Egg none. What the game could not read as its one list is no list,
    // and says why: the image's other tables are read as ever.
    void findsTheList_data() {
        QTest::addColumn<QByteArray>("gameCode");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Diamond") << QByteArray("ADAE") << "";
        QTest::newRow("Pearl") << QByteArray("APAE") << "";
        QTest::newRow("Platinum") << QByteArray("CPUE") << "";
        QTest::newRow("HeartGold") << QByteArray("IPKE") << "";
        QTest::newRow("SoulSilver") << QByteArray("IPGE") << "";
        QTest::newRow("a compressed overlay")
            << QByteArray("CPUE") << "ARM9 overlay 5 is compressed";
        QTest::newRow("two lists")
            << QByteArray("ADAE") << "ARM9 overlay 5 holds 2 lists of egg moves";
        QTest::newRow("after a move") << QByteArray("APAE") << "holds no list of egg moves";
        QTest::newRow("no list") << QByteArray("IPKE") << "/a/2/2/9 holds no list of egg moves";
    }
    void findsTheList() {
        QFETCH(QByteArray, gameCode);
        QFETCH(QString, refusal);
        SyntheticRom roms;
        const Moves moves = madeUp();
        QByteArray list = SyntheticFileSystem::eggList(moves, boundOf(gameCode));
        QByteArray before = code(0x100);
        if (refusal.contains("2 lists"))
            before += list;
        if (refusal == "holds no list of egg moves")
            before += QByteArray("\x21\x00", 2); // move 33 right before the first marker
        if (refusal.contains("/a/2/2/9"))
            list.fill('\0');
        const EggImage image =
            makeImage(roms, gameCode, list, refusal.contains("compressed"), before);

        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        QVERIFY(document.table(species::Kind::BaseStats).place);
        const species::KindTable& table = document.table(species::Kind::EggMoves);
        const CliOutcome exported = runCli({"export", image.path, "--egg-moves"});
        if (!refusal.isEmpty()) {
            QVERIFY(!table.place);
            QVERIFY2(QString::fromStdString(table.missing->describe()).contains(refusal),
                     table.missing->describe().c_str());
            QCOMPARE(exported.status, 1);
            QVERIFY2(exported.err.contains(refusal), qPrintable(exported.err));
            QCOMPARE(runCli({"export", image.path}).status, 0);
            return;
        }
        QVERIFY(table.place);
        QCOMPARE(table.place->base, image.listAt);
        QCOMPARE(exported.status, 0);
        for (const int species : {1, 4, 5, 386, 493})
            QCOMPARE(document.value(species - 1, Field::EggMoves),
                     species::Value::list(itemsOf(moves.value(species))));
        QCOMPARE(document.value(495, Field::EggMoves), species::Value::list({kExtremeSpeed}));
        QCOMPARE(document.value(493, Field::EggMoves), species::Value::list({}));
    }

    // Moves moved between species in a list with no word free: the whole list written anew,
    // within the bound; nothing outside it changes. One word more is refused, and nothing is
    // written.
    void writesTheListWithinItsBound_data() {
        QTest::addColumn<QByteArray>("gameCode");
        QTest::newRow("Diamond, overlay 5") << QByteArray("ADAE");
        QTest::newRow("HeartGold, /a/2/2/9") << QByteArray("IPKE");
    }
    void writesTheListWithinItsBound() {
        QFETCH(QByteArray, gameCode);
        SyntheticRom roms;
        const int bound = boundOf(gameCode);
        const Moves moves = fullList(bound);
        const EggImage image =
            makeImage(roms, gameCode, SyntheticFileSystem::eggList(moves, bound));
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        QCOMPARE(species::eggListFreeWords(*document.table(species::Kind::EggMoves).place,
                                           document.records(species::Kind::EggMoves)),
                 0);

        // Bulbasaur gives one move up, Charmander takes one more.
        Moves after = moves;
        after[1].removeFirst();
        after[4].append(kExtremeSpeed);
        const std::vector<species::Change> batch{eggChange(moves, 1, after[1]),
                                                 eggChange(moves, 4, after[4])};
        const base::Result<species::SaveOutcome> saved = document.save(batch, "t");
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().describe().c_str());
        compareImage(readFile(image.path), image.bytes, image.listAt,
                     SyntheticFileSystem::eggList(after, bound));

        // One move more than the list has room for.
        const QByteArray written = readFile(image.path);
        Moves more = after;
        more[4].append(kBite + 1);
        const std::vector<species::Change> tooMany{eggChange(after, 4, more[4])};
        const base::Result<species::SaveOutcome> refused = document.save(tooMany, "t");
        QVERIFY(!refused.ok());
        QVERIFY2(QString::fromStdString(refused.error().describe())
                     .contains(QStringLiteral("1 more than its %1").arg(bound)),
                 refused.error().describe().c_str());
        QCOMPARE(readFile(image.path), written);
    }

    // A save of a base stat and the egg moves killed at every call: the image is found with
    // its old bytes or its new ones, never a mix, and recovery accepts the list's bytes.
    void crashAtEveryCallOfASave() {
        SyntheticRom roms;
        const Moves moves = madeUp();
        const EggImage image = makeImage(roms, "CPUE", SyntheticFileSystem::eggList(moves, 1910));
        Moves after = moves;
        after[4] = {kExtremeSpeed};
        after[7] = {kBite, kFlamethrower};
        const auto save = [&](files::SysIo& io) {
            species::ImageDocument document(io, local(image.path));
            if (!document.open().ok())
                return false;
            const std::vector<species::Change> batch{
                {3, Field::HP, document.value(3, Field::HP), 77},
                eggChange(moves, 4, after[4]),
                eggChange(moves, 7, after[7])};
            return document.save(batch, "t").ok();
        };
        QVERIFY(save(files::systemIo()));
        const QByteArray newBytes = readFile(image.path);
        QCOMPARE(newBytes.mid(image.listAt, 2 * 1910), SyntheticFileSystem::eggList(after, 1910));

        int sawOld = 0, sawNew = 0;
        for (int calls = 0;; ++calls) {
            writeFile(image.path, image.bytes);
            FaultInjectingIo io;
            io.crashAfter(calls);
            (void)save(io);
            species::ImageDocument next(files::systemIo(), local(image.path));
            const base::Result<species::ImageReport> opened = next.open();
            QVERIFY2(opened.ok(), qPrintable(QStringLiteral("after %1 calls").arg(calls)));
            const QByteArray now = readFile(image.path);
            QVERIFY2(now == image.bytes || now == newBytes,
                     qPrintable(QStringLiteral("a mix after %1 calls").arg(calls)));
            (now == image.bytes ? sawOld : sawNew)++;
            if (!io.crashed())
                break;
            QVERIFY(calls < 300);
        }
        QVERIFY(sawOld > 3 && sawNew >= 1);
    }

    // export --egg-moves: a row a move, one empty row for an entry without, a form's rows its
    // species' moves; by number, by name, or in JSON. Imported unchanged, every row included,
    // it writes nothing.
    void exportsAndImportsUnchanged_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("holds");
        QTest::newRow("CSV by number")
            << QStringList{} << "e.csv"
            << QStringList{"position,species,move\n0,Bulbasaur,12\n0,Bulbasaur,49\n1,Ivysaur,\n",
                           "\n3,Charmander,44\n3,Charmander,53\n4,Charmeleon,",
                           "\n495,Deoxys (Attack),245\n"};
        QTest::newRow("CSV by name")
            << QStringList{"--names"} << "e.csv"
            << QStringList{"\n0,Bulbasaur,Guillotine\n0,Bulbasaur,SonicBoom\n",
                           "\n3,Charmander,Bite\n3,Charmander,Flamethrower\n", "\n493,???,\n"};
        QTest::newRow("JSON by name")
            << QStringList{"--names"} << "e.json"
            << QStringList{"\"species\": \"Charmander\",\n      \"egg_moves\": [\n        "
                           "\"Bite\",\n        \"Flamethrower\"\n      ]"};
    }
    void exportsAndImportsUnchanged() {
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(QStringList, holds);
        SyntheticRom roms;
        const EggImage image =
            makeImage(roms, "IPKE", SyntheticFileSystem::eggList(madeUp(), 2046));
        const QString table = roms.folder() + "/" + file;
        QCOMPARE(
            runCli(QStringList{"export", image.path, "--egg-moves", "-o", table} + options).status,
            0);
        const QString text = QString::fromUtf8(readFile(table));
        for (const QString& part : holds)
            QVERIFY2(text.contains(part), qPrintable(part));
        const CliOutcome imported = runCli({"import", image.path, table});
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out, QStringLiteral("no changes; nothing written\n"));
        QCOMPARE(readFile(image.path), image.bytes);
    }

    // A table's rows replace an entry's egg moves in the order given, an empty move empties
    // them; diff says what changed, its patch applied to the old image writes the same bytes;
    // a form's rows and a table that passes the bound are refused before anything is written.
    void importsDiffsAndPatches() {
        SyntheticRom roms;
        const Moves moves = madeUp();
        const EggImage image = makeImage(roms, "ADAE", SyntheticFileSystem::eggList(moves, 1910));
        const QString old = roms.folder() + "/old.nds";
        QVERIFY(QFile::copy(image.path, old));
        const QString table = roms.folder() + "/t.csv";
        writeFile(table, "position,species,move\n3,Charmander,Extreme Speed\n3,Charmander,"
                         "Flamethrower\n0,Bulbasaur,\n");
        const CliOutcome imported = runCli({"import", image.path, table});
        QCOMPARE(imported.status, 0);
        QVERIFY2(imported.out.contains("Charmander: Egg moves: + ExtremeSpeed, - Bite\n"),
                 qPrintable(imported.out));
        Moves after = moves;
        after[4] = {kExtremeSpeed, kFlamethrower};
        after.remove(1);
        compareImage(readFile(image.path), image.bytes, image.listAt,
                     SyntheticFileSystem::eggList(after, 1910));

        const CliOutcome diff = runCli({"diff", "-f", "markdown", old, image.path});
        QVERIFY2(diff.out.contains("- Egg moves: + ExtremeSpeed, - Bite\n"), qPrintable(diff.out));
        const QString patch = roms.folder() + "/p.csv";
        QCOMPARE(runCli({"diff", "--patch", old, image.path, "-o", patch}).status, 0);
        QCOMPARE(runCli({"apply", old, patch}).status, 0);
        QCOMPARE(readFile(old), readFile(image.path));

        const QByteArray written = readFile(image.path);
        QString many = "position,species,move\n";
        for (int position = 100; position < 300; ++position)
            for (int move = 1; move <= 10; ++move)
                many += QStringLiteral("%1,%2,%3\n")
                            .arg(position)
                            .arg(QString::fromStdString(vocabulary::entryName(position)))
                            .arg(move);
        writeFile(table, many.toUtf8() + "496,Deoxys (Defense),Bite\n");
        const CliOutcome refused = runCli({"import", image.path, table});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains("Deoxys (Defense): it is a form, whose egg moves are those "
                                      "of Deoxys"),
                 qPrintable(refused.err));
        const int needed = wordsOf(after) + 200 * 11 - [&] {
            int held = 0;
            for (int species = 101; species <= 300; ++species)
                held += moves.contains(species) ? 1 + int(moves[species].size()) : 0;
            return held;
        }();
        QVERIFY2(refused.err.contains(QStringLiteral("%1 more than its 1910").arg(needed - 1910)),
                 qPrintable(refused.err));
        QCOMPARE(readFile(image.path), written);
    }

    // check says where the list lies and how many words are free, and names a species with
    // more egg moves than the game reads.
    void checkNamesWhatItSees() {
        SyntheticRom roms;
        Moves moves = madeUp();
        moves[7] = QList<quint16>(17, kBite);
        const EggImage image = makeImage(roms, "IPGE", SyntheticFileSystem::eggList(moves, 2046));
        const CliOutcome checked = runCli({"check", image.path});
        QCOMPARE(checked.status, 0);
        QVERIFY2(checked.out.contains(QStringLiteral("egg moves: /a/2/2/9 at 0x%1, %2 words free "
                                                     "of 2046\n")
                                          .arg(QString::number(image.listAt, 16).toUpper())
                                          .arg(2046 - wordsOf(moves))),
                 qPrintable(checked.out));
        QVERIFY2(checked.out.contains("egg moves of Squirtle: 17, of which the game reads 16\n"),
                 qPrintable(checked.out));
    }
};

QTEST_GUILESS_MAIN(TestEggMoves)
#include "tst_egg_moves.moc"
