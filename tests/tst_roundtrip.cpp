// Loading and saving every entry without edits changes no byte of the image: through the
// window for one edition, and through the record store, which the window's save uses, for the
// other fourteen.
#include "WindowHarness.h"
#include "nds/GameEdition.h"
#include "species/EntryRules.h"
#include "species/ImageDocument.h"

#include <QtTest/QTest>

namespace {

// Unlisted values and empty items too.
void writeOddValues(const QString& path, const QByteArray& code) {
    SyntheticRom::write(path, SyntheticRom::recordOffset(code, 7) + 12, "\xFF\xFF\xFF\xFF");
    SyntheticRom::write(path, SyntheticRom::recordOffset(code, 8) + 6, "\x40");
}

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void everyEntryThroughTheWindow() {
        const QByteArray code("ADAE");
        WindowHarness h;
        const QString path = h.openNew(code, qHash(code));
        writeOddValues(path, code);
        const QByteArray before = SyntheticRom::fingerprint(path, code);

        QListWidget* list = h.species();
        h.clickEntry(0);
        for (int position = 0; position < 500; ++position) {
            if (position > 0)
                QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(h.species()->currentRow(), position);
            h.save();
        }
        QCOMPARE(SyntheticRom::fingerprint(path, code), before);
        int confirmations = 0;
        for (const ScriptedPrompter::Message& message : h.prompter.take())
            confirmations += message.text == QStringLiteral("Pokémon Data Saved Successfully!");
        QCOMPARE(confirmations, 500);
    }

    void everyEntryOfTheOtherEditions_data() {
        QTest::addColumn<QByteArray>("code");
        for (const nds::GameEdition& edition : nds::fixedBaseEditions())
            if (edition.code != "ADAE")
                QTest::newRow(edition.code.data()) << QByteArray(edition.code.data(), 4);
    }
    void everyEntryOfTheOtherEditions() {
        QFETCH(QByteArray, code);
        SyntheticRom roms;
        const QString path = roms.createFor(code);
        SyntheticRom::fillRecords(path, code, qHash(code));
        writeOddValues(path, code);
        const QByteArray before = SyntheticRom::fingerprint(path, code);
        const std::string file = QFile::encodeName(path).toStdString();
        species::ImageDocument document(files::systemIo(), file);
        QVERIFY(document.open().ok());
        for (int position = 0; position < 500; ++position) {
            // What the window writes back: every field as loaded.
            std::vector<species::Change> edit;
            for (const species::FieldDescriptor& field : species::fieldLayout())
                edit.push_back(document.changeTo(position, field.field,
                                                 document.value(position, field.field)));
            const auto saved = document.save(edit, "test");
            QVERIFY(saved.ok() && saved.value().saved());
        }
        QCOMPARE(SyntheticRom::fingerprint(path, code), before);
    }
};

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
