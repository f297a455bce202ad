// The Moves dialog driven through its controls: the list by name, a move added after those of
// its level and one removed, a 21st refused, a name that is no move, the Egg entries; Save ROM
// that says before it writes when the archive must be made anew, and Undo Save of it; the
// table window's count. The bytes on disk are checked, read without the program's own code.
#include "NdsRead.h"
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QtTest/QTest>

namespace {

QWidget* topLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    return nullptr;
}

// List position p learns p % 21 moves: move 1 + (7p + i) % 467 at level 1 + 4i.
QList<quint16> listOf(int position) {
    QList<quint16> words;
    for (int i = 0; i < position % 21; ++i)
        words.append(quint16(((1 + i * 4) << 9) | (1 + (position * 7 + i) % 467)));
    return words;
}

// Egg moves by species number: Charmander's Bite and Flamethrower, Deoxys' ExtremeSpeed, and
// 2000 words of made-up moves of other species, so that the list has 41 words free.
QMap<int, QList<quint16>> eggMovesOf() {
    QMap<int, QList<quint16>> moves{{4, {44, 53}}, {386, {245}}};
    for (int species = 100; species < 100 + 125; ++species)
        moves[species] = QList<quint16>(15, quint16(species));
    return moves;
}
const QMap<int, QList<quint16>> kEggMoves = eggMovesOf();

QByteArray wholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rows of the dialog's list, "level move" each.
QStringList rowsOf(QWidget* dialog) {
    auto* table = dialog->findChild<QTableWidget*>("tblLevelMoves");
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        rows << table->item(row, 0)->text() + " " + table->item(row, 1)->text();
    return rows;
}

} // namespace

class TestMovesDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHarness> m_h;
    QString m_path;

    // A trimmed HeartGold image with lists of every length and the egg moves `eggMoves` (by
    // species number), its entry `position` on view.
    void openImage(int position, const QMap<int, QList<quint16>>& eggMoves = kEggMoves) {
        m_path = m_h->roms.create("image.nds", "IPKE", 0x400);
        auto system =
            SyntheticFileSystem::forGame("IPKE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        QList<QList<quint16>> lists;
        for (int p = 0; p < 507; ++p)
            lists.append(listOf(p));
        system.addLearnsets("IPKE", lists);
        m_eggList = system.addEggMoves("IPKE", SyntheticFileSystem::eggList(eggMoves, 2046));
        system.add("/z.bin", QByteArray(0x800, 'z'));
        system.cartridge = SyntheticFileSystem::Cartridge{3, false, {}};
        system.writeInto(m_path);
        m_h->open(m_path);
        m_h->clickEntry(position);
        // The one member of the archive: after the NARC's header, one allocation entry, and
        // the name and image sections' headers.
        m_eggListAt = system.offsetOf(m_eggList) + 16 + 12 + 8 + 16 + 8;
    }
    QString m_eggList;
    qint64 m_eggListAt = 0;

    static QStringList eggRowsOf(QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("lstEggMoves");
        QStringList rows;
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
        return rows;
    }
    static void addEggMove(QWidget* dialog, const QString& move) {
        auto* moves = dialog->findChild<QComboBox*>("cmbEggMove");
        moves->lineEdit()->selectAll();
        QTest::keyClicks(moves->lineEdit(), move);
        click(dialog, "btnAddEggMove");
    }
    QWidget* openDialog() {
        m_h->chooseMenu("mnuEdit", "mnuMoves");
        QWidget* dialog = topLevel("dlgMoves");
        if (!dialog)
            qFatal("the Moves dialog did not open");
        return dialog;
    }
    static QString text(QWidget* dialog, const char* label) {
        return dialog->findChild<QLabel*>(label)->text();
    }
    static void click(QWidget* dialog, const char* button) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    // Types `level` and `move` into the boxes and clicks Add.
    static void add(QWidget* dialog, int level, const QString& move) {
        auto* spin = dialog->findChild<QSpinBox*>("spnMoveLevel");
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(level));
        auto* moves = dialog->findChild<QComboBox*>("cmbMove");
        moves->lineEdit()->selectAll();
        QTest::keyClicks(moves->lineEdit(), move);
        click(dialog, "btnAddMove");
    }
    // The list the image's archive holds for `position`, read through its file system.
    QList<quint16> onDisk(int position) const {
        const QByteArray image = wholeFile(m_path);
        const NdsRead::Span span =
            NdsRead::fileSpan(image, NdsRead::fileId(image, QStringLiteral("/a/0/3/3")));
        const QByteArray member =
            NdsRead::narcMembers(image.mid(span.start, span.end - span.start))[position + 1];
        QList<quint16> words;
        for (qint64 at = 0; NdsRead::u16(member, at) != 0xFFFF; at += 2)
            words.append(NdsRead::u16(member, at));
        return words;
    }

