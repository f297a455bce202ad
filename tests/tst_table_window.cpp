// The table of all entries, driven as a user drives it: Ctrl+T, a click on a header, the
// filter, typing into cells, Set for Selected Entries, Save Changes with its preview, and the
// questions that keep staged values from being dropped. The bytes on disk are checked.
#include "CliRun.h"
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"

#include "species/Vocabulary.h"
#include "tables/TableWriter.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest/QTest>

namespace {

constexpr int kSpeed = 3;       // byte of the record
constexpr int kTotalColumn = 8; // after position, name and the six stats

QWidget* tableWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "tableWindow" && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

class TestTableWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    QString m_path;
    QWidget* m_table = nullptr;
    QTableView* m_grid = nullptr;
    int m_opens = 0; // of the image, to show the table

    QByteArray record(int position) const {
        return SyntheticRom::read(m_path, SyntheticRom::recordOffset("ADAE", position), 44);
    }
    // The column of the header caption `caption`.
    int column(const QString& caption) const {
        for (int c = 0; c < m_grid->model()->columnCount(); ++c)
            if (m_grid->model()->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        qFatal("no column %s", qPrintable(caption));
    }
    // The view's row that shows the entry at `position`.
    int rowOf(int position) const {
        for (int row = 0; row < m_grid->model()->rowCount(); ++row)
            if (m_grid->model()->index(row, 0).data().toInt() == position)
                return row;
        return -1;
    }
    QString status() const { return m_table->findChild<QLabel*>("lblTableStatus")->text(); }
    QAction* action(const char* name) const { return m_table->findChild<QAction*>(name); }
    // Types `text` into the cell of `position` and `caption`, as a user does, and Enter.
    void typeInto(int position, const QString& caption, const QString& text) {
        const QModelIndex cell = m_grid->model()->index(rowOf(position), column(caption));
        m_grid->setCurrentIndex(cell);
        QTest::keyClick(m_grid, Qt::Key_F2);
        auto* box = m_grid->findChild<QLineEdit*>("txtCell");
        QVERIFY(box);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view commits the edit once back in its loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // and the editor
    }
    void selectRows(const QList<int>& positions) {
        m_grid->clearSelection();
        for (const int position : positions)
            m_grid->selectionModel()->select(m_grid->model()->index(rowOf(position), 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
    }

private slots:
    void init() {
        m_h = std::make_unique<WindowHarness>();
        m_path = m_h->openNew("ADAE", 9);
        // Entries 0 to 3 with speeds worked out here.
        for (int position = 0; position < 4; ++position)
            SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", position) + kSpeed,
                                QByteArray(1, char(100 + position)));
        m_h->io.reset();
        m_h->pressShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
        m_opens = m_h->io.opensOf(QFile::encodeName(m_path).toStdString());
        m_table = tableWindow();
        QVERIFY(m_table);
        QApplication::setActiveWindow(m_table);
        m_grid = m_table->findChild<QTableView*>("tblEntries");
    }
    void cleanup() {
        m_h->prompter.answers = {QStringLiteral("Discard"), QStringLiteral("Discard")};
        m_h.reset();
    }

    void showsEveryEntry() {
        QCOMPARE(m_table->windowTitle(), QStringLiteral("Table - ADAE - Statwright[*]"));
        QCOMPARE(m_grid->model()->rowCount(), 500);
        QCOMPARE(m_grid->model()->headerData(column("Catch Rate"), Qt::Horizontal, Qt::ToolTipRole),
                 QStringLiteral("statwright-cli: catch_rate"));
        QCOMPARE(m_grid->model()->index(rowOf(2), column("Speed")).data().toInt(), 102);
        QCOMPARE(status(), QStringLiteral("500 entries, 500 shown; no changes"));
        QCOMPARE(m_opens, 1);
        // What a screen reader says of the status line and of the filter's clear button.
        QCOMPARE(m_table->findChild<QLabel*>("lblTableStatus")->accessibleName(), status());
        auto* filter = m_table->findChild<QLineEdit*>("txtFilter");
        filter->setText(QStringLiteral("x"));
        const QList<QToolButton*> buttons = filter->findChildren<QToolButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const QToolButton* button : buttons)
            QCOMPARE(button->accessibleName(), QStringLiteral("Clear the filter"));
        filter->clear();
    }

    // Every entry at once: one journal, and the image and its folder flushed once each.
    void savesFiveHundredChanges() {
        m_grid->selectAll();
        action("mnuSetSelected")->trigger();
        auto* dialog = m_table->findChild<QDialog*>("dlgSetSelected");
        auto* field = dialog->findChild<QComboBox*>("cmbSetField");
        field->setCurrentIndex(field->findText("Catch Rate"));
        dialog->findChild<QSpinBox*>("spnSetValue")->setValue(45);
        dialog->accept();
        m_h->prompter.answers << "Save";
        m_h->io.reset();
        action("mnuTableSave")->trigger();
        for (int position = 0; position < 500; ++position)
            QCOMPARE(int(quint8(record(position)[8])), 45);
        QCOMPARE(m_h->io.flushes(), 4);
        QCOMPARE(m_h->io.opensOf(QFile::encodeName(m_path).toStdString()), 1);
        const std::string journal = QFile::encodeName(m_path).toStdString() + ".statwright-journal";
        QCOMPARE(m_h->io.writesInto(journal).size(), std::size_t(1));
    }

    // A click on Total sorts by it, smallest first; a second click, largest first.
    void sortsByTotal() {
        QTest::mouseClick(
            m_grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(m_grid->horizontalHeader()->sectionViewportPosition(kTotalColumn) + 5, 5));
        QCOMPARE(m_grid->model()->headerData(kTotalColumn, Qt::Horizontal).toString(),
                 QStringLiteral("Total"));
        // The totals, worked out from the bytes.
        QList<int> totals;
        for (int position = 0; position < 500; ++position) {
            const QByteArray bytes = record(position);
            int sum = 0;
            for (int i = 0; i < 6; ++i)
                sum += quint8(bytes[i]);
            totals << sum;
        }
        QList<int> sorted = totals;
        std::sort(sorted.begin(), sorted.end());
        int previousPosition = -1;
        for (int row = 0; row < 500; ++row) {
            const int position = m_grid->model()->index(row, 0).data().toInt();
            QCOMPARE(m_grid->model()->index(row, kTotalColumn).data().toInt(), sorted[row]);
            // Equal totals keep the entries' order.
            if (row > 0 && sorted[row] == sorted[row - 1])
                QVERIFY(position > previousPosition);
            previousPosition = position;
        }
    }

    // The filter keeps the rows whose name, types or abilities hold the text, whatever its
    // case and accents.
    void filters_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("part of a name") << "saur";
        QTest::newRow("a type, with an accent and in capitals") << "ÉLECTRIC";
        QTest::newRow("nothing") << "zzzz";
    }
    void filters() {
        QFETCH(QString, text);
        m_h->prompter.answers.clear();
        QTest::keyClick(m_grid, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        int expected = 0;
        const QString plain = text == "ÉLECTRIC" ? "electric" : text;
        for (int position = 0; position < 500; ++position) {
            QString haystack = QString::fromStdString(vocabulary::entryName(position));
            const QByteArray bytes = record(position);
            for (const int type : {quint8(bytes[6]), quint8(bytes[7])})
                haystack += ' ' + QString::fromStdString(vocabulary::text(vocabulary::List::Types,
                                                                          type, nds::Game::Diamond)
                                                             .value_or(""));
            for (const int ability : {quint8(bytes[22]), quint8(bytes[23])})
                haystack +=
                    ' ' + QString::fromStdString(vocabulary::text(vocabulary::List::Abilities,
                                                                  ability, nds::Game::Diamond)
                                                     .value_or(""));
            expected += haystack.contains(plain, Qt::CaseInsensitive) ? 1 : 0;
        }
        QCOMPARE(m_grid->model()->rowCount(), expected);
        QCOMPARE(status(), QStringLiteral("500 entries, %1 shown; no changes").arg(expected));
    }

    // An edited cell is marked; Ctrl+Z takes it back; out of range is refused.
    void editsACell() {
        typeInto(1, "Speed", "77");
        const QModelIndex cell = m_grid->model()->index(rowOf(1), column("Speed"));
        QCOMPARE(cell.data().toInt(), 77);
        QVERIFY(cell.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(cell.data(Qt::BackgroundRole).isValid());
        QCOMPARE(cell.data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Changed, not saved: the image holds 101"));
        QVERIFY(m_table->isWindowModified());
        QCOMPARE(status(), QStringLiteral("500 entries, 500 shown; 1 change in 1 entry"));
        QCOMPARE(record(1)[kSpeed], char(101)); // nothing written yet
        QTest::keyClick(m_grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cell.data().toInt(), 101);
        QVERIFY(!m_table->isWindowModified());
    }

    // Set for Selected Entries: an addition for three rows, staged as one step; one that would
    // go beyond 255 for any row stages nothing and names the rows.
    void setsForSelected_data() {
        QTest::addColumn<int>("add");
        QTest::addColumn<bool>("staged");
        QTest::newRow("+10 Speed") << 10 << true;
        QTest::newRow("+200 Speed, beyond 255 for every row") << 200 << false;
    }
    void setsForSelected() {
        QFETCH(int, add);
        QFETCH(bool, staged);
        selectRows({0, 1, 2});
        action("mnuSetSelected")->trigger();
        auto* dialog = m_table->findChild<QDialog*>("dlgSetSelected");
        QVERIFY(dialog);
        auto* field = dialog->findChild<QComboBox*>("cmbSetField");
        field->setCurrentIndex(field->findText("Speed"));
        dialog->findChild<QComboBox*>("cmbSetOperation")->setCurrentIndex(1); // Add
        dialog->findChild<QSpinBox*>("spnSetValue")->setValue(add);
        QCOMPARE(dialog->findChild<QLabel*>("lblSetSummary")->text(),
                 QStringLiteral("Add to Speed for 3 entries"));
        dialog->accept();
        // Refused, it stays open with the choices made.
        QCOMPARE(dialog->isVisible(), !staged);
        for (int position = 0; position < 3; ++position)
            QCOMPARE(m_grid->model()->index(rowOf(position), column("Speed")).data().toInt(),
                     staged ? 100 + position + add : 100 + position);
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), staged ? 0 : 1);
        if (!staged)
            QVERIFY2(shown[0].text.contains("3 of the selected entries cannot take \"Add to "
                                            "Speed\"") &&
                         shown[0].text.contains("Bulbasaur: 300 is not between 0 and 255"),
                     qPrintable(shown[0].text));
        if (!staged)
            QCOMPARE(dialog->findChild<QSpinBox*>("spnSetValue")->value(), add);
        // One step: Ctrl+Z takes back all three.
        action("mnuTableUndoEdit")->trigger();
        QCOMPARE(m_grid->model()->index(rowOf(2), column("Speed")).data().toInt(), 102);
    }

    // Save Changes: the preview, one batch, the bytes of those fields only, the status line.
    void savesInOneBatch() {
        typeInto(0, "Speed", "11");
        typeInto(3, "HP", "22");
        const QByteArray before0 = record(0);
        const QByteArray before3 = record(3);
        m_h->prompter.answers << "Save";
        m_h->io.reset();
        action("mnuTableSave")->trigger();
        QCOMPARE(m_h->prompter.questions.size(), 1);
        QCOMPARE(m_h->prompter.questions[0].text,
                 QStringLiteral("Save these 2 changes in 2 entries to the ROM?"));
        QCOMPARE(m_h->prompter.questions[0].details,
                 QStringLiteral("Bulbasaur: speed 100 -> 11\nCharmander: hp %1 -> 22")
                     .arg(quint8(before3[0])));
        QByteArray after0 = before0, after3 = before3;
        after0[kSpeed] = 11;
        after3[0] = 22;
        QCOMPARE(record(0), after0);
        QCOMPARE(record(3), after3);
        QCOMPARE(m_h->io.flushes(), 4);
        QCOMPARE(status(), QStringLiteral("2 changes in 2 entries saved"));
        QVERIFY(m_h->prompter.take().isEmpty()); // no message box
        QVERIFY(!m_table->isWindowModified());
        // The main window shows the new value, and Undo Save takes the batch back.
        m_h->clickEntry(0);
        QCOMPARE(m_h->box("txtSpeed")->text(), QStringLiteral("11"));
        m_h->action("mnuUndoSave")->trigger();
        QCOMPARE(record(0), before0);
        QCOMPARE(record(3), before3);
        QCOMPARE(m_h->box("txtSpeed")->text(), QStringLiteral("100"));
        QCOMPARE(m_grid->model()->index(rowOf(3), column("HP")).data().toInt(), quint8(before3[0]));
        // What was saved is no more: the status line says what the table holds now.
        QCOMPARE(status(), QStringLiteral("500 entries, 500 shown; no changes"));
    }

    // The two windows are views of one document: a save in one is no other program's change
    // to the other, and an edit in either shows in both.
    void bothWindowsShowOneDocument() {
        constexpr int kRunChance = 24;
        QApplication::setActiveWindow(&m_h->window());
        m_h->clickEntry(2);
        m_h->prompter.take();
        QApplication::setActiveWindow(m_table);
        typeInto(2, "Run Chance", "33");
        m_h->prompter.answers << "Save";
        action("mnuTableSave")->trigger();
        QCOMPARE(record(2)[kRunChance], char(33));
        QCOMPARE(m_h->box("txtRunChance")->text(), QStringLiteral("33"));
        // The main window's edit shows in the table, and its save asks nothing.
        QApplication::setActiveWindow(&m_h->window());
        m_h->type("txtHP", "44");
        QCOMPARE(m_grid->model()->index(rowOf(2), column("HP")).data().toInt(), 44);
        QVERIFY(m_table->isWindowModified());
        m_h->prompter.questions.clear();
        m_h->save();
        QVERIFY(m_h->prompter.questions.isEmpty());
        QCOMPARE(m_h->prompter.take().value(0).text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QCOMPARE(record(2)[0], char(44));
        QCOMPARE(record(2)[kRunChance], char(33));
        QVERIFY(!m_table->isWindowModified());
    }

    // Another program writes the image: a moment later both windows show what the disk holds,
    // but for an entry with edits, which keeps them, and whose save asks about the change.
    void changesOnDiskShow() {
        QApplication::setActiveWindow(&m_h->window());
        m_h->clickEntry(1);
        m_h->prompter.take();
        QApplication::setActiveWindow(m_table);
        typeInto(3, "Speed", "9");
        SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", 1) + kSpeed, "\x41");
        SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", 3) + kSpeed, "\x42");
        QTRY_COMPARE(m_grid->model()->index(rowOf(1), column("Speed")).data().toInt(), 0x41);
        QCOMPARE(m_h->box("txtSpeed")->text(), QStringLiteral("65"));
        QCOMPARE(m_grid->model()->index(rowOf(3), column("Speed")).data().toInt(), 9);
        m_h->prompter.answers << "Save"
                              << "Overwrite";
        action("mnuTableSave")->trigger();
        QCOMPARE(m_h->prompter.questions.size(), 2);
        QVERIFY(m_h->prompter.questions[1].details.startsWith("Charmander: speed 103 -> 66"));
        QCOMPARE(record(3)[kSpeed], char(9));
    }

    // A message lists 20 lines and counts the rest.
    void longListsAreCut() {
        m_grid->selectAll();
        action("mnuSetSelected")->trigger();
        auto* dialog = m_table->findChild<QDialog*>("dlgSetSelected");
        auto* field = dialog->findChild<QComboBox*>("cmbSetField");
        field->setCurrentIndex(field->findText("Speed"));
        dialog->findChild<QComboBox*>("cmbSetOperation")->setCurrentIndex(2); // Subtract
        dialog->findChild<QSpinBox*>("spnSetValue")->setValue(255);
        dialog->accept();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        const QStringList lines = shown[0].text.split('\n');
        QCOMPARE(lines.size(), 2 + 20 + 1);
        QVERIFY2(lines.back().startsWith("and ") && lines.back().endsWith(" more"),
                 qPrintable(lines.back()));
        dialog->reject();
    }

    // A cell takes what is typed, every key of it, and judges it when the edit ends, by the
    // main window's rules and with its message: a value out of range leaves the cell as it was.
    void cellTakesWhatIsTyped_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("message"); // empty: none
        const QString stats = "Please enter Base Stat values between 0 and 255.";
        QTest::newRow("77") << "Speed"
                            << "77" << 77 << "";
        QTest::newRow("300, whose last key would leave the range") << "Speed"
                                                                   << "300" << 100 << stats;
        QTest::newRow("256") << "Speed"
                             << "256" << 100 << stats;
        QTest::newRow("999") << "Speed"
                             << "999" << 100 << stats;
        QTest::newRow("1.5, rounded as the main window rounds it") << "Speed"
                                                                   << "1.5" << 2 << "";
        QTest::newRow("no number") << "Speed"
                                   << "fast" << 100 << stats;
        QTest::newRow("an EV yield of 4") << "EV Speed"
                                          << "4" << -1 << "Please enter a value between 0 and 3.";
    }
    void cellTakesWhatIsTyped() {
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QFETCH(int, shown);
        QFETCH(QString, message);
        const QModelIndex cell = m_grid->model()->index(rowOf(0), column(caption));
        const int before = cell.data().toInt();
        typeInto(0, caption, typed);
        QCOMPARE(cell.data().toInt(), shown < 0 ? before : shown);
        QCoreApplication::processEvents(); // the message comes once the editor has closed
        const QList<ScriptedPrompter::Message> said = m_h->prompter.take();
        QCOMPARE(said.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(said[0].text, message);
            QCOMPARE(said[0].icon, Prompter::Icon::Warning);
            QVERIFY(!m_table->isWindowModified());
        }
    }

    // Another program changes a staged entry on disk: the save asks, and Overwrite writes only
    // the staged field over what the disk holds now; Cancel writes nothing.
    void changedOnDisk_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Overwrite") << "Overwrite";
        QTest::newRow("Cancel") << "Cancel";
    }
    void changedOnDisk() {
        QFETCH(QString, answer);
        typeInto(2, "Speed", "55");
        SyntheticRom::write(m_path, SyntheticRom::recordOffset("ADAE", 2), "\x09"); // hp
        const QByteArray disk = record(2);
        m_h->prompter.answers << "Save" << answer;
        action("mnuTableSave")->trigger();
        QCOMPARE(m_h->prompter.questions.size(), 2);
        QVERIFY(m_h->prompter.questions[1].text.startsWith(
            "Another program changed 1 entry in the ROM since the table read them"));
        QVERIFY2(m_h->prompter.questions[1].details.startsWith("Venusaur: hp "),
                 qPrintable(m_h->prompter.questions[1].details));
        QByteArray expected = disk;
        if (answer == "Overwrite")
            expected[kSpeed] = 55;
        QCOMPARE(record(2), expected);
        QCOMPARE(m_table->isWindowModified(), answer == "Cancel");
    }

