// The window and statwright-cli on the same images: a table edited outside the program and
// imported shows in the window, and the demo image that the CLI writes opens and saves.
#include "WindowHarness.h"
#include "cli/Cli.h"

#include <QtTest/QTest>

#include <sstream>

class TestCliWindow : public QObject {
    Q_OBJECT

private slots:
    void editedTableShowsInTheWindow() {
        WindowHarness h;
        const QString image = h.roms.createFor("APAS");
        SyntheticRom::fillRecords(image, "APAS", 9);
        const std::string table = QFile::encodeName(h.roms.folder() + "/table.csv").toStdString();
        const std::string path = QFile::encodeName(image).toStdString();
        std::ostringstream out, err;
        QCOMPARE(cli::run({"export", path, "--output", table}, out, err), 0);

        QFile file(QString::fromStdString(table));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        QList<QByteArray> pikachu = lines[25].split(','); // position 24
        QCOMPARE(pikachu[1], QByteArray("Pikachu"));
        pikachu[2] = "123";  // hp
        pikachu[8] = "13";   // type1: Electric
        pikachu[13] = "236"; // item2: Light Ball
        lines[25] = pikachu.join(',');
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join('\n'));
        file.close();
        QCOMPARE(cli::run({"import", path, table}, out, err), 0);

        h.open(image);
        h.clickEntry(24);
        QCOMPARE(h.box("txtHP")->text(), QStringLiteral("123"));
        QCOMPARE(h.list("cmbType1")->currentText(), QStringLiteral("Electric"));
        QCOMPARE(h.list("cmbItem2")->currentText(), QStringLiteral("Light Ball"));
    }

    // Values computed from the position, written out here: hp 20 + 37p % 180 at position p.
    void demoImageOpensAndSaves() {
        WindowHarness h;
        const std::string demo = QFile::encodeName(h.roms.folder() + "/demo.nds").toStdString();
        std::ostringstream out, err;
        QCOMPARE(cli::run({"sample", demo}, out, err), 0);
        h.open(QString::fromStdString(demo));
        QCOMPARE(h.caption(), QStringLiteral("ADAE - Statwright"));
        h.clickEntry(5);
        QCOMPARE(h.box("txtHP")->text(), QString::number(20 + 37 * 5 % 180));
        h.type("txtHP", "99");
        h.save();
        QCOMPARE(h.prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));

        std::ostringstream table;
        QCOMPARE(cli::run({"export", demo}, table, err), 0);
        QVERIFY(QString::fromStdString(table.str()).contains("\n5,Charizard,99,"));
    }
};

QTEST_MAIN(TestCliWindow)
#include "tst_cli_window.moc"
