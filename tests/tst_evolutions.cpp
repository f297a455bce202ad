// The evolution records: their bytes, their words and their value rules; the archive each game
// reads, found in synthetic images; one batch that writes both records of an entry; and
// statwright-cli's export, import, check, diff and apply of evolution tables.
#include "CliRun.h"
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"

#include "files/SysIo.h"
#include "species/EvolutionRules.h"
#include "species/ImageDocument.h"

#include <QtTest/QTest>

using species::Field;
using species::SlotPart;

namespace {

Field field(int slot, SlotPart part) {
    return species::evolution(slot, part);
}

// A synthetic image of `code` with a file system, its base-stat archive and, unless
// `evolutionMembers` is 0, an evolution archive of that many members (-1: as many as the
// game's); the path of that archive.
struct Image {
    QString path;
    SyntheticFileSystem system;
    QString evolutions;
};

Image makeImage(SyntheticRom& roms, const QByteArray& code, int evolutionMembers = -1) {
    Image image;
    image.path = roms.create("image.nds", code, 0x400);
    image.system =
        SyntheticFileSystem::forGame(code, SyntheticFileSystem::Layout::DecoyAtFixedBase);
    if (evolutionMembers != 0)
        image.evolutions = image.system.addEvolutions(code, evolutionMembers);
    image.system.writeInto(image.path);
    return image;
}

qint64 evolutionRecord(const Image& image, int position) {
    return image.system.recordBaseOf(image.evolutions) + 44LL * position;
}

// Slot `slot` (0 to 6) of an evolution record as its six bytes.
void writeSlot(const Image& image, int position, int slot, const QByteArray& hex) {
    SyntheticRom::write(image.path, evolutionRecord(image, position) + 6 * slot,
                        QByteArray::fromHex(hex));
}

} // namespace

class TestEvolutions : public QObject {
    Q_OBJECT

private slots:
    void init() { m_roms = std::make_unique<SyntheticRom>(); }