    // Staged values are never dropped without a question: one question for all unsaved work.
    void unsavedQuestion_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answer");
        for (const char* trigger : {"Open ROM", "Exit", "close the table"})
            for (const char* answer : {"Save", "Discard", "Cancel"})
                QTest::addRow("%s, %s", trigger, answer) << trigger << answer;
    }
    void unsavedQuestion() {
        QFETCH(QString, trigger);
        QFETCH(QString, answer);
        typeInto(0, "Speed", "1");
        typeInto(1, "Speed", "2");
        QApplication::setActiveWindow(&m_h->window());
        m_h->clickEntry(5);
        m_h->type("txtSpeed", "3"); // and one in the main window
        const bool both = trigger != "close the table";
        m_h->prompter.answers << answer;
        if (answer == "Save")
            m_h->prompter.answers << "Save"; // the table's preview
        const QString other = m_h->roms.createFor("APAE", "pearl.nds");
        if (trigger == "Open ROM")
            m_h->open(other);
        else if (trigger == "Exit")
            m_h->pressShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
        else
            m_table->close();
        QVERIFY(!m_h->prompter.questions.isEmpty());
        QCOMPARE(m_h->prompter.questions.front().text,
                 both ? QStringLiteral("Save the changes to 3 entries?")
                      : QStringLiteral("Save the changes to 2 entries?"));
        const bool saved = answer == "Save";
        QCOMPARE(record(0)[kSpeed], saved ? char(1) : char(100));
        QCOMPARE(record(5)[kSpeed] == char(3), saved && both);
        if (answer == "Cancel") {
            QVERIFY(m_table->isVisible() && m_table->isWindowModified());
            QVERIFY(m_h->window().isVisible());
        }
    }

    // A table imported, after its preview: only the values it changes, staged and marked; a
    // table with a problem stages nothing and says why, as statwright-cli says it.
    void importsATable() {
        const QString csv = m_h->roms.folder() + "/few.csv";
        writeFile(csv, "position;species;Speed;type2\n1;Ivysaur;77;dragon\n");
        m_h->dialogs.choose(csv);
        m_h->prompter.answers << "Stage";
        action("mnuImportTable")->trigger();
        QCOMPARE(m_h->prompter.questions.size(), 1);
        QVERIFY2(m_h->prompter.questions[0].details.startsWith("Ivysaur: speed 101 -> 77\n"),
                 qPrintable(m_h->prompter.questions[0].details));
        // List values by name, as the table was written.
        QVERIFY2(m_h->prompter.questions[0].details.contains(
                     QRegularExpression("\nIvysaur: type2 [^ ]+ -> Dragon$")),
                 qPrintable(m_h->prompter.questions[0].details));
        QCOMPARE(m_grid->model()->index(rowOf(1), column("Speed")).data().toInt(), 77);
        QCOMPARE(m_grid->model()->index(rowOf(1), column("Type 2")).data().toString(),
                 QStringLiteral("Dragon"));
        QCOMPARE(record(1)[kSpeed], char(101)); // staged, not written

        writeFile(csv, "position,species,speed\n1,Ivysaur,300\n");
        m_h->dialogs.choose(csv);
        action("mnuImportTable")->trigger();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(":2: speed: 300 is not between 0 and 255"),
                 qPrintable(shown[0].text));
        QCOMPARE(m_grid->model()->index(rowOf(1), column("Speed")).data().toInt(), 77);
    }

    // A patch applied from the window and saved writes the bytes statwright-cli apply writes.
    void appliesAPatchAsTheCliDoes() {
        const QString patch = m_h->roms.folder() + "/speed.csv";
        writeFile(patch, "# statwright patch 1, from ADAE Pokémon Diamond\n"
                         "position,species,field,from,to\n"
                         "2,Venusaur,speed,102,9\n3,Charmander,tm06,0,1\n");
        const QString twin = m_h->roms.folder() + "/twin.nds";
        QVERIFY(QFile::copy(m_path, twin));
        QCOMPARE(runCli({"apply", twin, patch}).status, 0);
        m_h->dialogs.choose(patch);
        m_h->prompter.answers << "Apply"
                              << "Save";
        action("mnuApplyPatch")->trigger();
        QVERIFY(m_h->prompter.questions[0].buttons[0].enabled);
        action("mnuTableSave")->trigger();
        QCOMPARE(SyntheticRom::sha256(m_path), SyntheticRom::sha256(twin));
    }

    // A patch that conflicts: Apply is disabled; Apply Anyway stages what --force writes.
    void appliesAConflictingPatchOnlyWhenForced() {
        const QString patch = m_h->roms.folder() + "/conflict.csv";
        writeFile(patch, "# statwright patch 1, from ADAE Pokémon Diamond\n"
                         "position,species,field,from,to\n"
                         "2,Venusaur,speed,50,9\n");
        m_h->dialogs.choose(patch);
        m_h->prompter.answers << "Apply Anyway";
        action("mnuApplyPatch")->trigger();
        const Prompter::Question& preview = m_h->prompter.questions[0];
        QVERIFY(!preview.buttons[0].enabled);
        QCOMPARE(preview.details, QStringLiteral("conflict: Venusaur: speed 50 -> 9: the patch "
                                                 "expects 50, the image holds 102"));
        QCOMPARE(m_grid->model()->index(rowOf(2), column("Speed")).data().toInt(), 9);
    }

    // Export writes the table as statwright-cli does; with staged values it asks which.
    void exportsTheValuesShown() {
        typeInto(0, "Speed", "42");
        const QString out = m_h->roms.folder() + "/out.csv";
        m_h->dialogs.choose(out);
        m_h->prompter.answers << "Values Shown";
        action("mnuExportTable")->trigger();
        const QList<QByteArray> lines = readFile(out).split('\n');
        QCOMPARE(lines[0], QByteArray(tables::csvHeader().c_str()));
        QCOMPARE(lines[1].split(',')[5], QByteArray("42"));
    }

    // Compare with another image: its change log, and its values staged for the entries ticked;
    // an image with a leftover journal is not read.
    void comparesAndStages() {
        const QString other = m_h->roms.folder() + "/other.nds";
        QVERIFY(QFile::copy(m_path, other));
        SyntheticRom::write(other, SyntheticRom::recordOffset("ADAE", 1) + kSpeed, "\x05");
        SyntheticRom::write(other, SyntheticRom::recordOffset("ADAE", 2) + kSpeed, "\x06");
        m_h->dialogs.choose(other);
        action("mnuCompare")->trigger();
        QDialog* compare = m_table->findChild<QDialog*>("compareWindow");
        QVERIFY(compare);
        auto* tree = compare->findChild<QTreeWidget*>("treeCompare");
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("2 Ivysaur"));
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("Speed: 101 -> 5"));
        tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked); // Venusaur stays
        compare->findChild<QPushButton*>("btnStage")->click();
        QCOMPARE(m_grid->model()->index(rowOf(1), column("Speed")).data().toInt(), 5);
        QCOMPARE(m_grid->model()->index(rowOf(2), column("Speed")).data().toInt(), 102);
        compare->close();

        // A leftover journal beside the other image: said, and nothing read or recovered.
        const QByteArray journal("not a journal");
        writeFile(other + ".statwright-journal", journal);
        m_h->dialogs.choose(other);
        action("mnuCompare")->trigger();
        const QList<ScriptedPrompter::Message> shown = m_h->prompter.take();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.endsWith("It was not compared."), qPrintable(shown[0].text));
        QCOMPARE(readFile(other + ".statwright-journal"), journal);
    }

    // Compare with an image whose evolutions differ: each slot that differs is a line, and the
    // log and the patch saved carry it; an image without evolutions says they were not compared.
    void comparesEvolutions() {
        const QString mine = m_h->roms.create("fs.nds", "ADAE", 0x400);
        SyntheticFileSystem system =
            SyntheticFileSystem::forGame("ADAE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        const QString archive = system.addEvolutions("ADAE");
        system.writeInto(mine);
        const qint64 bulbasaur = system.recordBaseOf(archive);
        SyntheticRom::write(mine, bulbasaur, QByteArray::fromHex("040010000200"));
        const QString other = m_h->roms.folder() + "/fs-other.nds";
        QVERIFY(QFile::copy(mine, other));
        SyntheticRom::write(other, bulbasaur, QByteArray::fromHex("04000c000200"));
        QApplication::setActiveWindow(&m_h->window());
        m_h->open(mine);
        QApplication::setActiveWindow(m_table);

        m_h->dialogs.choose(other);
        action("mnuCompare")->trigger();
        QDialog* compare = m_table->findChild<QDialog*>("compareWindow");
        QVERIFY(compare);
        QVERIFY2(compare->windowTitle().contains("fs.nds") &&
                     compare->windowTitle().contains("fs-other.nds"),
                 qPrintable(compare->windowTitle()));
        auto* tree = compare->findChild<QTreeWidget*>("treeCompare");
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("1 Bulbasaur"));
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0),
                 QStringLiteral("Evolution 1: Level 16 -> Ivysaur became Level 12 -> Ivysaur"));
        for (const QString& name : {QStringLiteral("log.md"), QStringLiteral("patch.csv")}) {
            m_h->dialogs.choose(m_h->roms.folder() + "/" + name);
            compare->findChild<QPushButton*>("btnSaveAs")->click();
        }
        QVERIFY(readFile(m_h->roms.folder() + "/log.md")
                    .contains("- Evolution 1: Level 16 -> Ivysaur became Level 12 -> Ivysaur\n"));
        QVERIFY(
            readFile(m_h->roms.folder() + "/patch.csv").contains("0,Bulbasaur,evo1_param,16,12\n"));
        compare->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        m_h->dialogs.choose(m_path); // a bare image, without evolutions
        action("mnuCompare")->trigger();
        compare = m_table->findChild<QDialog*>("compareWindow");
        QVERIFY2(compare->findChild<QLabel*>("lblCompareHeading")
                     ->text()
                     .contains("Evolutions were not compared: " + QFileInfo(m_path).fileName() +
                               " has no evolution table."),
                 qPrintable(compare->findChild<QLabel*>("lblCompareHeading")->text()));
        compare->close();
    }

    // Drops: an image on the main window opens as Open ROM opens it; on the table, a patch is
    // applied, a table imported, and anything else refused.
    void drops_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("then");
        QTest::newRow("an image on the main window") << "pearl.nds"
                                                     << "main"
                                                     << "opened";
        QTest::newRow("a patch on the table") << "p.csv"
                                              << "table"
                                              << "asked";
        QTest::newRow("a table on the table") << "t.csv"
                                              << "table"
                                              << "asked";
        QTest::newRow("anything else on the table") << "notes.txt"
                                                    << "table"
                                                    << "refused";
    }
    void drops() {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QFETCH(QString, then);
        const QString path = m_h->roms.folder() + "/" + file;
        if (file == "pearl.nds")
            (void)m_h->roms.createFor("APAE", file);
        else if (file == "p.csv")
            writeFile(path, "# statwright patch 1, from ADAE Pokémon Diamond\n"
                            "position,species,field,from,to\n2,Venusaur,speed,102,9\n");
        else if (file == "t.csv")
            writeFile(path, "position,species,speed\n2,Venusaur,9\n");
        else
            writeFile(path, "remember the milk\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QWidget* onto = target == "main" ? static_cast<QWidget*>(&m_h->window()) : m_table;
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(onto, &enter);
        QVERIFY(enter.isAccepted());
        if (then == "asked")
            m_h->prompter.answers << (file == "p.csv" ? "Apply" : "Stage");
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(onto, &drop);
        if (then == "opened")
            QCOMPARE(m_h->caption(), QStringLiteral("APAE - Statwright"));
        if (then == "asked")
            QCOMPARE(m_grid->model()->index(rowOf(2), column("Speed")).data().toInt(), 9);
        if (then == "refused")
            QVERIFY(m_h->prompter.take().value(0).text.endsWith("is neither a table nor a patch, "
                                                                "so nothing was staged."));
    }
};

QTEST_MAIN(TestTableWindow)
#include "tst_table_window.moc"
