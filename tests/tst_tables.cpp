// One contract for both readers of an edited table: the same table, written as CSV and as
// JSON, gives the same changes or the same problems, each at its own kind of place (a line and
// a column, or an entry's member). Links only the table library and the core below it.
#include "EntryRules.h"
#include "SampleImage.h"
#include "TableImport.h"
#include "TableReader.h"
#include "TableWriter.h"
#include "Vocabulary.h"

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

    // "hp=300@3", "drop@9", "position=8@9": a cell of the row of position 9, or the row.
    void edit(const QString& change) {
        const QString what = change.section('@', 0, 0);
        const auto row = rows.begin() + change.section('@', 1).toInt();
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
                cells << row.at(column);
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
        return tables::planImport(input, m_entries, nds::Game::Diamond);
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
        row("a position missing", {"drop@9"}, "", "position 9 is missing: every entry needs a row");
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
        QCOMPARE(planned.problems.count(), std::size_t(edits.contains("position=8@9") ? 2 : 1));
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

    // The changes a table plans are the same, whichever format carries it.
    void changesOfEitherFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("csv") << "csv";
        QTest::newRow("json") << "json";
    }
    void changesOfEitherFormat() {
        QFETCH(QString, format);
        Table table = Table::of(m_entries);
        table.edit("hp=200@3");
        table.edit("tm_hm=TM01 HM08@10");
        table.edit("colour=2@11");
        const tables::ImportPlan planned = plan(table, format);
        QVERIFY(planned.problems.empty());
        // Worked out here: the records the plan should leave.
        std::vector<species::Record> expected = m_entries;
        expected[3].set(Field::HP, 200);
        for (int n = 0; n < species::kTmHmCount; ++n)
            expected[10].set(species::tmHm(n), n == 0 || n == 99 ? 1 : 0);
        expected[11].set(Field::Colour, 2);
        std::vector<species::Record> planned_ = m_entries;
        for (const species::Change& change : planned.changes) {
            QCOMPARE(change.before, m_entries[std::size_t(change.position)].get(change.field));
            QVERIFY(change.before != change.after);
            planned_[std::size_t(change.position)].set(change.field, change.after);
        }
        QVERIFY(planned_ == expected);
        QVERIFY(std::is_sorted(planned.changes.begin(), planned.changes.end(),
                               [](const species::Change& a, const species::Change& b) {
                                   return std::pair(a.position, a.field) <
                                          std::pair(b.position, b.field);
                               }));
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