    // Each kind of parameter, in slots from first to last: the six bytes the slot is stored
    // as (three little-endian words) and the slot in words.
    void slotRoundTrip_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("words");
        QTest::newRow("level, slot 1")
            << 0 << 4 << 16 << 2 << QByteArray("040010000200") << "Level 16 -> Ivysaur";
        QTest::newRow("item, slot 3") << 2 << 7 << 82 << 136 << QByteArray("070052008800")
                                      << "Use item Fire Stone -> Flareon";
        QTest::newRow("item held at night, slot 7")
            << 6 << 19 << 327 << 472 << QByteArray("13004701d801")
            << "Level up by night holding item Razor Fang -> Gliscor";
        QTest::newRow("move, slot 2") << 1 << 20 << 246 << 465 << QByteArray("1400f600d101")
                                      << "Level up knowing move AncientPower -> Tangrowth";
        QTest::newRow("species, slot 5") << 4 << 21 << 223 << 226 << QByteArray("1500df00e200")
                                         << "Level up with species in party Remoraid -> Mantine";
        QTest::newRow("beauty, slot 4")
            << 3 << 15 << 170 << 350 << QByteArray("0f00aa005e01") << "Beauty 170 -> Milotic";
        QTest::newRow("none, slot 6")
            << 5 << 5 << 0 << 68 << QByteArray("050000004400") << "Trade -> Machamp";
        QTest::newRow("a method no game has")
            << 1 << 40 << 3 << 600 << QByteArray("280003005802") << "Value 40 -> Value 600";
    }
    void slotRoundTrip() {
        QFETCH(int, slot);
        QFETCH(int, method);
        QFETCH(int, parameter);
        QFETCH(int, target);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, words);
        std::array<std::uint8_t, 44> original{};
        for (std::size_t n = 0; n < original.size(); ++n)
            original[n] = static_cast<std::uint8_t>(0xA0 + n);
        species::Record record{std::span<const std::uint8_t, 44>(original)};
        record.set(field(slot, SlotPart::Method), method);
        record.set(field(slot, SlotPart::Parameter), parameter);
        record.set(field(slot, SlotPart::Target), target);

        const auto& stored = record.bytes();
        const QByteArray written(reinterpret_cast<const char*>(stored.data()), 44);
        QCOMPARE(written.mid(6 * slot, 6).toHex(), bytes);
        // Every other byte, the two the game never reads included, is as it was.
        for (int n = 0; n < 44; ++n)
            if (n < 6 * slot || n >= 6 * slot + 6)
                QCOMPARE(int(stored[std::size_t(n)]), 0xA0 + n);
        const species::Record back = species::Record::at(stored);
        QCOMPARE(back.get(field(slot, SlotPart::Method)), method);
        QCOMPARE(back.get(field(slot, SlotPart::Parameter)), parameter);
        QCOMPARE(back.get(field(slot, SlotPart::Target)), target);
        QCOMPARE(QString::fromStdString(species::slotText(back, slot, nds::Game::Diamond)), words);
    }

    // The value rules: what a slot may hold, by the method's kind of parameter and the game.
    void valueRules_data() {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("refusal"); // empty: allowed
        const int target = int(SlotPart::Target), parameter = int(SlotPart::Parameter);
        const int diamond = int(nds::Game::Diamond), platinum = int(nds::Game::Platinum),
                  heartGold = int(nds::Game::HeartGold);
        QTest::newRow("target 493") << target << 0 << 493 << 4 << 2 << diamond << "";
        QTest::newRow("target 494")
            << target << 0 << 494 << 4 << 2 << diamond << "494 is not between 1 and 493";
        QTest::newRow("no target for a used slot")
            << target << 0 << 0 << 4 << 2 << diamond << "0 is not between 1 and 493";
        QTest::newRow("a target for an empty slot")
            << target << 0 << 5 << 0 << 0 << diamond << "5 is not 0, as (none) takes no target";
        QTest::newRow("level 100") << parameter << 0 << 100 << 4 << 16 << diamond << "";
        QTest::newRow("level 101")
            << parameter << 0 << 101 << 4 << 16 << diamond << "101 is not between 1 and 100";
        QTest::newRow("level 0") << parameter << 0 << 0 << 22 << 16 << diamond
                                 << "0 is not between 1 and 100";
        QTest::newRow("Platinum's last item") << parameter << 0 << 467 << 7 << 82 << platinum << "";
        QTest::newRow("an item beyond Platinum's")
            << parameter << 0 << 468 << 7 << 82 << platinum << "468 is not between 1 and 467";
        QTest::newRow("HeartGold's last item")
            << parameter << 0 << 536 << 6 << 82 << heartGold << "";
        QTest::newRow("move 467") << parameter << 0 << 467 << 20 << 246 << diamond << "";
        QTest::newRow("move 468") << parameter << 0 << 468 << 20 << 246 << diamond
                                  << "468 is not between 1 and 467";
        QTest::newRow("beauty 0") << parameter << 0 << 0 << 15 << 170 << diamond << "";
        QTest::newRow("a parameter for a trade")
            << parameter << 0 << 5 << 5 << 0 << diamond << "5 is not 0, as Trade takes no";
        QTest::newRow("a value the image holds is kept")
            << target << 0 << 600 << 4 << 600 << diamond << "";
        QTest::newRow("a form reads no evolutions")
            << target << 493 << 2 << 4 << 0 << platinum
            << "is no species of its own: the game reads no evolutions for it";
    }
    void valueRules() {
        QFETCH(int, part);
        QFETCH(int, position);
        QFETCH(int, value);
        QFETCH(int, method);
        QFETCH(int, current);
        QFETCH(int, game);
        QFETCH(QString, refusal);
        const std::optional<std::string> why = species::evolutionRefusal(
            field(2, SlotPart(part)), position, value, method, current, nds::Game(game));
        if (refusal.isEmpty()) {
            QVERIFY2(!why, why ? why->c_str() : "");
            return;
        }
        QVERIFY(why);
        QVERIFY2(QString::fromStdString(*why).contains(refusal), why->c_str());
    }

    // Each game's archive, found by its path after another archive of the same shape; and the
    // images that have none the program can use.
    void findsTheArchive_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<int>("members");
        QTest::addColumn<QString>("found"); // the archive, or what the reason says
        QTest::newRow("Diamond") << QByteArray("ADAE") << -1 << "/poketool/personal/evo.narc";
        QTest::newRow("Pearl") << QByteArray("APAS") << -1 << "/poketool/personal/evo.narc";
        QTest::newRow("Platinum") << QByteArray("CPUJ") << -1 << "/poketool/personal/evo.narc";
        QTest::newRow("HeartGold") << QByteArray("IPKE") << -1 << "/a/0/3/4";
        QTest::newRow("SoulSilver") << QByteArray("IPGD") << -1 << "/a/0/3/4";
        QTest::newRow("too few members") << QByteArray("CPUE") << 501 << "508";
        QTest::newRow("none at all") << QByteArray("IPKE") << 0 << "/a/0/3/4";
    }
    void findsTheArchive() {
        QFETCH(QByteArray, code);
        QFETCH(int, members);
        QFETCH(QString, found);
        const Image image = makeImage(*m_roms, code, members);
        species::ImageDocument document(files::systemIo(), image.path.toStdString());
        const base::Result<species::ImageReport> report = document.open();
        QVERIFY(report.ok());
        const species::KindTable& evolutions = report.value().table(species::Kind::Evolutions);
        if (members != -1) {
            QVERIFY(!evolutions.place);
            QVERIFY(evolutions.missing);
            QVERIFY2(QString::fromStdString(evolutions.missing->describe()).contains(found),
                     evolutions.missing->describe().c_str());
            return;
        }
        QCOMPARE(QString::fromStdString(evolutions.place->archive), found);
        QCOMPARE(evolutions.place->base, evolutionRecord(image, 0));
        QCOMPARE(evolutions.records.size(),
                 std::size_t(report.value().table(species::Kind::BaseStats).place->entries));
    }

    void imageWithoutFileSystemHasNone() {
        const QString path = m_roms->createFor("ADAE");
        species::ImageDocument document(files::systemIo(), path.toStdString());
        QVERIFY(document.open().ok());
        const species::KindTable& evolutions = document.table(species::Kind::Evolutions);
        QVERIFY(!evolutions.place);
        QVERIFY(QString::fromStdString(evolutions.missing->describe())
                    .contains("no file system, so no evolution table"));
        // A change of an evolution field has nowhere to go: nothing is written.
        const QByteArray before = SyntheticRom::sha256(path);
        const std::vector<species::Change> changes{document.changeTo(0, Field::HP, 9),
                                                   {0, field(0, SlotPart::Parameter), 0, 12}};
        QVERIFY(!document.save(changes, "test").ok());
        QCOMPARE(SyntheticRom::sha256(path), before);
    }

    // Both records of an entry in one batch: only their bytes change, and undo takes both back.
    void oneBatchWritesBothRecords() {
        const Image image = makeImage(*m_roms, "IPKE");
        writeSlot(image, 0, 0, "040010000200");
        const QByteArray before = readFile(image.path);
        species::ImageDocument document(files::systemIo(), image.path.toStdString());
        QVERIFY(document.open().ok());
        const std::vector<species::Change> changes{document.changeTo(0, Field::HP, 0x2D),
                                                   {0, field(0, SlotPart::Parameter), 16, 12},
                                                   {0, field(1, SlotPart::Method), 0, 7},
                                                   {0, field(1, SlotPart::Parameter), 0, 85},
                                                   {0, field(1, SlotPart::Target), 0, 3}};
        const base::Result<species::SaveOutcome> written = document.save(changes, "test");
        QVERIFY(written.ok());
        QVERIFY(written.value().saved());

        const QByteArray after = readFile(image.path);
        const qint64 stats = image.system.recordBaseOf(image.system.tableArchive);
        const qint64 evolutions = evolutionRecord(image, 0);
        QCOMPARE(after.mid(stats, 1).toHex(), QByteArray("2d"));
        QCOMPARE(after.mid(evolutions, 12).toHex(), QByteArray("04000c000200070055000300"));
        for (qint64 n = 0; n < after.size(); ++n)
            if (n != stats && (n < evolutions + 2 || n >= evolutions + 12))
                QVERIFY2(after[n] == before[n], qPrintable(QString::number(n, 16)));

        QVERIFY(document.undo("undo", false).ok());
        QCOMPARE(readFile(image.path), before);
    }

    // export --evolutions, changed in a spreadsheet, imported: only the evolution record of
    // the entry changes; an unchanged table writes nothing.
    void importsAnEvolutionTable() {
        const Image image = makeImage(*m_roms, "ADAE");
        writeSlot(image, 0, 0, "040010000200");
        const QString table = m_roms->folder() + "/evolutions.csv";
        QCOMPARE(runCli({"export", image.path, "--evolutions", "-o", table}).status, 0);
        const QByteArray exported = readFile(table);
        QVERIFY(exported.startsWith(
            "position,species,evo1_method,evo1_param,evo1_target,evo2_method,evo2_param,"));
        QVERIFY(exported.contains(",evo7_target,evolutions_text\n"));
        QVERIFY(exported.contains("\n0,Bulbasaur,4,16,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
                                  "Level 16 -> Ivysaur\n"));
        QVERIFY(exported.contains("\n1,Ivysaur,0,0,0,"));

        const QByteArray before = readFile(image.path);
        const CliOutcome unchanged = runCli({"import", image.path, table});
        QCOMPARE(unchanged.status, 0);
        QVERIFY(unchanged.out.contains("nothing written"));
        QCOMPARE(readFile(image.path), before);

        QByteArray edited = exported;
        edited.replace(",4,16,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,Level 16 -> Ivysaur\n",
                       ",4,12,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\n");
        writeFile(table, edited);
        const CliOutcome imported = runCli({"import", image.path, table});
        QCOMPARE(imported.status, 0);
        QVERIFY2(imported.out.contains("Bulbasaur: evo1_param 16 -> 12"), qPrintable(imported.out));
        QByteArray expected = before;
        expected[evolutionRecord(image, 0) + 2] = 12;
        QCOMPARE(readFile(image.path), expected);
    }

    // What import refuses of an evolution table: nothing of it is written.
    void importRefuses_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("says");
        QTest::newRow("a target beyond 493")
            << QByteArray("\n0,Bulbasaur,4,16,2,0,0,0,")
            << QByteArray("\n0,Bulbasaur,4,16,494,0,0,0,") << "494 is not between 1 and 493";
        QTest::newRow("text that says otherwise")
            << QByteArray(",Level 16 -> Ivysaur\n") << QByteArray(",Level 30 -> Ivysaur\n")
            << "says \"Level 30 -> Ivysaur\", but the slots are \"Level 16 -> Ivysaur\"";
        QTest::newRow("an evolution for a form") << QByteArray("\n500,Giratina (Origin),0,0,0,")
                                                 << QByteArray("\n500,Giratina (Origin),4,30,2,")
                                                 << "the game reads no evolutions for it";
    }
    void importRefuses() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, says);
        const Image image = makeImage(*m_roms, "CPUE");
        writeSlot(image, 0, 0, "040010000200");
        const QString table = m_roms->folder() + "/evolutions.csv";
        QCOMPARE(runCli({"export", image.path, "--evolutions", "-o", table}).status, 0);
        QByteArray edited = readFile(table);
        QVERIFY2(edited.contains(from), edited.left(400).constData());
        writeFile(table, edited.replace(from, to));
        const QByteArray before = readFile(image.path);
        const CliOutcome result = runCli({"import", image.path, table});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(says), qPrintable(result.err));
        QCOMPARE(readFile(image.path), before);
    }

    // Import and apply judge a slot whole, under the method it will have, as the window does:
    // a table or patch that names one cell of a slot cannot leave it with a parameter its new
    // method refuses or without a target, and a method set to 0 empties its slot.
    void slotsAreJudgedWhole_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("slot");          // of Pidgeotto's record
        QTest::addColumn<QByteArray>("before"); // the slot's six bytes
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QByteArray>("after");
        const QByteArray patch = "# statwright patch 1, from ADAE Pokémon Diamond\n"
                                 "position,species,field,from,to\n";
        QTest::newRow("import: Beauty 237 made a level")
            << "import" << 1 << QByteArray("0f00ed005700")
            << QByteArray("position,species,evo2_method\n16,Pidgeotto,4\n") << 1
            << "evo2_method: evolution 2 would be \"Level 237 -> Dewgong\": its parameter 237 "
               "is not between 1 and 100"
            << QByteArray("0f00ed005700");
        QTest::newRow("import: a used slot without a target")
            << "import" << 3 << QByteArray("000000000000")
            << QByteArray("position,species,evo4_method,evo4_param,evo4_target\n"
                          "16,Pidgeotto,4,16,0\n")
            << 1 << "its target 0 is not between 1 and 493" << QByteArray("000000000000");
        QTest::newRow("import: method 0 empties the slot")
            << "import" << 0 << QByteArray("040024001200")
            << QByteArray("position,species,evo1_method\n16,Pidgeotto,0\n") << 0
            << "Pidgeotto: evo1_param 36 -> 0" << QByteArray("000000000000");
        QTest::newRow("import: method 0 with a parameter of its own")
            << "import" << 0 << QByteArray("040024001200")
            << QByteArray("position,species,evo1_method,evo1_param\n16,Pidgeotto,0,30\n") << 1
            << "its parameter 30 is not 0, as (none) takes no parameter"
            << QByteArray("040024001200");
        QTest::newRow("apply: a species made a level")
            << "apply" << 0 << QByteArray("1500df00e200")
            << patch + "16,Pidgeotto,evo1_method,21,4\n"
            << 1
            << "refused: Pidgeotto: evo1_method 21 -> 4: evolution 1 would be \"Level 223 -> "
               "Mantine\": its parameter 223 is not between 1 and 100"
            << QByteArray("1500df00e200");
        QTest::newRow("apply: method 0 empties the slot")
            << "apply" << 0 << QByteArray("040024001200")
            << patch + "16,Pidgeotto,evo1_method,4,0\n"
            << 0 << "Pidgeotto: evo1_target 18 -> 0" << QByteArray("000000000000");
    }
    void slotsAreJudgedWhole() {
        QFETCH(QString, command);
        QFETCH(int, slot);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, file);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(QByteArray, after);
        const Image image = makeImage(*m_roms, "ADAE");
        writeSlot(image, 16, slot, before);
        const QString path = m_roms->folder() + "/changes.csv";
        writeFile(path, file);
        const CliOutcome result = runCli({command, image.path, path});
        QCOMPARE(result.status, status);
        QVERIFY2((result.out + result.err).contains(says), qPrintable(result.out + result.err));
        QCOMPARE(SyntheticRom::read(image.path, evolutionRecord(image, 16) + 6 * slot, 6).toHex(),
                 after);
    }

    // Tables of one image that are not files of their own: a file name table that gives the
    // evolution archive the file of the base-stat table (a write to either would change the
    // other, so neither is used), or an evolution archive over the bytes of another file. check
    // fails, and an import writes nothing.
    void tablesThatAreNoFilesOfTheirOwn_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("says");
        QTest::newRow("two names of the base-stat table's file")
            << "alias"
            << "/a/0/0/2 is file 2, which /a/0/3/4 names too";
        QTest::newRow("evolutions over another file") << "overlap"
                                                      << "/a/0/3/4 shares bytes";
    }
    void tablesThatAreNoFilesOfTheirOwn() {
        QFETCH(QString, damage);
        QFETCH(QString, says);
        Image image = makeImage(*m_roms, "IPKE");
        if (damage == "alias")
            image.system.nameAs("/a/0/3/4", "/a/0/0/2");
        else
            image.system.move("/a/0/3/4", image.system.offsetOf("/a.bin") + 0x100);
        image.system.writeInto(image.path);
        const CliOutcome check = runCli({"check", image.path});
        QCOMPARE(check.status, 1);
        QVERIFY2(check.err.contains(says), qPrintable(check.err));
        const QString table = m_roms->folder() + "/evolutions.csv";
        writeFile(table, "position,species,evo1_method,evo1_param,evo1_target\n"
                         "0,Bulbasaur,4,16,2\n");
        const QByteArray before = readFile(image.path);
        QCOMPARE(runCli({"import", image.path, table}).status, 1);
        QCOMPARE(readFile(image.path), before);
    }

    // diff between an image with an evolution table and one without says that evolutions were
    // not compared, in each of its forms.
    void diffSaysWhatItDidNotCompare_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("onError");
        QTest::newRow("fields") << QStringList{} << false;
        QTest::newRow("text") << QStringList{"-f", "text"} << false;
        QTest::newRow("markdown") << QStringList{"-f", "markdown"} << false;
        QTest::newRow("patch") << QStringList{"--patch"} << true;
    }
    void diffSaysWhatItDidNotCompare() {
        QFETCH(QStringList, options);
        QFETCH(bool, onError);
        const Image with = makeImage(*m_roms, "ADAE");
        SyntheticRom other;
        const Image without = makeImage(other, "ADAE", 0);
        const CliOutcome result = runCli(QStringList{"diff", with.path, without.path} + options);
        QCOMPARE(result.status, 0);
        const QString note =
            "Evolutions were not compared: " + without.path + " has no evolution table.";
        QVERIFY2((onError ? result.err : result.out).contains(note),
                 qPrintable(result.out + result.err));
        // Two images that both have the table: nothing to say.
        QVERIFY(!runCli(QStringList{"diff", with.path, with.path} + options)
                     .out.contains("not compared"));
    }

    // check names the slots the game would never act on, and does not fail for them.
    void checkReportsUnusableSlots() {
        const Image image = makeImage(*m_roms, "IPKE");
        writeSlot(image, 0, 1, "04001000f401");   // Level 16 -> 500
        writeSlot(image, 3, 0, "040065000500");   // Level 101 -> Charmeleon
        writeSlot(image, 132, 2, "19000000d701"); // the Moss Rock, which HeartGold lacks
        const CliOutcome result = runCli({"check", image.path});
        QCOMPARE(result.status, 0);
        QVERIFY2(result.out.contains("evolutions: /a/0/3/4, 507 entries"), qPrintable(result.out));
        for (const char* line :
             {"never acted on: Bulbasaur, evolution 2: target 500 is no species (1 to 493)",
              "never acted on: Charmander, evolution 1: level 101 never comes",
              "never acted on: Eevee, evolution 3: Level up near the Moss Rock: no map of this "
              "game triggers it"})
            QVERIFY2(result.out.contains(line), qPrintable(result.out));
    }

    // A patch of an evolution made between two Diamond images carries to HeartGold; a slot
    // that differs there is a conflict, which only --force overrides.
    void patchCarriesFromDiamondToHeartGold() {
        const Image diamond = makeImage(*m_roms, "ADAE");
        writeSlot(diamond, 0, 0, "040010000200");
        const QString edited = m_roms->folder() + "/edited.nds";
        QVERIFY(QFile::copy(diamond.path, edited));
        SyntheticRom::write(edited, evolutionRecord(diamond, 0) + 2, QByteArray::fromHex("0c00"));
        const QString patch = m_roms->folder() + "/patch.csv";
        QCOMPARE(runCli({"diff", diamond.path, edited, "--patch", "-o", patch}).status, 0);
        QVERIFY(readFile(patch).contains("0,Bulbasaur,evo1_method,4,4\n"
                                         "0,Bulbasaur,evo1_param,16,12\n"
                                         "0,Bulbasaur,evo1_target,2,2\n"));
        const CliOutcome text = runCli({"diff", diamond.path, edited, "-f", "text"});
        QVERIFY2(text.out.contains("Evolution 1: Level 16 -> Ivysaur became Level 12 -> Ivysaur"),
                 qPrintable(text.out));

        SyntheticRom heartGold;
        Image johto = makeImage(heartGold, "IPKE");
        writeSlot(johto, 0, 0, "040010000200");
        QCOMPARE(runCli({"apply", johto.path, patch}).status, 0);
        QCOMPARE(SyntheticRom::read(johto.path, evolutionRecord(johto, 0), 6).toHex(),
                 QByteArray("04000c000200"));

        // There Bulbasaur evolves by an item: the slot is another, and the patch stops.
        writeSlot(johto, 0, 0, "070052000200");
        const QByteArray before = readFile(johto.path);
        const CliOutcome conflict = runCli({"apply", johto.path, patch});
        QVERIFY(conflict.status != 0);
        QVERIFY2(conflict.out.contains("conflict") || conflict.err.contains("conflict"),
                 qPrintable(conflict.out + conflict.err));
        QCOMPARE(readFile(johto.path), before);
    }

private:
    std::unique_ptr<SyntheticRom> m_roms;
};

QTEST_GUILESS_MAIN(TestEvolutions)
#include "tst_evolutions.moc"
