// The Moves dialog driven through its controls: the list by name, a move added after those of
// its level and one removed, a 21st refused, a name that is no move, the Egg entries; Save ROM
// that says before it writes when the archive must be made anew, and Undo Save of it; the
// table window's count. The bytes on disk are checked, read without the program's own code.
#include "NdsRead.h"
#include "SyntheticFileSystem.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QLabel>
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

    // A trimmed HeartGold image with lists of every length, its entry `position` on view.
    void openImage(int position) {
        m_path = m_h->roms.create("image.nds", "IPKE", 0x400);
        auto system =
            SyntheticFileSystem::forGame("IPKE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        QList<QList<quint16>> lists;
        for (int p = 0; p < 507; ++p)
            lists.append(listOf(p));
        system.addLearnsets("IPKE", lists);
        system.add("/z.bin", QByteArray(0x800, 'z'));
        system.cartridge = SyntheticFileSystem::Cartridge{3, false, {}};
        system.writeInto(m_path);
        m_h->open(m_path);
        m_h->clickEntry(position);
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

    // The table's count follows the list, staged included.
    void theTableCountsTheMoves() {
        openImage(3);
        m_h->chooseMenu("mnuView", "mnuTable");
        QWidget* table = topLevel("tableWindow");
        QVERIFY(table);
        auto* view = table->findChild<QTableView*>("tblEntries");
        QAbstractItemModel* model = view->model();
        int column = model->columnCount() - 1;
        while (column >= 0 && model->headerData(column, Qt::Horizontal) != "Level-up moves")
            --column;
        QVERIFY(column >= 0);
        const auto count = [&](int row) { return model->index(row, column).data().toInt(); };
        QCOMPARE(count(3), 3);
        QCOMPARE(count(20), 20);
        QWidget* dialog = openDialog();
        add(dialog, 7, "Growl");
        click(dialog, "cmdOK");
        QCOMPARE(count(3), 4);
    }
};

QTEST_MAIN(TestMovesDialog)
#include "tst_moves_dialog.moc"
