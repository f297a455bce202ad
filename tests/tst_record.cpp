// The record layout, reading and writing fields of a record, the entry and value rules, the
// stat-box numbers, and reading and saving records in a synthetic image.
#include "EntryTables.h"
#include "FaultInjectingIo.h"
#include "LocalName.h"
#include "SyntheticRom.h"
#include "files/Journal.h"
#include "species/EntryRules.h"
#include "species/FixedRecords.h"
#include "species/ImageDocument.h"
#include "species/RecordKinds.h"
#include "species/StatText.h"
#include "species/ValueRules.h"

#include <QFile>
#include <QtTest/QTest>

#include <set>

using species::Field;
using Call = FaultInjectingIo::Call;

namespace {
species::Record recordOf(const QByteArray& data) {
    return species::Record::at(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                         std::size_t(data.size())));
}
QByteArray bytesOf(const species::Record& record) {
    return QByteArray(reinterpret_cast<const char*>(record.bytes().data()), species::kRecordSize);
}
} // namespace

class TestRecord : public QObject {
    Q_OBJECT

private slots:
    // Every bit the record's layout gives a meaning, and no other, belongs to exactly one
    // field: bytes 0 to 9 and 12 to 25 whole, bits 0 to 11 of the EV word (bytes 10 and 11),
    // and bits 0 to 99 of the TM/HM bits from byte 28 on.
    void layoutCoversTheEditedBitsOnly() {
        std::multiset<int> covered;
        for (const species::FieldDescriptor& field : species::fieldLayout())
            for (int bit = field.shift; bit < field.shift + field.bits; ++bit)
                covered.insert(field.offset * 8 + bit);
        std::multiset<int> expected;
        for (int bit = 0; bit < 26 * 8; ++bit)
            if (bit < 80 || bit >= 96 || bit < 80 + 12)
                expected.insert(bit);
        for (int bit = 28 * 8; bit < 28 * 8 + 100; ++bit)
            expected.insert(bit);
        QCOMPARE(covered, expected); // each edited bit exactly once
        QCOMPARE(species::descriptor(Field::Item1).width(), 2);
        QCOMPARE(species::descriptor(Field::Item2).offset, 14);
        QCOMPARE(species::descriptor(Field::CatchRate).offset, 8);
        QCOMPARE(species::descriptor(Field::BaseXP).offset, 9);
        QCOMPARE(species::descriptor(Field::MaxExp).offset, 19);
        QCOMPARE(species::descriptor(Field::RunChance).offset, 24);
        QCOMPARE(species::descriptor(Field::Colour).control, std::string_view("cmbColour"));
    }

