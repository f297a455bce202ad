// Loading and saving every entry of every edition without edits changes no byte of the image.
#include "GameEdition.h"
#include "WindowHarness.h"

#include <QtTest/QTest>

class TestRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void everyEntryOfEveryEdition_data() {
        QTest::addColumn<QByteArray>("code");
        for (const rom::GameEdition& edition : rom::gameEditions())
            QTest::newRow(edition.code.data()) << QByteArray(edition.code.data(), 4);
    }
    void everyEntryOfEveryEdition() {
        QFETCH(QByteArray, code);
        WindowHarness h;
        const QString path = h.openNew(code, qHash(code));
        // Unlisted values and empty items too.
        SyntheticRom::write(path, SyntheticRom::recordOffset(code, 7) + 12, "\xFF\xFF\xFF\xFF");
        const QByteArray before = SyntheticRom::sha256(path);

        QListWidget* list = h.species();
        h.clickEntry(0);
        for (int position = 0; position < 500; ++position) {
            if (position > 0)
                QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(h.window().ListPos(), qint16(position));
            h.save();
        }
        QCOMPARE(SyntheticRom::sha256(path), before);
        int confirmations = 0;
        for (const ScriptedPrompter::Message& message : h.prompter.take())
            confirmations += message.text == QStringLiteral("Pokémon Data Saved Successfully!");
        QCOMPARE(confirmations, 500);
    }
};

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
