// Level-up learnsets: the archive each game reads, found in synthetic images or refused; lists
// written where they lie; a list that outgrows its member, which has the archive made anew and,
// where it has no room, moved, checked by reading the image with a reader of its own (NdsRead)
// rather than the program's; no room; a crash at every call of a growing save; and Undo Save.
#include "CliRun.h"
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "NdsRead.h"
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"

#include "species/ImageDocument.h"
#include "species/LearnsetRules.h"

#include <QFile>
#include <QtTest/QTest>

using species::Field;

namespace {

// Made-up lists for list position p: p % 21 moves, in level order.
QList<quint16> listOf(int position) {
    QList<quint16> words;
    for (int i = 0; i < position % 21; ++i)
        words.append(quint16(((1 + i * 4) << 9) | (1 + (position * 7 + i) % 467)));
    return words;
}

QList<QList<quint16>> allLists(int entries) {
    QList<QList<quint16>> lists;
    for (int position = 0; position < entries; ++position)
        lists.append(listOf(position));
    return lists;
}

std::vector<int> wordsOf(const QList<quint16>& list) {
    return {list.begin(), list.end()};
}
QList<quint16> listFrom(const std::vector<int>& words) {
    return {words.begin(), words.end()};
}

// The words of a member up to its end mark.
QList<quint16> listIn(const QByteArray& member) {
    QList<quint16> words;
    for (qint64 at = 0; at + 1 < member.size(); at += 2) {
        const quint16 word = NdsRead::u16(member, at);
        if (word == 0xFFFF)
            break;
        words.append(word);
    }
    return words;
}

QByteArray wholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void replaceFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

constexpr char kCode[] = "IPKE";
constexpr char kArchive[] = "/a/0/3/3";
constexpr int kEntries = 507;

// An image of HeartGold with its base-stat and learnset archives, and `after` more bytes in a
// file after the learnset archive (none: the archive is the last file).
struct Image {
    QString path;
    QByteArray bytes;
};

Image makeImage(SyntheticRom& roms, SyntheticFileSystem::Cartridge cartridge, qint64 after,
                const QString& name = QStringLiteral("image.nds")) {
    Image image;
    image.path = roms.create(name, kCode, 0x400);
    auto system =
        SyntheticFileSystem::forGame(kCode, SyntheticFileSystem::Layout::DecoyAtFixedBase);
    system.addLearnsets(kCode, allLists(kEntries));
    if (after > 0)
        system.add("/z.bin", QByteArray(after, 'z'));
    system.cartridge = cartridge;
    system.writeInto(image.path);
    image.bytes = wholeFile(image.path);
    return image;
}

// The list of position 3 (three moves, in eight bytes) with a fourth: it needs ten.
std::vector<int> grownList() {
    std::vector<int> words = wordsOf(listOf(3));
    words.push_back((50 << 9) | 349);
    return words;
}

species::Change grow(int position, std::vector<int> after) {
    return {position, Field::Learnset, species::Value::list(wordsOf(listOf(position))),
            species::Value::list(std::move(after))};
}

} // namespace

