// The fixed list texts: counts, ends, placeholders, trailing spaces and the two curly
// apostrophes, and the gender-ratio entries against an exact decimal computation.
#include "ListDigests.h"
#include "species/Vocabulary.h"

#include <QtTest/QTest>

#include <set>
#include <string>

using List = std::span<const std::string_view>;
Q_DECLARE_METATYPE(List)

namespace {

// The exact decimal expansion of numerator / 127, cut to five characters.
std::string exactCut(int numerator) {
    std::string text = std::to_string(numerator / 127);
    int remainder = numerator % 127;
    if (remainder != 0) {
        text += '.';
        while (text.size() < 5 && remainder != 0) {
            remainder *= 10;
            text += static_cast<char>('0' + remainder / 127);
            remainder %= 127;
        }
    }
    return text.substr(0, 5);
}

} // namespace

class TestVocabulary : public QObject {
    Q_OBJECT

private slots:
    // Each whole list against the count and digest of its exact texts.
    void digests_data() {
        QTest::addColumn<List>("list");
        QTest::addColumn<QString>("name");
        const std::pair<const char*, List> lists[] = {
            {"types", vocabulary::types()},
            {"egg groups", vocabulary::eggGroups()},
            {"colours", vocabulary::colours()},
            {"growth groups", vocabulary::growthGroups()},
            {"abilities", vocabulary::abilities()},
            {"items", vocabulary::items(nds::Game::Diamond)},
            {"items of Pearl", vocabulary::items(nds::Game::Pearl)},
            {"items of Platinum", vocabulary::items(nds::Game::Platinum)},
            {"items of HeartGold", vocabulary::items(nds::Game::HeartGold)},
            {"items of SoulSilver", vocabulary::items(nds::Game::SoulSilver)},
            {"species", vocabulary::species()},
        };
        for (const auto& [name, list] : lists)
            QTest::newRow(name) << list << QString::fromLatin1(name);
    }
    void digests() {
        QFETCH(List, list);
        QFETCH(QString, name);
        QStringList entries;
        for (const std::string_view entry : list)
            entries << text(entry);
        const listDigests::Expected expected = listDigests::all().at(name);
        QCOMPARE(entries.size(), expected.count);
        QCOMPARE(listDigests::digest(entries), QByteArray(expected.sha256));
    }

    void listEnds_data() {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("types") << vocabulary::types() << 18 << "Normal"
                               << "Dark";
        QTest::newRow("egg groups") << vocabulary::eggGroups() << 16 << "---"
                                    << "Can't Breed";
        QTest::newRow("colours") << vocabulary::colours() << 11 << "Red"
                                 << "Egg";
        QTest::newRow("growth") << vocabulary::growthGroups() << 6 << "1,000,000"
                                << "1,250,000";
        QTest::newRow("abilities") << vocabulary::abilities() << 124 << "-No Ability-"
                                   << "Bad Dreams";
        QTest::newRow("items") << vocabulary::items(nds::Game::Diamond) << 465 << "-No Item-"
                               << "SecretPotion";
        QTest::newRow("species") << vocabulary::species() << 500 << "Bulbasaur"
                                 << "Wormadam (Trash)";
        QTest::newRow("items of Platinum")
            << vocabulary::items(nds::Game::Platinum) << 468 << "-No Item-"
            << "Secret Key";
        QTest::newRow("items of HeartGold")
            << vocabulary::items(nds::Game::HeartGold) << 537 << "-No Item-"
            << "Enigma Stone";
    }
    void listEnds() {
        QFETCH(List, list);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QCOMPARE(static_cast<int>(list.size()), count);
        QCOMPARE(text(list.front()), first);
        QCOMPARE(text(list.back()), last);
    }

    // Entries deep inside the long lists: a missing or doubled entry shifts one of these.
    void landmarks_data() {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("type 9") << vocabulary::types() << 9 << "???";
        QTest::newRow("type 10") << vocabulary::types() << 10 << "Fire";
        QTest::newRow("egg 12") << vocabulary::eggGroups() << 12
                                << "Ditto (Can breed with anything.)";
        QTest::newRow("growth 3") << vocabulary::growthGroups() << 3 << "1,059,860";
        QTest::newRow("ability 50") << vocabulary::abilities() << 50 << "Run Away";
        QTest::newRow("ability 121") << vocabulary::abilities() << 121 << "Multitype";
        QTest::newRow("item 111") << vocabulary::items(nds::Game::Diamond) << 111 << "Odd Keystone";
        QTest::newRow("item 135") << vocabulary::items(nds::Game::Diamond) << 135 << "Adamant Orb";
        QTest::newRow("item 213") << vocabulary::items(nds::Game::Diamond) << 213 << "BrightPowder";
        QTest::newRow("item 300") << vocabulary::items(nds::Game::Diamond) << 300 << "Zap Plate";
        QTest::newRow("item 328") << vocabulary::items(nds::Game::Diamond) << 328 << "TM01";
        QTest::newRow("item 419") << vocabulary::items(nds::Game::Diamond) << 419 << "TM92";
        QTest::newRow("item 420") << vocabulary::items(nds::Game::Diamond) << 420 << "HM01";
        QTest::newRow("item 451") << vocabulary::items(nds::Game::Diamond) << 451 << "Suite Key";
        QTest::newRow("species 82") << vocabulary::species() << 82 << "Farfetch'd";
        QTest::newRow("species 121") << vocabulary::species() << 121 << "Mr.Mime";
        QTest::newRow("species 202") << vocabulary::species() << 202 << "Girafarig ";
        QTest::newRow("species 203") << vocabulary::species() << 203 << "Pineco";
        QTest::newRow("species 385") << vocabulary::species() << 385 << "Deoxys (Normal)";
        QTest::newRow("species 412") << vocabulary::species() << 412 << "Wormadam (Plant)";
        QTest::newRow("species 492") << vocabulary::species() << 492 << "Arceus";
        QTest::newRow("species 495") << vocabulary::species() << 495 << "Deoxys (Attack)";
        QTest::newRow("species 498") << vocabulary::species() << 498 << "Wormadam (Sandy)";
    }
    void landmarks() {
        QFETCH(List, list);
        QFETCH(int, position);
        QFETCH(QString, text);
        QCOMPARE(TestVocabulary::text(list[static_cast<std::size_t>(position)]), text);
    }

