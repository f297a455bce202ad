// One contract for both readers of an edited table: the same table, written as CSV and as
// JSON, gives the same changes or the same problems, each at its own kind of place (a line and
// a column, or an entry's member). Links only the table library and the core below it.
#include "nds/GameEdition.h"
#include "species/EntryRules.h"
#include "species/SampleImage.h"
#include "species/Vocabulary.h"
#include "tables/ChangeLog.h"
#include "tables/ChangeText.h"
#include "tables/TableImport.h"
#include "tables/TableReader.h"
#include "tables/TableWriter.h"

#include <QRegularExpression>
#include <QStringList>
#include <QtTest/QTest>

#include <algorithm>
#include <map>

namespace {

using species::Field;

// A table as rows of cells by column, in the columns' order; edited by the rows of the test,
// then written in either format.
struct Table {
    QStringList columns;
    std::vector<std::map<QString, QString>> rows;

    // As export writes it, from `entries`.
    static Table of(const std::vector<species::Record>& entries) {
        const QStringList lines = QString::fromStdString(tables::toCsv(entries)).split('\n');
        Table table{lines.front().split(','), {}};
        for (qsizetype i = 1; i < lines.size() && !lines[i].isEmpty(); ++i) {
            const QStringList cells = lines[i].split(',');
            std::map<QString, QString> row;
            for (qsizetype c = 0; c < table.columns.size(); ++c)
                row[table.columns[c]] = cells[c];
            table.rows.push_back(row);
        }
        return table;
    }

    // "hp=300@3", "drop@9", "position=8@9": a cell of the row of position 9, or the row;
    // "only=hp" keeps position, species and that column.
    void edit(const QString& change) {
        const QString what = change.section('@', 0, 0);
        if (what.startsWith("only=")) {
            columns = {"position", "species", what.section('=', 1)};
            return;
        }
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& cells) {
            return cells.at("position") == change.section('@', 1);
        });
        if (what == "drop")
            rows.erase(row);
        else
            (*row)[what.section('=', 0, 0)] = what.section('=', 1);
    }

    [[nodiscard]] std::string csv() const {
        QString text = columns.join(',') + '\n';
        for (const auto& row : rows) {
            QStringList cells;
            for (const QString& column : columns)
                cells << (row.at(column).contains(',') ? '"' + row.at(column) + '"'
                                                       : row.at(column));
            text += cells.join(',') + '\n';
        }
        return text.toStdString();
    }

    // Numbers as numbers, tm_hm as an array of names, the rest as strings.
    [[nodiscard]] std::string json() const {
        static const QRegularExpression number("^-?[0-9]+$");
        QStringList entries;
        for (const auto& row : rows) {
            QStringList members;
            for (const QString& column : columns) {
                const QString& cell = row.at(column);
                QString value = '"' + cell + '"';
                if (column == "tm_hm")
                    value = cell.isEmpty() ? "[]" : "[\"" + cell.split(' ').join("\", \"") + "\"]";
                else if (number.match(cell).hasMatch())
                    value = cell;
                members << '"' + column + "\": " + value;
            }
            entries << '{' + members.join(", ") + '}';
        }
        return ("{\"entries\": [\n" + entries.join(",\n") + "\n]}\n").toStdString();
    }
};

} // namespace

class TestTables : public QObject {
    Q_OBJECT

    std::vector<species::Record> m_entries; // made-up values of a Diamond image

    [[nodiscard]] tables::ImportPlan plan(const Table& table, const QString& format) const {
        const tables::InputTable input = format == "csv" ? tables::readCsvTable(table.csv())
                                                         : tables::readJsonTable(table.json());
        return tables::planImport(input, {{species::Kind::BaseStats, m_entries}},
                                  nds::Game::Diamond);
    }

private slots:
    void initTestCase() {
        for (int position = 0; position < species::kSpeciesCount; ++position)
            m_entries.push_back(species::sampleEntry(position));
    }