private slots:
    void init() { m_h = std::make_unique<WindowHarness>(); }
    void cleanup() {
        m_h->prompter.answers = {QStringLiteral("Discard"), QStringLiteral("Discard")};
        m_h.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Charmander's three moves by name; Dragon Dance added at level 5 goes after Stomp, the
    // move of that level; OK keeps the list, and Save ROM, once told the archive is made anew,
    // writes it; Undo Save gives the image its old bytes and length back.
    void addsAMoveAndSavesIt() {
        openImage(3);
        const QByteArray before = wholeFile(m_path);
        QWidget* dialog = openDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Moves: Charmander"));
        QCOMPARE(rowsOf(dialog), (QStringList{"1 Vine Whip", "5 Stomp", "9 Double Kick"}));
        QCOMPARE(text(dialog, "lblMoveCount"), QStringLiteral("3 of 20 moves"));
        add(dialog, 5, "dragon dance");
        QCOMPARE(rowsOf(dialog),
                 (QStringList{"1 Vine Whip", "5 Stomp", "5 Dragon Dance", "9 Double Kick"}));
        QCOMPARE(text(dialog, "lblMoveCount"), QStringLiteral("4 of 20 moves"));
        click(dialog, "cmdOK");
        QVERIFY(!topLevel("dlgMoves"));
        QVERIFY(m_h->caption().contains('*'));

        // Cancelled when told: nothing written, the edit kept.
        m_h->prompter.answers = {QStringLiteral("Cancel")};
        m_h->save();
        QCOMPARE(m_h->prompter.questions.size(), 1);
        QVERIFY2(m_h->prompter.questions.front().text.contains(
                     "Before this is written, the learnset archive is made anew"),
                 qPrintable(m_h->prompter.questions.front().text));
        QCOMPARE(wholeFile(m_path), before);
        QVERIFY(m_h->caption().contains('*'));

        m_h->prompter.answers = {QStringLiteral("Save")};
        m_h->save();
        QCOMPARE(m_h->prompter.take().last().text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        // Level 1 Vine Whip, 5 Stomp, 5 Dragon Dance (349), 9 Double Kick.
        QCOMPARE(onDisk(3), (QList<quint16>{0x0216, 0x0A17, 0x0B5D, 0x1218}));
        QCOMPARE(onDisk(4), listOf(4));
        QVERIFY(wholeFile(m_path).size() > before.size());
        QVERIFY(!m_h->caption().contains('*'));

        m_h->chooseMenu("mnuEdit", "mnuUndoSave");
        QCOMPARE(wholeFile(m_path), before);
        QCOMPARE(rowsOf(openDialog()), (QStringList{"1 Vine Whip", "5 Stomp", "9 Double Kick"}));
    }

    // A removed move leaves a list that fits where it lies: Save ROM asks nothing more.
    void removesAMove() {
        openImage(3);
        QWidget* dialog = openDialog();
        auto* table = dialog->findChild<QTableWidget*>("tblLevelMoves");
        QVERIFY(!dialog->findChild<QPushButton*>("btnRemoveMove")->isEnabled());
        table->selectRow(1);
        click(dialog, "btnRemoveMove");
        QCOMPARE(rowsOf(dialog), (QStringList{"1 Vine Whip", "9 Double Kick"}));
        click(dialog, "cmdOK");
        m_h->save();
        QVERIFY(m_h->prompter.questions.isEmpty());
        QCOMPARE(onDisk(3), (QList<quint16>{0x0216, 0x1218}));
    }

    // What Add refuses, said in the dialog: a 21st move, and a name that is no move.
    void addRefused_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("said");
        QTest::newRow("a 21st move") << 20 << "Tackle"
                                     << "A list holds at most 20 moves: remove one to add another.";
        QTest::newRow("no move") << 2 << "Tackleberry"
                                 << "\"Tackleberry\" is no move: choose one from the list.";
    }
    void addRefused() {
        QFETCH(int, position);
        QFETCH(QString, move);
        QFETCH(QString, said);
        openImage(position);
        QWidget* dialog = openDialog();
        const QStringList rows = rowsOf(dialog);
        add(dialog, 50, move);
        QCOMPARE(text(dialog, "lblMovesNote"), said);
        QCOMPARE(rowsOf(dialog), rows);
    }

    // The Egg has no moves the game reads: nothing to edit.
    void theEggHasNone() {
        openImage(493);
        QWidget* dialog = openDialog();
        for (const char* name : {"spnMoveLevel", "cmbMove", "btnAddMove", "btnRemoveMove", "cmdOK"})
            QVERIFY2(!dialog->findChild<QWidget*>(name)->isEnabled(), name);
        QVERIFY(text(dialog, "lblMovesNote").contains("cannot be edited"));
    }

    // Charmander's egg moves by name; ExtremeSpeed typed in full is added at the end, Bite
    // removed, the room said as it changes; Save ROM writes the game's whole list where it
    // lies, with nothing to ask, and Undo Save takes it back.
    void addsAnEggMoveAndSavesIt() {
        openImage(3);
        const QByteArray before = wholeFile(m_path);
        QWidget* dialog = openDialog();
        QCOMPARE(eggRowsOf(dialog), (QStringList{"Bite", "Flamethrower"}));
        const int free = 2046 - 1 - 3 - 2 - 125 * 16;
        QCOMPARE(text(dialog, "lblEggMoveRoom"),
                 QStringLiteral("2 of 16 egg moves; %1 words free in the game's list").arg(free));
        addEggMove(dialog, "Extreme Speed");
        QCOMPARE(eggRowsOf(dialog), (QStringList{"Bite", "Flamethrower", "ExtremeSpeed"}));
        QCOMPARE(
            text(dialog, "lblEggMoveRoom"),
            QStringLiteral("3 of 16 egg moves; %1 words free in the game's list").arg(free - 1));
        dialog->findChild<QListWidget*>("lstEggMoves")->setCurrentRow(0);
        click(dialog, "btnRemoveEggMove");
        QCOMPARE(eggRowsOf(dialog), (QStringList{"Flamethrower", "ExtremeSpeed"}));
        click(dialog, "cmdOK");
        m_h->save();
        QVERIFY(m_h->prompter.questions.isEmpty());
        QCOMPARE(m_h->prompter.take().last().text,
                 QStringLiteral("Pokémon Data Saved Successfully!"));
        QMap<int, QList<quint16>> after = kEggMoves;
        after[4] = {53, 245};
        const QByteArray list = SyntheticFileSystem::eggList(after, 2046);
        const QByteArray now = wholeFile(m_path);
        QCOMPARE(now.mid(m_eggListAt, list.size()), list);
        QCOMPARE(now.left(m_eggListAt), before.left(m_eggListAt));
        QCOMPARE(now.mid(m_eggListAt + list.size()), before.mid(m_eggListAt + list.size()));

        m_h->chooseMenu("mnuEdit", "mnuUndoSave");
        QCOMPARE(wholeFile(m_path), before);
        QCOMPARE(eggRowsOf(openDialog()), (QStringList{"Bite", "Flamethrower"}));
    }

    // What Add refuses, said in the dialog: a 17th egg move, one the species has, and one the
    // game's list has no word for.
    void eggMoveRefused_data() {
        QTest::addColumn<int>("species");
        QTest::addColumn<bool>("full"); // the game's list without a word free
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("said");
        QTest::newRow("a 17th") << 100 << false << "Tackle"
                                << "A species has at most 16 egg moves: remove one to add another.";
        QTest::newRow("one it has") << 4 << false << "Bite"
                                    << "Bite is one of them already.";
        QTest::newRow("no word free")
            << 4 << true << "Tackle"
            << "The game's list of egg moves has 0 words free, and this move needs 1: remove "
               "egg moves here or from another species first.";
    }
    void eggMoveRefused() {
        QFETCH(int, species);
        QFETCH(bool, full);
        QFETCH(QString, move);
        QFETCH(QString, said);
        // Charmander's two moves and species 100's sixteen take 21 words of the 2046; 126
        // blocks of 16 words and one of 9 take the rest.
        QMap<int, QList<quint16>> moves{{4, {44, 53}}, {100, {}}};
        for (quint16 move = 1; move <= 16; ++move)
            moves[100].append(move);
        for (int other = 101; full && other <= 227; ++other)
            moves[other] = QList<quint16>(other < 227 ? 15 : 8, quint16(other));
        openImage(species - 1, moves);
        QWidget* dialog = openDialog();
        const QStringList rows = eggRowsOf(dialog);
        addEggMove(dialog, move);
        QCOMPARE(text(dialog, "lblMovesNote"), said);
        QCOMPARE(eggRowsOf(dialog), rows);
    }

    // A form shows its species' egg moves and edits none; its level-up moves are its own.
    void aFormShowsItsSpeciesEggMoves() {
        openImage(495);
        QWidget* dialog = openDialog();
        QCOMPARE(eggRowsOf(dialog), QStringList{"ExtremeSpeed"});
        for (const char* name : {"cmbEggMove", "btnAddEggMove", "btnRemoveEggMove"})
            QVERIFY2(!dialog->findChild<QWidget*>(name)->isEnabled(), name);
        QVERIFY(dialog->findChild<QWidget*>("btnAddMove")->isEnabled());
        QCOMPARE(text(dialog, "lblMovesNote"),
                 QStringLiteral("Deoxys (Attack) is a form: its egg moves are those of Deoxys "
                                "(Normal), edited there."));
    }

    // The table's counts follow the lists, staged included.
    void theTableCountsTheMoves() {
        openImage(3);
        m_h->chooseMenu("mnuView", "mnuTable");
        QWidget* table = topLevel("tableWindow");
        QVERIFY(table);
        auto* view = table->findChild<QTableView*>("tblEntries");
        QAbstractItemModel* model = view->model();
        const auto columnOf = [&](const QString& title) {
            int column = model->columnCount() - 1;
            while (column >= 0 && model->headerData(column, Qt::Horizontal) != title)
                --column;
            return column;
        };
        const int levelMoves = columnOf("Level-up moves");
        const int eggMoves = columnOf("Egg moves");
        QVERIFY(levelMoves >= 0 && eggMoves >= 0);
        const auto count = [&](int row, int column) {
            return model->index(row, column).data().toInt();
        };
        QCOMPARE(count(3, levelMoves), 3);
        QCOMPARE(count(20, levelMoves), 20);
        QCOMPARE(count(3, eggMoves), 2);
        QWidget* dialog = openDialog();
        add(dialog, 7, "Growl");
        addEggMove(dialog, "Tackle");
        click(dialog, "cmdOK");
        QCOMPARE(count(3, levelMoves), 4);
        QCOMPARE(count(3, eggMoves), 3);
    }
};

QTEST_MAIN(TestMovesDialog)
#include "tst_moves_dialog.moc"