    void placeholderRuns() {
        auto placeholders = [](List list) {
            std::set<int> found;
            for (std::size_t i = 0; i < list.size(); ++i)
                if (list[i] == "???")
                    found.insert(static_cast<int>(i));
            return found;
        };
        QCOMPARE(placeholders(vocabulary::types()), std::set<int>({9}));
        std::set<int> items;
        for (int i = 112; i <= 134; ++i)
            items.insert(i);
        QCOMPARE(placeholders(vocabulary::items(nds::Game::Diamond)), items);
        QCOMPARE(placeholders(vocabulary::species()), std::set<int>({493, 494}));
    }

    void speciesTrailingSpaces() {
        const int ranges[][2] = {{202, 202}, {309, 309}, {332, 332}, {386, 386}, {388, 391},
                                 {394, 403}, {407, 408}, {410, 411}, {413, 424}, {426, 449},
                                 {451, 465}, {467, 477}, {479, 491}};
        std::set<int> expected;
        for (const auto& range : ranges)
            for (int i = range[0]; i <= range[1]; ++i)
                expected.insert(i);
        std::set<int> found;
        const List species = vocabulary::species();
        for (std::size_t i = 0; i < species.size(); ++i) {
            QVERIFY2(!species[i].ends_with("  "), "two trailing spaces");
            QVERIFY2(!species[i].starts_with(' '), "leading space");
            if (species[i].ends_with(' '))
                found.insert(static_cast<int>(i));
        }
        QCOMPARE(found.size(), std::size_t(97));
        QCOMPARE(found, expected);
    }

    // Only two entries in all lists are not plain ASCII, and both carry U+2019.
    void curlyApostrophes() {
        const std::string_view rightQuote = "\xE2\x80\x99";
        QCOMPARE(vocabulary::items(nds::Game::Diamond)[221],
                 std::string_view("King\xE2\x80\x99s Rock"));
        QCOMPARE(vocabulary::items(nds::Game::Diamond)[452],
                 std::string_view("Oak\xE2\x80\x99s Letter"));
        int nonAscii = 0;
        for (List list : {vocabulary::types(), vocabulary::eggGroups(), vocabulary::colours(),
                          vocabulary::growthGroups(), vocabulary::abilities(),
                          vocabulary::items(nds::Game::Diamond), vocabulary::species()})
            for (std::string_view entry : list)
                for (unsigned char c : entry)
                    if (c >= 0x80) {
                        QVERIFY(entry.find(rightQuote) != std::string_view::npos);
                        ++nonAscii;
                    }
        QCOMPARE(nonAscii, 6); // three bytes in each of the two entries
    }

    void hatchSteps_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("1") << 1 << "256";
        QTest::newRow("20") << 20 << "5120";
        QTest::newRow("254") << 254 << "65024";
        QTest::newRow("255") << 255 << "65280";
    }
    void hatchSteps() {
        QFETCH(int, k);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(vocabulary::hatchSteps(k)), text);
    }

    void genderRatioMatchesExactExpansion() {
        for (int i = 0; i < 255; ++i) {
            const std::string expected =
                exactCut(12700 - 50 * i) + "% M " + exactCut(50 * i) + "% F ";
            QCOMPARE(vocabulary::genderRatio(i), expected);
        }
        QCOMPARE(vocabulary::genderRatio(255), std::string("None"));
    }

    void genderRatioWorkedEntries_data() {
        QTest::addColumn<int>("i");
        QTest::addColumn<QString>("entry");
        QTest::newRow("0") << 0 << "100% M 0% F ";
        QTest::newRow("1") << 1 << "99.60% M 0.393% F ";
        QTest::newRow("2") << 2 << "99.21% M 0.787% F ";
        QTest::newRow("31") << 31 << "87.79% M 12.20% F ";
        QTest::newRow("63") << 63 << "75.19% M 24.80% F ";
        QTest::newRow("127") << 127 << "50% M 50% F ";
        QTest::newRow("128") << 128 << "49.60% M 50.39% F ";
        QTest::newRow("191") << 191 << "24.80% M 75.19% F ";
        QTest::newRow("253") << 253 << "0.393% M 99.60% F ";
        QTest::newRow("254") << 254 << "0% M 100% F ";
        QTest::newRow("255") << 255 << "None";
    }
    void genderRatioWorkedEntries() {
        QFETCH(int, i);
        QFETCH(QString, entry);
        QCOMPARE(QString::fromStdString(vocabulary::genderRatio(i)), entry);
    }

private:
    static QString text(std::string_view entry) {
        return QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
    }
};

QTEST_GUILESS_MAIN(TestVocabulary)
#include "tst_vocabulary.moc"