class TestLearnsets : public QObject {
    Q_OBJECT

private slots:
    // A list in words, as patches write it: read back exactly, the moves by name in any case
    // or by number; what is no level and move refused, naming the item.
    void listsInWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<QString>("written"); // as written back; empty: refused
        QTest::newRow("names and a number")
            << "1 tackle, 4 GROWL, 7 500" << QList<int>{0x221, 0x82D, 0xFF4}
            << "1 Tackle, 4 Growl, 7 500";
        QTest::newRow("empty") << "" << QList<int>{} << "";
        QTest::newRow("a name with a hyphen")
            << "12 Double-Edge" << QList<int>{0x1826} << "12 Double-Edge";
        QTest::newRow("no level") << "Tackle, 4 Growl" << QList<int>{} << "\"Tackle\"";
        QTest::newRow("no such move")
            << "4 Growl, 9 Growlithe" << QList<int>{} << "\"9 Growlithe\"";
    }
    void listsInWords() {
        QFETCH(QString, text);
        QFETCH(QList<int>, words);
        QFETCH(QString, written);
        const base::Result<std::vector<int>> parsed = species::parseLearnset(text.toStdString());
        if (words.isEmpty() && !written.isEmpty() && !text.isEmpty()) {
            QVERIFY(!parsed.ok());
            QVERIFY2(QString::fromStdString(parsed.error().reason).startsWith(written),
                     parsed.error().reason.c_str());
            return;
        }
        QVERIFY(parsed.ok());
        QCOMPARE(QList<int>(parsed.value().begin(), parsed.value().end()), words);
        QCOMPARE(QString::fromStdString(species::learnsetText(parsed.value())), written);
    }

    // How a list changed, in words; and what an edit may not make of a list.
    void differencesAndRefusals_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<QString>("refusal");
        const int bite12 = (12 << 9) | 44, quake45 = (45 << 9) | 89, quake40 = (40 << 9) | 89;
        const int dance50 = (50 << 9) | 349;
        QTest::newRow("added, removed, moved")
            << 0 << QList<int>{bite12, quake45} << QList<int>{quake40, dance50}
            << "+ Dragon Dance (50), - Bite (12), Earthquake 45 -> 40"
            << "";
        QTest::newRow("another order") << 0 << QList<int>{bite12, quake45}
                                       << QList<int>{quake45, bite12} << "moves in another order"
                                       << "";
        QTest::newRow("21 moves") << 0 << QList<int>{} << QList<int>(21, bite12)
                                  << "+ Bite (12), + Bite (12)"
                                  << "it would have 21 level-up moves";
        QTest::newRow("level 0 added") << 0 << QList<int>{} << QList<int>{44} << "+ Bite (0)"
                                       << "level 0 of Bite is not between 1 and 100";
        QTest::newRow("move 468 added")
            << 0 << QList<int>{} << QList<int>{(3 << 9) | 468} << "+ 468 (3)"
            << "move 468 is not between 1 and 467";
        QTest::newRow("move 468 kept, another added")
            << 0 << QList<int>{(3 << 9) | 468} << QList<int>{(3 << 9) | 468, bite12}
            << "+ Bite (12)"
            << "";
        QTest::newRow("the Egg") << 493 << QList<int>{} << QList<int>{bite12} << "+ Bite (12)"
                                 << "is an Egg";
    }
    void differencesAndRefusals() {
        QFETCH(int, position);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        QFETCH(QString, difference);
        QFETCH(QString, refusal);
        const std::vector<int> from(before.begin(), before.end()), to(after.begin(), after.end());
        QVERIFY2(
            QString::fromStdString(species::learnsetDifference(from, to)).startsWith(difference),
            species::learnsetDifference(from, to).c_str());
        const std::optional<std::string> refused = species::learnsetRefusal(position, from, to);
        QCOMPARE(refused.has_value(), !refusal.isEmpty());
        if (refused)
            QVERIFY2(QString::fromStdString(*refused).contains(refusal), refused->c_str());
    }

    // Each game's archive, by its path; the lists read as their words; and archives the game
    // could not read whole, refused with the reason.
    void findsTheArchive_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QByteArray>("plant"); // a member 1 written over, in hex
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Diamond") << QByteArray("ADAE") << "/poketool/personal/wotbl.narc" << 500
                                 << QByteArray() << "";
        QTest::newRow("Pearl") << QByteArray("APAE") << "/poketool/personal/wotbl.narc" << 500
                               << QByteArray() << "";
        QTest::newRow("Platinum") << QByteArray("CPUE") << "/poketool/personal/wotbl.narc" << 507
                                  << QByteArray() << "";
        QTest::newRow("HeartGold") << QByteArray("IPKE") << "/a/0/3/3" << 507 << QByteArray() << "";
        QTest::newRow("SoulSilver")
            << QByteArray("IPGE") << "/a/0/3/3" << 507 << QByteArray() << "";
        QTest::newRow("a list without its end mark")
            << QByteArray("IPKE") << "/a/0/3/3" << 507 << QByteArray("01020304")
            << "/a/0/3/3 member 2 has no end mark (0xFFFF)";
        QTest::newRow("a member longer than 44 bytes")
            << QByteArray("ADAE") << "/poketool/personal/wotbl.narc" << 500 << QByteArray()
            << "member 1 is 48 bytes long, more than the 44 the game copies";
        QTest::newRow("too few members")
            << QByteArray("CPUE") << "/poketool/personal/wotbl.narc" << 507 << QByteArray()
            << "has 501 members, fewer than 508";
    }
    void findsTheArchive() {
        QFETCH(QByteArray, code);
        QFETCH(QString, archive);
        QFETCH(int, entries);
        QFETCH(QByteArray, plant);
        QFETCH(QString, refusal);
        SyntheticRom roms;
        const QString path = roms.create("image.nds", code, 0x400);
        auto system =
            SyntheticFileSystem::forGame(code, SyntheticFileSystem::Layout::DecoyAtFixedBase);
        QList<QList<quint16>> lists = allLists(entries);
        if (refusal.contains("48 bytes"))
            lists[0] = QList<quint16>(23, 0x0201); // 46 bytes and the end mark, padded to 48
        system.addLearnsets(code, lists, refusal.contains("fewer") ? 501 : -1);
        system.writeInto(path);
        if (!plant.isEmpty()) // over member 2's two words (position 1) and its end mark
            SyntheticRom::write(path,
                                system.offsetOf(archive) + SyntheticFileSystem::narcOf({}).size() +
                                    8 * (entries + 1) + 4 + 4,
                                plant);

        species::ImageDocument document(files::systemIo(), local(path));
        QVERIFY(document.open().ok());
        const species::KindTable& table = document.table(species::Kind::Learnsets);
        if (!refusal.isEmpty()) {
            QVERIFY(!table.place);
            QVERIFY(table.refused);
            QVERIFY2(QString::fromStdString(table.missing->describe()).contains(refusal),
                     table.missing->describe().c_str());
            return;
        }
        QVERIFY(table.place);
        QCOMPARE(QString::fromStdString(table.place->archive), archive);
        QCOMPARE(int(table.records.size()), entries);
        for (const int position : {0, 2, 20, 41, entries - 1})
            QCOMPARE(document.value(position, Field::Learnset),
                     species::Value::list(wordsOf(listOf(position))));
    }

    // A list that fits its member (two moves in eight bytes, where three were) is written
    // there, the member's last bytes as they were padded; nothing else changes.
    void writesAListInPlace() {
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, {}}, 0x1000);
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        std::vector<int> shorter = wordsOf(listOf(3));
        shorter.erase(shorter.begin() + 1);
        const species::Change change = grow(3, shorter);
        const base::Result<species::SaveOutcome> saved = document.save(std::span(&change, 1), "t");
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().describe().c_str());

        const QByteArray after = wholeFile(image.path);
        QCOMPARE(after.size(), image.bytes.size());
        const int id = NdsRead::fileId(image.bytes, kArchive);
        const NdsRead::Span span = NdsRead::fileSpan(image.bytes, id);
        const QByteArray narc = image.bytes.mid(span.start, span.end - span.start);
        const qint64 member = span.start + narc.indexOf(SyntheticFileSystem::learnsetMember(
                                               listOf(3))); // unique: it holds its own moves
        QByteArray expected = image.bytes;
        expected.replace(member, 8,
                         SyntheticFileSystem::learnsetMember(
                             {listOf(3)[0], listOf(3)[2]})); // two words, the end mark, a pad
        QCOMPARE(after.toHex(), expected.toHex());
    }

    // A list that outgrows its member: the archive made anew with 44 bytes a member, where it
    // lies if the room suffices, else after everything the image uses; its allocation entry,
    // the used size and the CRC follow, the signature after the used size goes along, and no
    // other byte changes. Read back without the program's code.
    void growsTheArchive_data() {
        QTest::addColumn<bool>("padded");
        QTest::addColumn<qint64>("after"); // bytes of a file after the archive
        QTest::addColumn<bool>("signature");
        QTest::addColumn<bool>("moves");
        QTest::newRow("trimmed: past the image's end") << false << qint64(0x1000) << false << true;
        QTest::newRow("padded: into the filler") << true << qint64(0x1000) << false << true;
        QTest::newRow("padded, with a signature after the used size")
            << true << qint64(0x1000) << true << true;
        QTest::newRow("trimmed, with a signature") << false << qint64(0x1000) << true << true;
        QTest::newRow("the last file: grows where it lies") << false << qint64(0) << false << false;
    }
    void growsTheArchive() {
        QFETCH(bool, padded);
        QFETCH(qint64, after);
        QFETCH(bool, signature);
        QFETCH(bool, moves);
        SyntheticRom roms;
        const QByteArray signed_ = signature ? QByteArray(0x88, 'S') : QByteArray();
        const Image image = makeImage(roms, {3, padded, signed_}, after);
        const QByteArray& before = image.bytes;
        const int id = NdsRead::fileId(before, kArchive);
        const NdsRead::Span old = NdsRead::fileSpan(before, id);
        const qint64 oldUsed = NdsRead::u32(before, 0x80);

        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        QVERIFY(!document.layoutChange({grow(3, grownList())}).empty());
        // With a base stat of the same entry: one batch.
        const std::vector<species::Change> batch{{3, Field::HP, document.value(3, Field::HP), 77},
                                                 grow(3, grownList())};
        const base::Result<species::SaveOutcome> saved = document.save(batch, "t");
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().describe().c_str());

        const QByteArray now = wholeFile(image.path);
        QCOMPARE(NdsRead::fileId(now, kArchive), id);
        const NdsRead::Span moved = NdsRead::fileSpan(now, id);
        const QList<QByteArray> members =
            NdsRead::narcMembers(now.mid(moved.start, moved.end - moved.start));
        QCOMPARE(members.size(), kEntries + 1);
        for (int m = 0; m < members.size(); ++m) {
            QCOMPARE(members[m].size(), 44);
            const QList<quint16> expected =
                m == 4 ? listFrom(grownList()) : (m == 0 ? QList<quint16>{} : listOf(m - 1));
            QCOMPARE(listIn(members[m]), expected);
        }

        // Where it went.
        qint64 lastOther = 0;
        const QList<NdsRead::Span> files = NdsRead::fileSpans(before);
        for (int other = 0; other < files.size(); ++other)
            if (other != id)
                lastOther = std::max(lastOther, files[other].end);
        if (!moves) {
            QCOMPARE(moved.start, old.start);
        } else {
            QCOMPARE(moved.start % 0x200, 0);
            QVERIFY(moved.start >= std::max(lastOther, oldUsed + signed_.size()));
            QVERIFY(moved.start < std::max(lastOther, oldUsed + signed_.size()) + 0x200);
        }
        const qint64 used = std::max(oldUsed, moved.end);
        QCOMPARE(qint64(NdsRead::u32(now, 0x80)), used);
        QCOMPARE(NdsRead::u16(now, 0x15E), NdsRead::headerCrc(now));
        if (signature)
            QCOMPARE(now.mid(used, 0x88), signed_);
        if (padded)
            QCOMPARE(now.size(), before.size());
        else // and the signature's copy after it
            QVERIFY(now.size() <=
                    before.size() + (moved.end - moved.start) + 0x200 + signed_.size());

        // Every other file as it was, and every byte outside what the write may change.
        for (int other = 0; other < files.size(); ++other)
            if (other != id) {
                QCOMPARE(NdsRead::fileSpan(now, other), files[other]);
                if (other != NdsRead::fileId(before, "/a/0/0/2"))
                    QCOMPARE(now.mid(files[other].start, files[other].end - files[other].start),
                             before.mid(files[other].start, files[other].end - files[other].start));
            }
        const qint64 entry = NdsRead::allocationEntry(before, id);
        const qint64 hp = SyntheticFileSystem::firstRecordOffset(508, 44) + 3 * 44 +
                          files[NdsRead::fileId(before, "/a/0/0/2")].start;
        const QList<NdsRead::Span> written{
            {moved.start, moved.end},      {entry, entry + 8}, {0x80, 0x84}, {0x15E, 0x160},
            {used, used + signed_.size()}, {hp, hp + 1}};
        qint64 differing = 0;
        for (qint64 at = 0; at < std::min(now.size(), before.size()); ++at)
            if (now[at] != before[at] &&
                std::none_of(written.begin(), written.end(), [&](const NdsRead::Span& span) {
                    return at >= span.start && at < span.end;
                }))
                ++differing;
        QCOMPARE(differing, 0);
        QCOMPARE(quint8(now[hp]), quint8(77));

        // The document shows the archive where it lies now, each list in its 44 bytes: a
        // second list that outgrows its old member fits there, and is written there.
        QCOMPARE(document.value(3, Field::Learnset), species::Value::list(grownList()));
        QCOMPARE(document.table(species::Kind::Learnsets).place->file.start, moved.start);
        species::ImageDocument& again = document;
        std::vector<int> longer = wordsOf(listOf(19));
        longer.push_back((100 << 9) | 1);
        QVERIFY(again.layoutChange({grow(19, longer)}).empty());
        const species::Change second = grow(19, longer);
        QVERIFY(again.save(std::span(&second, 1), "t").ok());
        const QByteArray last = wholeFile(image.path);
        QCOMPARE(last.size(), now.size());
        const qint64 member = moved.end - 44LL * (kEntries + 1 - 20); // member 20, the last 44s
        QCOMPARE(last.left(member), now.left(member));
        QCOMPARE(last.mid(member + 44), now.mid(member + 44));
        QCOMPARE(listIn(last.mid(member, 44)), listFrom(longer));
    }

    // No room for the grown archive within the cartridge's capacity: refused, saying how many
    // bytes are missing, and nothing written.
    void refusesWithoutRoom() {
        SyntheticRom roms;
        // A file that ends 0x100 bytes before the capacity of 256 KiB.
        Image image = makeImage(roms, {1, false, {}}, 0);
        const qint64 end = NdsRead::u32(image.bytes, 0x80);
        image =
            makeImage(roms, {1, false, {}}, 0x40000 - 0x100 - ((end + 0x1FF) & ~0x1FF), "full.nds");
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        const species::Change change = grow(3, grownList());
        const base::Result<species::SaveOutcome> saved = document.save(std::span(&change, 1), "t");
        QVERIFY(!saved.ok());
        QVERIFY2(QString::fromStdString(saved.error().describe()).contains("bytes short"),
                 saved.error().describe().c_str());
        QCOMPARE(wholeFile(image.path), image.bytes);
    }

    // A growing save of a trimmed image stops for good after its first, second, third...
    // system call; a fresh opening then recovers. The image is always wholly old or wholly
    // new, its length included; and Undo Save of the whole batch gives the old one back.
    void crashAtEveryCallOfAGrowingSave() {
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, QByteArray(0x88, 'S')}, 0x1000);
        const auto save = [&](files::SysIo& io) {
            species::ImageDocument document(io, local(image.path));
            if (!document.open().ok())
                return false;
            const std::vector<species::Change> batch{
                {3, Field::HP, document.value(3, Field::HP), 77}, grow(3, grownList())};
            return document.save(batch, "t").ok();
        };
        QVERIFY(save(files::systemIo()));
        const QByteArray newBytes = wholeFile(image.path);
        QVERIFY(newBytes.size() > image.bytes.size());

        int sawOld = 0, sawNew = 0;
        for (int calls = 0;; ++calls) {
            replaceFile(image.path, image.bytes);
            FaultInjectingIo io;
            io.crashAfter(calls);
            (void)save(io);
            species::ImageDocument next(files::systemIo(), local(image.path));
            const base::Result<species::ImageReport> opened = next.open();
            QVERIFY2(opened.ok(),
                     qPrintable(QStringLiteral("after %1 calls: %2")
                                    .arg(calls)
                                    .arg(opened.ok()
                                             ? QString()
                                             : QString::fromStdString(opened.error().describe()))));
            const QByteArray now = wholeFile(image.path);
            QVERIFY2(now == image.bytes || now == newBytes,
                     qPrintable(QStringLiteral("a mix after %1 calls").arg(calls)));
            (now == image.bytes ? sawOld : sawNew)++;
            if (!io.crashed())
                break;
            QVERIFY(calls < 300);
        }
        QVERIFY(sawOld > 3 && sawNew >= 1);

        replaceFile(image.path, image.bytes);
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        const std::vector<species::Change> batch{{3, Field::HP, document.value(3, Field::HP), 77},
                                                 grow(3, grownList())};
        QVERIFY(document.save(batch, "t").ok());
        QCOMPARE(wholeFile(image.path), newBytes);
        const base::Result<species::SaveOutcome> undone = document.undo("undo", false);
        QVERIFY2(undone.ok() && undone.value().saved(),
                 undone.ok() ? "not saved" : undone.error().describe().c_str());
        const QByteArray back = wholeFile(image.path);
        QCOMPARE(back.size(), image.bytes.size());
        for (qint64 at = 0; at < back.size(); ++at)
            QVERIFY2(back[at] == image.bytes[at], qPrintable(QString::number(at, 16)));
    }

    // export --learnsets: a row a move in list order, one empty row for an entry without,
    // moves by number or by name; JSON a list an entry. Exported and imported unchanged, the
    // Egg's rows included, it writes nothing.
    void exportsAndImportsUnchanged_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("starts");
        QTest::newRow("CSV by number")
            << QStringList{} << "l.csv"
            << "position,species,level,move\n0,Bulbasaur,,\n1,Ivysaur,1,8\n"
               "2,Venusaur,1,15\n2,Venusaur,5,16\n";
        QTest::newRow("CSV by name") << QStringList{"--names"} << "l.csv"
                                     << "position,species,level,move\n0,Bulbasaur,,\n"
                                        "1,Ivysaur,1,Ice Punch\n2,Venusaur,1,Cut\n"
                                        "2,Venusaur,5,Gust\n";
        QTest::newRow("JSON by name") << QStringList{"--names"} << "l.json"
                                      << "\"species\": \"Ivysaur\",\n      \"moves\": [\n"
                                         "        \"1 Ice Punch\"\n      ]";
    }
    void exportsAndImportsUnchanged() {
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(QString, starts);
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, {}}, 0x1000);
        const QString table = roms.folder() + "/" + file;
        QCOMPARE(
            runCli(QStringList{"export", image.path, "--learnsets", "-o", table} + options).status,
            0);
        const QString text = QString::fromUtf8(readFile(table));
        QVERIFY2(file.endsWith(".json") ? text.contains(starts) : text.startsWith(starts),
                 qPrintable(text.left(300)));
        const CliOutcome imported = runCli({"import", image.path, table});
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out, QStringLiteral("no changes; nothing written\n"));
        QCOMPARE(wholeFile(image.path), image.bytes);
    }

    // An import that changes every entry reads each table of the image once, not once an
    // entry: a few dozen reads, as a save of one entry makes.
    void anImportOfEveryEntryReadsTablesWhole() {
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, {}}, 0x1000);
        const QString table = roms.folder() + "/all.csv";
        QCOMPARE(runCli({"export", image.path, "-o", table}).status, 0);
        QList<QByteArray> lines = readFile(table).split('\n');
        for (qsizetype line = 1; line < lines.size(); ++line) {
            QList<QByteArray> cells = lines[line].split(',');
            if (cells.size() > 2)
                cells[2] = QByteArray::number((cells[2].toInt() + 1) % 256);
            lines[line] = cells.join(',');
        }
        writeFile(table, lines.join('\n'));
        FaultInjectingIo io;
        QCOMPARE(runCli({"import", image.path, table}, io).status, 0);
        QVERIFY2(io.count(FaultInjectingIo::Call::Pread) < 60,
                 qPrintable(QString::number(io.count(FaultInjectingIo::Call::Pread))));
    }

    // An entry's rows replace its whole list, in level order, by number or by name in any
    // case; a row of empty level and move empties it; entries without rows stay. The diff
    // says it in words, and its patch carries whole lists that apply to the image as it was.
    void importsDiffsAndPatches() {
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, {}}, 0x1000);
        const QString table = roms.folder() + "/moves.csv";
        writeFile(table, "position,species,level,move\n"
                         "1,Ivysaur,,\n"
                         "2,Venusaur,20,dragon dance\n"
                         "2,Venusaur,1,15\n"
                         "3,Charmander,1,vine whip\n3,Charmander,5,Stomp\n"
                         "3,Charmander,9,Double Kick\n3,Charmander,50,Dragon Dance\n"
                         "5,Charizard,12,Bite\n");
        const QString old = roms.folder() + "/old.nds";
        QVERIFY(QFile::copy(image.path, old));
        const CliOutcome imported = runCli({"import", image.path, table});
        QCOMPARE(imported.status, 0);
        QVERIFY2(imported.out.contains("note: the learnset archive is made anew"),
                 qPrintable(imported.out));
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        QCOMPARE(document.value(1, Field::Learnset), species::Value::list({}));
        QCOMPARE(document.value(2, Field::Learnset),
                 species::Value::list({(1 << 9) | 15, (20 << 9) | 349}));
        QCOMPARE(document.value(5, Field::Learnset), species::Value::list({(12 << 9) | 44}));
        QCOMPARE(document.value(4, Field::Learnset), species::Value::list(wordsOf(listOf(4))));

        const CliOutcome diff = runCli({"diff", old, image.path});
        QVERIFY2(diff.out.startsWith("Ivysaur: Level-up moves: - Ice Punch (1)\n"
                                     "Venusaur: Level-up moves: + Dragon Dance (20), - Gust (5)\n"
                                     "Charmander: Level-up moves: + Dragon Dance (50)\n"
                                     "Charizard: Level-up moves: + Bite (12), - Take Down (1), "
                                     "- Thrash (5), - Double-Edge (9), - Tail Whip (13), "
                                     "- Poison Sting (17)\n"),
                 qPrintable(diff.out));
        const QString patch = roms.folder() + "/p.csv";
        QCOMPARE(runCli({"diff", "--patch", old, image.path, "-o", patch}).status, 0);
        QVERIFY2(readFile(patch).contains(
                     "2,Venusaur,learnset,\"1 Cut, 5 Gust\",\"1 Cut, 20 Dragon Dance\"\n"),
                 readFile(patch).constData());
        const QString other = roms.folder() + "/other.nds";
        QVERIFY(QFile::copy(old, other));
        QCOMPARE(runCli({"apply", other, patch}).status, 0);
        QCOMPARE(wholeFile(other), wholeFile(image.path));
        // Applied again: already applied; to an image whose list differs: a conflict.
        QVERIFY(runCli({"apply", other, patch}).out.contains("already applied"));
        writeFile(table, "position,species,level,move\n2,Venusaur,3,Tackle\n");
        QCOMPARE(runCli({"import", other, table}).status, 0);
        const CliOutcome applied = runCli({"apply", other, patch});
        const QString conflict = applied.out + applied.err;
        QVERIFY2(conflict.contains("conflict: Venusaur: Level-up moves") &&
                     conflict.contains("the patch expects \"1 Cut, 5 Gust\", the image "
                                       "holds \"3 Tackle\""),
                 qPrintable(conflict));
    }

    // check names lists the game reads otherwise than they look, and an archive made anew.
    void checkNamesWhatItSees() {
        SyntheticRom roms;
        const Image image = makeImage(roms, {3, false, {}}, 0x1000);
        const qint64 member =
            NdsRead::fileSpan(image.bytes, NdsRead::fileId(image.bytes, kArchive)).start +
            image.bytes
                .mid(NdsRead::fileSpan(image.bytes, NdsRead::fileId(image.bytes, kArchive)).start)
                .indexOf(SyntheticFileSystem::learnsetMember(listOf(2)));
        SyntheticRom::write(image.path, member, QByteArray::fromHex("0f0a1602")); // 5, then 1
        const CliOutcome checked = runCli({"check", image.path});
        QCOMPARE(checked.status, 0);
        QVERIFY2(checked.out.contains("learnsets: /a/0/3/3, 507 entries\n"
                                      "learnset of Venusaur: Vine Whip (1) comes after Cut (5): "
                                      "out of level order\n"),
                 qPrintable(checked.out));
        QVERIFY(!checked.out.contains("written anew"));
        const species::Change change = grow(3, grownList());
        species::ImageDocument document(files::systemIo(), local(image.path));
        QVERIFY(document.open().ok());
        QVERIFY(document.save(std::span(&change, 1), "t").ok());
        QVERIFY(runCli({"check", image.path}).out.contains("the archive was written anew"));
    }
};

QTEST_GUILESS_MAIN(TestLearnsets)
#include "tst_learnsets.moc"