    // Each row in both formats: the changes it plans, or the one problem it has.
    void contract_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("column"); // of the problem; empty: the table as a whole
        QTest::addColumn<QString>("reason"); // its start; empty: no problem
        const auto row = [](const char* name, QStringList edits, QString column, QString reason) {
            for (const char* format : {"csv", "json"})
                QTest::addRow("%s: %s", format, name) << format << edits << column << reason;
        };
        row("unchanged", {}, "", "");
        row("a stat of 300", {"hp=300@3"}, "hp", "300 is not between 0 and 255");
        row("a negative stat", {"attack=-1@3"}, "attack", "-1 is not between 0 and 255");
        row("a number beyond every range", {"speed=18446744073709551615@3"}, "speed",
            "18446744073709551615 is not between 0 and 255");
        row("a type beyond its list", {"type1=18@9"}, "type1", "18 is not in its list (0 to 17)");
        row("an item beyond Diamond's list", {"item1=465@9"}, "item1",
            "465 is not in its list (0 to 464)");
        row("a colour beyond its list", {"colour=11@9"}, "colour",
            "11 is not in its list (0 to 10)");
        row("an EV yield of 4", {"ev_speed=4@59"}, "ev_speed", "4 is not between 0 and 3");
        row("a sprite flag of 2", {"flip=2@59"}, "flip", "2 is not between 0 and 1");
        row("no such TM", {"tm_hm=TM93@59"}, "tm_hm", "\"TM93\" is no TM or HM");
        row("a TM twice", {"tm_hm=TM01 HM04 TM01@59"}, "tm_hm", "TM01 is named twice");
        row("a gender for a species without one", {"gender=3@80"}, "gender",
            "Magnemite has no gender, so its gender cannot be changed");
        // The row of position 9 now says 8: 9 goes missing too.
        row("a position twice", {"position=8@9"}, "position", "8 was given already");
        row("a name not in the list", {"type1=dragn@3"}, "type1",
            "\"dragn\" is neither a number nor a type of this game; the nearest names are "
            "Dragon");
        row("a name of several items", {"item1=???@3"}, "item1",
            "\"???\" names 23 entries of the item list");
        row("an item not in the list", {"item1=Leftover@3"}, "item1",
            "\"Leftover\" is neither a number nor an item of this game; the nearest names are "
            "Leftovers");
        row("rows shifted", {"species=Bellsprout@10"}, "species",
            "\"Bellsprout\" does not stand at position 10, \"Metapod\" does: are the rows "
            "shifted?");
    }
    void contract() {
        QFETCH(QString, format);
        QFETCH(QStringList, edits);
        QFETCH(QString, column);
        QFETCH(QString, reason);
        Table table = Table::of(m_entries);
        for (const QString& edit : edits)
            table.edit(edit);
        const tables::ImportPlan planned = plan(table, format);
        if (reason.isEmpty()) {
            QVERIFY(planned.problems.empty());
            QVERIFY(planned.changes.empty());
            return;
        }
        QCOMPARE(planned.problems.count(), std::size_t(1));
        const std::vector<base::Error> shown = planned.problems.shown();
        const auto found = std::find_if(shown.begin(), shown.end(), [&](const base::Error& e) {
            return QString::fromStdString(e.reason).startsWith(reason);
        });
        QVERIFY2(found != shown.end(), shown.front().describe().c_str());
        const base::Error& problem = *found;
        // A line and a column in CSV, an entry's member in JSON ("entries[3].hp").
        const QString where = QString::fromStdString(problem.where);
        QVERIFY2(format == "csv" ? where == column : where.endsWith(column),
                 problem.describe().c_str());
        QCOMPARE(problem.line > 0, format == "csv" && !column.isEmpty());
    }

    // What a table plans is the same, whichever format carries it: the records it leaves,
    // worked out here, and nothing else changed.
    void changesOfEitherFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("expected"); // field=value@position
        const auto row = [](const char* name, QStringList edits, QStringList expected) {
            for (const char* format : {"csv", "json"})
                QTest::addRow("%s: %s", format, name) << format << edits << expected;
        };
        row("a stat, flags and a colour", {"hp=200@3", "tm_hm=TM01 HM08@10", "colour=2@11"},
            {"hp=200@3", "flags=TM01 HM08@10", "colour=2@11"});
        row("names for numbers, in any case",
            {"type1=dragon@3", "ability1=LEVITATE@3", "item1=Leftovers@4", "egg_type1=water 1@5",
             "colour=Green@6", "gender=50% M 50% F@7", "max_exp=1,000,000@8"},
            {"type1=16@3", "ability1=26@3", "item1=234@4", "egg_type1=2@5", "colour=3@6",
             "gender=127@7", "max_exp=0@8"});
        row("only the rows changed", {"drop@0", "drop@9", "drop@499", "speed=1@10"},
            {"speed=1@10"});
        row("only the columns changed", {"only=hp", "hp=9@12"}, {"hp=9@12"});
        // The list has "King’s Rock"; keyboards type a plain apostrophe.
        row("a plain apostrophe for the list's own", {"item1=king's rock@4"}, {"item1=221@4"});
    }
    void changesOfEitherFormat() {
        QFETCH(QString, format);
        QFETCH(QStringList, edits);
        QFETCH(QStringList, expected);
        Table table = Table::of(m_entries);
        for (const QString& edit : edits)
            table.edit(edit);
        const tables::ImportPlan planned = plan(table, format);
        QVERIFY2(planned.problems.empty(),
                 planned.problems.empty() ? "" : planned.problems.shown()[0].describe().c_str());
        std::vector<species::Record> records = m_entries;
        for (const QString& change : expected) {
            species::Record& record = records[change.section('@', 1).toUInt()];
            const QString field = change.section('=', 0, 0);
            const QString value = change.section('=', 1).section('@', 0, 0);
            if (field == "flags") {
                const QStringList flags = value.split(' ');
                for (int n = 0; n < species::kTmHmCount; ++n)
                    record.set(species::tmHm(n),
                               flags.contains(QString::fromLatin1(
                                   species::descriptor(species::tmHm(n)).caption.data(), 4)));
                continue;
            }
            for (const species::FieldDescriptor& d : species::fieldLayout())
                if (field == QLatin1String(d.key.data(), qsizetype(d.key.size())))
                    record.set(d.field, value.toInt());
        }
        std::vector<species::Record> after = m_entries;
        for (const species::Change& change : planned.changes) {
            QCOMPARE(change.before, m_entries[std::size_t(change.position)].get(change.field));
            QVERIFY(change.before != change.after);
            after[std::size_t(change.position)].set(change.field, change.after);
        }
        QVERIFY(after == records);
        QVERIFY(std::is_sorted(planned.changes.begin(), planned.changes.end(),
                               [](const species::Change& a, const species::Change& b) {
                                   return std::pair(a.position, a.field) <
                                          std::pair(b.position, b.field);
                               }));
    }

    // The lines that list changes: numbers as stored, or with a game the names of list values;
    // the two placeholders told apart by their positions.
    void changeLines_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("names");
        QTest::addColumn<QString>("line");
        QTest::newRow("a stat") << 0 << int(Field::HP) << 45 << 50 << true
                                << "Bulbasaur: hp 45 -> 50";
        QTest::newRow("a type as a number")
            << 146 << int(Field::Type2) << 14 << 16 << false << "Dratini: type2 14 -> 16";
        QTest::newRow("a type by name")
            << 146 << int(Field::Type2) << 11 << 16 << true << "Dratini: type2 Water -> Dragon";
        QTest::newRow("a gender ratio, without the space its list ends it with")
            << 0 << int(Field::Gender) << 0 << 254 << true
            << "Bulbasaur: gender 100% M 0% F -> 0% M 100% F";
        QTest::newRow("a value beyond its list, by name")
            << 146 << int(Field::Item1) << 0 << 600 << true << "Dratini: item1 -No Item- -> 600";
        QTest::newRow("the first placeholder")
            << 493 << int(Field::HP) << 1 << 2 << false << "??? (position 493): hp 1 -> 2";
        QTest::newRow("the second placeholder")
            << 494 << int(Field::HP) << 1 << 2 << false << "??? (position 494): hp 1 -> 2";
    }
    void changeLines() {
        QFETCH(int, position);
        QFETCH(int, field);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, names);
        QFETCH(QString, line);
        const species::Change change{position, Field(field), before, after};
        const std::optional<nds::Game> game =
            names ? std::optional(nds::Game::Diamond) : std::nullopt;
        QCOMPARE(QString::fromStdString(tables::describeChanges(std::span(&change, 1), game)[0]),
                 line);
    }

    // Spreadsheets of many European locales write semicolons between fields, and people write
    // column names as they like: the header line decides, and its case does not matter.
    void csvAsSpreadsheetsWriteIt() {
        Table table = Table::of(m_entries);
        table.edit("hp=201@3");
        table.edit("max_exp=1,000,000@4");
        QString text = QString::fromStdString(table.csv());
        const QString expected =
            QString::fromStdString(tables::describeChanges(plan(table, "csv").changes)[0]);
        text.replace("\"1,000,000\"", "1.000.000"); // no comma may stay in a field
        text.replace(',', ';');
        text.replace("1.000.000", "\"1,000,000\"");
        text.replace("position;species;hp;", "Position;SPECIES;HP;");
        const tables::ImportPlan planned =
            tables::planImport(tables::readCsvTable(text.toStdString()),
                               {{species::Kind::BaseStats, m_entries}}, nds::Game::Diamond);
        QVERIFY2(planned.problems.empty(),
                 planned.problems.empty() ? "" : planned.problems.shown()[0].describe().c_str());
        QCOMPARE(planned.changes.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(tables::describeChanges(planned.changes)[0]), expected);
        QCOMPARE(planned.changes[1].field, Field::MaxExp);
        QCOMPARE(planned.changes[1].after, 0);
    }

    // The change log of two images, as players read it: names, totals, the flags on one line
    // with the moves they teach in the second image's game. Expected texts written out here.
    void changeLog_data() {
        QTest::addColumn<QString>("to");     // the second image's code
        QTest::addColumn<QString>("format"); // text, markdown
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "ADAE"
                              << "text"
                              << "Changes from Pokémon Diamond (English, ADAE) to Pokémon "
                                 "Diamond (English, ADAE)\n"
                                 "\n"
                                 "445 Garchomp\n"
                                 "  Speed: 102 -> 95\n"
                                 "  Total: 602 -> 595\n"
                                 "  Type 2: Flying -> Steel\n"
                                 "  Item 1: Value 600 -> Leftovers\n"
                                 "  TM/HM: +TM06 Toxic, -HM04 Strength\n";
        QTest::newRow("markdown, into HeartGold")
            << "IPKE"
            << "markdown"
            << "## Changes from Pokémon Diamond (English, ADAE) to Pokémon HeartGold Version "
               "(English, IPKE)\n"
               "\n"
               "### 445 Garchomp\n"
               "- Speed: 102 -> 95\n"
               "- Total: 602 -> 595\n"
               "- Type 2: Flying -> Steel\n"
               "- Item 1: Value 600 -> Leftovers\n"
               "- TM/HM: +TM06 Toxic, -HM04 Strength\n"
               "\n"
               "Entries 500 to 506 are only in Pokémon HeartGold Version (English, IPKE).\n";
    }
    void changeLog() {
        QFETCH(QString, to);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        const nds::GameEdition& from = *nds::findEdition("ADAE");
        const nds::GameEdition& into = *nds::findEdition(to.toStdString());
        std::vector<species::Record> before(500), after(to == "ADAE" ? 500 : 507);
        species::Record& garchomp = before[444];
        for (const Field stat : {Field::HP, Field::Attack, Field::Defense, Field::Speed,
                                 Field::SpAttack, Field::SpDefense})
            garchomp.set(stat, 100);
        garchomp.set(Field::Speed, 102);
        garchomp.set(Field::Type2, 2);      // Flying
        garchomp.set(Field::Item1, 600);    // beyond the list
        garchomp.set(species::tmHm(95), 1); // HM04
        std::copy(before.begin(), before.end(), after.begin());
        species::Record& changed = after[444];
        changed.set(Field::Speed, 95);
        changed.set(Field::Type2, 8);     // Steel
        changed.set(Field::Item1, 234);   // Leftovers
        changed.set(species::tmHm(5), 1); // TM06
        changed.set(species::tmHm(95), 0);
        const species::Tables first{{species::Kind::BaseStats, before}};
        const species::Tables second{{species::Kind::BaseStats, after}};
        const std::string log = tables::changeLog(from, first, into, second,
                                                  format == "text" ? tables::LogFormat::Text
                                                                   : tables::LogFormat::Markdown);
        QCOMPARE(QString::fromStdString(log), expected);
        QVERIFY(QString::fromStdString(
                    tables::changeLog(from, first, from, first, tables::LogFormat::Text))
                    .endsWith("\nNo differences.\n"));
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