    // The one table of fields, against the record's layout written out here: every place
    // that shows, checks or names a field takes it from that table.
    void fieldTable_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("listSize"); // 0: a number in a text box
        QTest::addColumn<QString>("firstEntry");
        const auto row = [](Field field, const char* key, int offset, int width,
                            const char* caption, const char* control, int size, const char* first) {
            QTest::newRow(key) << int(field) << key << offset << width << QString::fromUtf8(caption)
                               << control << size << QString::fromUtf8(first);
        };
        row(Field::HP, "hp", 0, 1, "HP", "txtHP", 0, "");
        row(Field::Attack, "attack", 1, 1, "Attack", "txtAttack", 0, "");
        row(Field::Defense, "defense", 2, 1, "Defense", "txtDefense", 0, "");
        row(Field::Speed, "speed", 3, 1, "Speed", "txtSpeed", 0, "");
        row(Field::SpAttack, "sp_attack", 4, 1, "Sp Attack", "txtSpAttack", 0, "");
        row(Field::SpDefense, "sp_defense", 5, 1, "Sp Defense", "txtSpDefense", 0, "");
        row(Field::Type1, "type1", 6, 1, "Types", "cmbType1", 18, "Normal");
        row(Field::Type2, "type2", 7, 1, "Types", "cmbType2", 18, "Normal");
        row(Field::CatchRate, "catch_rate", 8, 1, "Catch Rate", "txtCatchRate", 0, "");
        row(Field::BaseXP, "base_xp", 9, 1, "Base XP", "txtBaseXP", 0, "");
        row(Field::Item1, "item1", 12, 2, "Wild Hold Items", "cmbItem1", 465, "-No Item-");
        row(Field::Item2, "item2", 14, 2, "Wild Hold Items", "cmbItem2", 465, "-No Item-");
        row(Field::Gender, "gender", 16, 1, "Gender Ratio", "cmbGender", 256, "100% M 0% F ");
        row(Field::Hatch, "hatch", 17, 1, "Steps to Hatch Egg", "cmbHatch", 256, "0");
        row(Field::BaseHappiness, "base_happiness", 18, 1, "Base Happiness", "txtBaseHappiness", 0,
            "");
        row(Field::MaxExp, "max_exp", 19, 1, "Max Exp.", "cmbMaxExp", 6, "1,000,000");
        row(Field::EggType1, "egg_type1", 20, 1, "Egg Type 1", "cmbEggType1", 16, "---");
        row(Field::EggType2, "egg_type2", 21, 1, "Egg Type 2", "cmbEggType2", 16, "---");
        row(Field::Ability1, "ability1", 22, 1, "Special Abilities", "cmbAbility1", 124,
            "-No Ability-");
        row(Field::Ability2, "ability2", 23, 1, "Special Abilities", "cmbAbility2", 124,
            "-No Ability-");
        row(Field::RunChance, "run_chance", 24, 1, "Great Marsh Run Chance", "txtRunChance", 0, "");
        row(Field::Colour, "colour", 25, 1, "Colour", "cmbColour", 11, "Red");
    }

    // The fields the main window has no room for, against the record's layout written out
    // here: the byte, the first bit and the bits of each.
    void dialogFields_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("maximum");
        const auto row = [](Field field, const char* key, int offset, int shift, int bits,
                            int maximum) {
            QTest::newRow(key) << int(field) << key << offset << shift << bits << maximum;
        };
        row(Field::EvHp, "ev_hp", 10, 0, 2, 3);
        row(Field::EvAttack, "ev_attack", 10, 2, 2, 3);
        row(Field::EvDefense, "ev_defense", 10, 4, 2, 3);
        row(Field::EvSpeed, "ev_speed", 10, 6, 2, 3);
        row(Field::EvSpAttack, "ev_sp_attack", 10, 8, 2, 3);
        row(Field::EvSpDefense, "ev_sp_defense", 10, 10, 2, 3);
        row(Field::Flip, "flip", 25, 7, 1, 1);
        row(species::tmHm(0), "tm01", 28, 0, 1, 1);
        row(species::tmHm(5), "tm06", 28, 5, 1, 1);
        row(species::tmHm(91), "tm92", 39, 3, 1, 1);
        row(species::tmHm(92), "hm01", 39, 4, 1, 1);
        row(species::tmHm(99), "hm08", 40, 3, 1, 1);
    }
    void dialogFields() {
        QFETCH(int, field);
        QFETCH(QString, key);
        QFETCH(int, offset);
        QFETCH(int, shift);
        QFETCH(int, bits);
        QFETCH(int, maximum);
        const species::FieldDescriptor& d = species::descriptor(Field(field));
        QCOMPARE(QString::fromUtf8(d.key.data(), qsizetype(d.key.size())), key);
        QCOMPARE(d.offset * 8 + d.shift, offset * 8 + shift); // the first bit
        QVERIFY(d.offset <= offset && d.offset + d.width() > offset);
        QCOMPARE(d.bits, bits);
        QCOMPARE(d.maximum, maximum);
        QVERIFY(d.control.empty());
    }
    void fieldTable() {
        QFETCH(int, field);
        QFETCH(QString, key);
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(QString, caption);
        QFETCH(QString, control);
        QFETCH(int, listSize);
        QFETCH(QString, firstEntry);
        const species::FieldDescriptor& d = species::descriptor(Field(field));
        const auto text = [](std::string_view view) {
            return QString::fromUtf8(view.data(), qsizetype(view.size()));
        };
        QCOMPARE(text(d.key), key);
        QCOMPARE(d.offset, offset);
        QCOMPARE(d.width(), width);
        QCOMPARE(text(d.caption), caption);
        QCOMPARE(text(d.control), control);
        QCOMPARE(d.isNumber(), listSize == 0);
        QCOMPARE(vocabulary::size(d.list, nds::Game::Diamond), listSize);
        QCOMPARE(
            QString::fromStdString(vocabulary::text(d.list, 0, nds::Game::Diamond).value_or("")),
            firstEntry);
        QVERIFY(!vocabulary::text(d.list, listSize, nds::Game::Diamond));
    }

    void decodesTheExampleRecord() {
        QByteArray record(44, '\0');
        record.replace(0, 10, QByteArray("\x2D\x31\x23\x2D\x41\x41\x0C\x03\x2D\x40", 10));
        record.replace(12, 4, QByteArray("\xC3\x01\xFF\xFF", 4));
        const species::Record values = recordOf(record);
        const auto at = [](const species::Record& r, Field field) { return r.get(field); };
        QCOMPARE(at(values, Field::HP), 45);
        QCOMPARE(at(values, Field::Attack), 49);
        QCOMPARE(at(values, Field::Defense), 35);
        QCOMPARE(at(values, Field::Speed), 45);
        QCOMPARE(at(values, Field::SpAttack), 65);
        QCOMPARE(at(values, Field::SpDefense), 65);
        QCOMPARE(at(values, Field::Type1), 12);
        QCOMPARE(at(values, Field::Type2), 3);
        QCOMPARE(at(values, Field::CatchRate), 45);
        QCOMPARE(at(values, Field::BaseXP), 64);
        QCOMPARE(at(values, Field::Item1), 451);
        QCOMPARE(at(values, Field::Item2), 0xFFFF);
    }

    // The entry a list shows for a stored value: -1 for none, nothing for a value it lacks.
    void shownEntries_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("entry"); // -2: none in the list, kept as it is
        QTest::newRow("item 451") << int(Field::Item1) << 451 << 451;
        QTest::newRow("item 464, the last") << int(Field::Item1) << 464 << 464;
        QTest::newRow("item 465, past the list") << int(Field::Item1) << 465 << -2;
        QTest::newRow("item FFFF is no selection") << int(Field::Item1) << 0xFFFF << -1;
        QTest::newRow("item 8000 is past the list") << int(Field::Item2) << 0x8000 << -2;
        QTest::newRow("item 7FFF") << int(Field::Item2) << 0x7FFF << -2;
        QTest::newRow("gender FF is None") << int(Field::Gender) << 0xFF << 255;
        QTest::newRow("type 17, the last") << int(Field::Type1) << 17 << 17;
        QTest::newRow("type FF is no selection of a byte") << int(Field::Type1) << 0xFF << -2;
    }
    void shownEntries() {
        QFETCH(int, field);
        QFETCH(int, stored);
        QFETCH(int, entry);
        QCOMPARE(species::shownEntry(species::descriptor(Field(field)), stored, nds::Game::Diamond)
                     .value_or(-2),
                 entry);
    }

    // What may be stored: the same rules for the window and statwright-cli.
    void refusals_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("position");
        QTest::addColumn<long>("value");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("refusal"); // empty: allowed
        QTest::newRow("stat 255") << int(Field::HP) << 0 << 255L << 1 << "";
        QTest::newRow("stat 256") << int(Field::HP) << 0 << 256L << 1
                                  << "256 is not between 0 and 255";
        QTest::newRow("stat -1") << int(Field::RunChance) << 0 << -1L << 1
                                 << "-1 is not between 0 and 255";
        QTest::newRow("type 17") << int(Field::Type2) << 0 << 17L << 1 << "";
        QTest::newRow("type 18") << int(Field::Type2) << 0 << 18L << 1
                                 << "18 is not in its list (0 to 17), and the image holds 1";
        QTest::newRow("type 64 kept") << int(Field::Type2) << 0 << 64L << 64 << "";
        QTest::newRow("item 465") << int(Field::Item1) << 0 << 465L << 0
                                  << "465 is not in its list (0 to 464), and the image holds 0";
        QTest::newRow("colour of Poliwag") << int(Field::Colour) << 59 << 3L << 1 << "";
        QTest::newRow("colour 11") << int(Field::Colour) << 59 << 11L << 1
                                   << "11 is not in its list (0 to 10), and the image holds 1";
        QTest::newRow("EV yield 3") << int(Field::EvSpeed) << 0 << 3L << 0 << "";
        QTest::newRow("EV yield 4")
            << int(Field::EvSpeed) << 0 << 4L << 0 << "4 is not between 0 and 3";
        QTest::newRow("flag 2") << int(Field::Flip) << 0 << 2L << 0 << "2 is not between 0 and 1";
        QTest::newRow("TM flag 1") << int(species::tmHm(5)) << 0 << 1L << 0 << "";
        QTest::newRow("colour of Bulbasaur") << int(Field::Colour) << 0 << 3L << 1 << "";
        QTest::newRow("gender of Magnemite")
            << int(Field::Gender) << 80 << 3L << 255
            << "Magnemite has no gender, so its gender cannot be changed";
        QTest::newRow("gender of Magnemite kept") << int(Field::Gender) << 80 << 255L << 255 << "";
        QTest::newRow("gender of Wormadam (Trash)") << int(Field::Gender) << 499 << 3L << 254 << "";
    }
    void refusals() {
        QFETCH(int, field);
        QFETCH(int, position);
        QFETCH(long, value);
        QFETCH(int, current);
        QFETCH(QString, refusal);
        const std::optional<std::string> refused =
            species::refusal(species::descriptor(Field(field)), position, value,
                             std::to_string(value), current, nds::Game::Diamond);
        QCOMPARE(QString::fromStdString(refused.value_or("")), refusal);
    }

    void encodingKeepsTheLowBits_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("expected"); // the field's bytes
        QTest::newRow("byte 5") << int(Field::HP) << 5 << QByteArray("\x05", 1);
        QTest::newRow("byte 200") << int(Field::HP) << 200 << QByteArray("\xC8", 1);
        QTest::newRow("byte -1") << int(Field::Type1) << -1 << QByteArray("\xFF", 1);
        QTest::newRow("byte 256") << int(Field::CatchRate) << 256 << QByteArray("\x00", 1);
        QTest::newRow("word 300") << int(Field::Item1) << 300 << QByteArray("\x2C\x01", 2);
        QTest::newRow("word -1") << int(Field::Item2) << -1 << QByteArray("\xFF\xFF", 2);
        QTest::newRow("word 65535") << int(Field::Item2) << 65535 << QByteArray("\xFF\xFF", 2);
    }

    // The fields of fewer bits than their bytes, against literal bytes: the bits of the field
    // change, every other bit of the record stays.
    void bitFields_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("before"); // all 44 bytes are this one
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("after"); // the bytes from `at` on
        QTest::newRow("EV speed 3")
            << int(Field::EvSpeed) << 3 << QByteArray(1, '\0') << 10 << QByteArray("\xC0\x00", 2);
        QTest::newRow("EV Sp. Attack 2 keeps bits 12 to 15")
            << int(Field::EvSpAttack) << 2 << QByteArray("\xFF") << 10 << QByteArray("\xFF\xFE");
        QTest::newRow("EV Sp. Defense 0")
            << int(Field::EvSpDefense) << 0 << QByteArray("\xFF") << 10 << QByteArray("\xFF\xF3");
        QTest::newRow("EV HP 1") << int(Field::EvHp) << 1 << QByteArray(1, '\0') << 10
                                 << QByteArray("\x01\x00", 2);
        QTest::newRow("colour keeps the flag")
            << int(Field::Colour) << 3 << QByteArray("\x81") << 25 << QByteArray("\x83");
        QTest::newRow("colour 10")
            << int(Field::Colour) << 10 << QByteArray(1, '\0') << 25 << QByteArray("\x0A");
        QTest::newRow("flag cleared keeps the colour")
            << int(Field::Flip) << 0 << QByteArray("\x83") << 25 << QByteArray("\x03");
        QTest::newRow("TM06") << int(species::tmHm(5)) << 1 << QByteArray(1, '\0') << 28
                              << QByteArray("\x20");
        QTest::newRow("HM08 keeps bits 100 to 127")
            << int(species::tmHm(99)) << 0 << QByteArray("\xFF") << 40 << QByteArray("\xF7");
        QTest::newRow("HM01") << int(species::tmHm(92)) << 1 << QByteArray(1, '\0') << 39
                              << QByteArray("\x10");
    }
    void bitFields() {
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(QByteArray, before);
        QFETCH(int, at);
        QFETCH(QByteArray, after);
        species::Record record = recordOf(QByteArray(44, before[0]));
        record.set(Field(field), value);
        QCOMPARE(record.get(Field(field)), value);
        QByteArray expected(44, before[0]);
        expected.replace(at, after.size(), after);
        QCOMPARE(bytesOf(record).toHex(), expected.toHex());
    }
    void encodingKeepsTheLowBits() {
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(QByteArray, expected);
        const species::FieldDescriptor& d = species::descriptor(Field(field));
        species::Record record = recordOf(QByteArray(44, '\xEE'));
        record.set(Field(field), value);
        QCOMPARE(bytesOf(record).mid(d.offset, d.width()), expected);
        QCOMPARE(bytesOf(record)[d.offset + d.width()], '\xEE');
    }

    void everyStoredValueSurvivesDecodeAndEncode() {
        for (int value = 0; value < 256; ++value) {
            species::Record record = recordOf(QByteArray(44, char(value)));
            const species::Record before = record;
            for (const species::FieldDescriptor& field : species::fieldLayout())
                record.set(field.field, before.get(field.field));
            QCOMPARE(bytesOf(record), bytesOf(before));
        }
    }

    void editLeavesUnsetFieldsAlone() {
        species::Record record = recordOf(QByteArray(44, '\x77'));
        record.set(Field::HP, 1);
        record.set(Field::MaxExp, 2);
        for (int b = 0; b < species::kRecordSize; ++b)
            QCOMPARE(int(record.bytes()[std::size_t(b)]), b == 0 ? 1 : b == 19 ? 2 : 0x77);
    }

    void recordOffsets_data() {
        QTest::addColumn<qint64>("base");
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("offset"); // -1: refused
        QTest::newRow("first") << 29448712LL << 0 << 29448712LL;
        QTest::newRow("second") << 29448712LL << 1 << 29448756LL;
        QTest::newRow("last") << 58670088LL << 499 << 58692044LL;
        QTest::newRow("past the list") << 58670088LL << 500 << -1LL;
        QTest::newRow("negative") << 58670088LL << -1 << -1LL;
        QTest::newRow("no base") << -1LL << 0 << -1LL;
        QTest::newRow("overflowing base")
            << std::numeric_limits<qint64>::max() - 100 << 499 << -1LL;
    }
    void recordOffsets() {
        QFETCH(qint64, base);
        QFETCH(int, position);
        QFETCH(qint64, offset);
        const base::Result<std::int64_t> found = species::recordOffset(base, position);
        QCOMPARE(found.ok(), offset >= 0);
        if (found.ok())
            QCOMPARE(found.value(), offset);
    }

    // Every position against the two tables written out in EntryTables.h: a changed, shifted,
    // missing or extra entry fails and is named.
    void rules() {
        for (int p = 0; p < species::kAllEntries; ++p) {
            const auto colour = entryTables::spriteFlagEntries().find(p);
            QVERIFY2(species::spriteFlagColour(p) ==
                         (colour == entryTables::spriteFlagEntries().end()
                              ? std::nullopt
                              : std::optional<int>(colour->second)),
                     qPrintable(QStringLiteral("sprite-flag table, position %1").arg(p)));
            QVERIFY2(species::isNoGenderSpecies(p) == (entryTables::noGenderSpecies().count(p) > 0),
                     qPrintable(QStringLiteral("no-gender table, position %1").arg(p)));
        }
        QCOMPARE(species::spriteFlagEntries().size(), std::size_t(27));
        QCOMPARE(species::noGenderSpecies().size(), std::size_t(63));
        int notes = 0;
        for (int p = 0; p < species::kSpeciesCount; ++p)
            notes += species::alternateFormNote(p) != species::FormNote::None;
        QCOMPARE(notes, 2);
        QCOMPARE(species::alternateFormNote(385), species::FormNote::Deoxys);
        QCOMPARE(species::alternateFormNote(412), species::FormNote::Wormadam);
    }

    void statValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: refused
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("255") << "255" << 255;
        QTest::newRow("256") << "256" << -1;
        QTest::newRow("255.5") << "255.5" << -1;
        QTest::newRow("255.4 is above 255") << "255.4" << -1;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("-0") << "-0" << 0;
        QTest::newRow("+7") << "+7" << 7;
        QTest::newRow("12.5 to even") << "12.5" << 12;
        QTest::newRow("13.5 to even") << "13.5" << 14;
        QTest::newRow("0.5") << "0.5" << 0;
        QTest::newRow(".5") << ".5" << 0;
        QTest::newRow("1.5") << "1.5" << 2;
        QTest::newRow("254.6") << "254.6" << 255;
        QTest::newRow("5.") << "5." << 5;
        QTest::newRow("spaces") << " 45 " << 45;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "  " << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("exponent") << "1e2" << -1;
        QTest::newRow("hex") << "0x10" << -1;
        QTest::newRow("two points") << "1.2.3" << -1;
        QTest::newRow("sign alone") << "-" << -1;
        QTest::newRow("point alone") << "." << -1;
        QTest::newRow("comma") << "1,5" << -1;
    }
    void statValues() {
        QFETCH(QString, text);
        QFETCH(int, value);
        const std::optional<int> found = species::statValue(text.toStdString());
        QCOMPARE(found.has_value(), value >= 0);
        if (found)
            QCOMPARE(*found, value);
    }

    void readAndSaveARecord() {
        SyntheticRom roms;
        const QString path = roms.createFor("ADAE");
        SyntheticRom::fillRecords(path, "ADAE", 7);
        const qint64 offset = SyntheticRom::recordOffset("ADAE", 499);
        const QByteArray before = SyntheticRom::read(path, offset, 44);
        FaultInjectingIo io;
        species::ImageDocument document(io, local(path));

        QVERIFY(document.open().ok());
        QCOMPARE(bytesOf(document.record(499, species::Kind::BaseStats)), before);

        const std::vector<species::Change> edit{document.changeTo(499, Field::HP, 0x11),
                                                document.changeTo(499, Field::Item1, 300)};
        io.reset();
        QVERIFY(document.save(edit, "test").ok());
        QCOMPARE(io.opensOf(local(path)), 1);
        // From the first byte set to the last, after the journal.
        const std::vector<FaultInjectingIo::Span> written = io.writesInto(local(path));
        QCOMPARE(written, (std::vector<FaultInjectingIo::Span>{{offset, 14}}));
        QCOMPARE(io.count(Call::Fsync), 2); // the journal and the image
        QByteArray expected = before;
        expected[0] = 0x11;
        expected[12] = 0x2C;
        expected[13] = 0x01;
        QCOMPARE(SyntheticRom::read(path, offset, 44), expected);
        QCOMPARE(SyntheticRom::read(path, offset + 44, 1).size(), 1); // the file kept its length
    }

    // Changes of one entry may come apart (two of Garchomp's fields from two rows of a table):
    // the one write of a run of entries covers every byte that any of them sets.
    void writeCoversEveryChange() {
        SyntheticRom roms;
        const QString path = roms.createFor("ADAE");
        SyntheticRom::fillRecords(path, "ADAE", 7);
        const nds::GameEdition& edition = *nds::findEdition("ADAE");
        const qint64 offset = SyntheticRom::recordOffset("ADAE", 10);
        const QByteArray before = SyntheticRom::read(path, offset, 88);
        const species::Change changes[] = {
            {11, Field::Speed, 0, 0x22}, {10, Field::Item1, 0, 300}, {10, Field::HP, 0, 0x11}};

        FaultInjectingIo io;
        base::Result<files::LockedFile> image =
            files::openLocked(io, local(path), files::Access::Write, species::writableRanges);
        QVERIFY(image.ok());
        const species::RecordKind& stats = species::recordKind(species::Kind::BaseStats);
        const base::Result<species::TablePlace> place =
            stats.find(image.value().file, edition, nullptr, nullptr); // no file system
        QVERIFY(place.ok());
        const base::Result<species::KindWrite> spans =
            stats.rewrites(image.value().file, place.value(), changes);
        QVERIFY(spans.ok());
        QVERIFY(files::rewriteWithJournal(image.value().file, spans.value().spans, "test").ok());
        QVERIFY(image.value().file.close().ok());

        const std::vector<FaultInjectingIo::Span> written = io.writesInto(local(path));
        QCOMPARE(written, (std::vector<FaultInjectingIo::Span>{{offset, 48}}));
        QByteArray expected = before;
        expected[0] = 0x11;
        expected[12] = 0x2C;
        expected[13] = 0x01;
        expected[44 + 3] = 0x22;
        QCOMPARE(SyntheticRom::read(path, offset, 88), expected);
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
