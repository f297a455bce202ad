// The document of an image, as every view and command uses it: edits staged over what the
// disk holds, judged by each kind's rules; a save of them, which another program's change
// stops until the user takes it; undo of the last save; and the disk read again, as a change
// on disk makes the windows read it. Over both kinds of record, on a synthetic HeartGold image.
#include "SyntheticFileSystem.h"
#include "SyntheticRom.h"

#include "files/SysIo.h"
#include "species/ImageDocument.h"

#include <QtTest/QTest>

using species::Field;
using species::SlotPart;

namespace {

constexpr int kIvysaur = 1;

// A field of each kind, and a value it may take.
struct KindCase {
    Field field;
    int value;
};

} // namespace

class TestDocument : public QObject {
    Q_OBJECT

    std::unique_ptr<SyntheticRom> m_roms;
    QString m_path;
    SyntheticFileSystem m_system;
    QString m_evolutions;

    // The byte of the image that the lowest byte of `field` of the entry at `position` is.
    qint64 byteOf(Field field, int position) const {
        const species::FieldDescriptor& d = species::descriptor(field);
        const QString archive = species::isEvolution(field) ? m_evolutions : m_system.tableArchive;
        return m_system.recordBaseOf(archive) + 44LL * position + d.offset;
    }
    int onDisk(Field field, int position) const {
        const QByteArray bytes = SyntheticRom::read(m_path, byteOf(field, position), 2);
        return species::descriptor(field).bits == 16
                   ? quint8(bytes[0]) | (quint8(bytes[1]) << 8)
                   : (quint8(bytes[0]) >> species::descriptor(field).shift) &
                         ((1 << species::descriptor(field).bits) - 1);
    }
    std::unique_ptr<species::ImageDocument> open() const {
        auto document = std::make_unique<species::ImageDocument>(
            files::systemIo(), QFile::encodeName(m_path).toStdString());
        if (!document->open().ok())
            qFatal("the image did not open");
        return document;
    }

    static void kinds() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("base stats") << int(Field::Speed) << 77;
        QTest::newRow("evolutions")
            << int(species::evolution(0, SlotPart::Parameter)) << 20; // Level 16 -> 20
    }

private slots:
    void init() {
        m_roms = std::make_unique<SyntheticRom>();
        m_path = m_roms->create("image.nds", "IPKE", 0x400);
        m_system =
            SyntheticFileSystem::forGame("IPKE", SyntheticFileSystem::Layout::DecoyAtFixedBase);
        m_evolutions = m_system.addEvolutions("IPKE");
        m_system.writeInto(m_path);
        // Ivysaur evolves at level 16 into Venusaur.
        SyntheticRom::write(m_path, byteOf(species::evolution(0, SlotPart::Method), kIvysaur),
                            QByteArray::fromHex("040010000300"));
    }

    // An edit is shown over what the disk holds, and is a change from what the disk holds;
    // one back to the disk's value is no edit; a step is taken back whole.
    void staging_data() { kinds(); }
    void staging() {
        QFETCH(int, field);
        QFETCH(int, value);
        const auto document = open();
        const int disk = onDisk(Field(field), kIvysaur);
        QVERIFY(document->stage({document->changeTo(kIvysaur, Field(field), value)}).empty());
        QCOMPARE(document->value(kIvysaur, Field(field)).number(), value);
        QCOMPARE(document->diskValue(kIvysaur, Field(field)).number(), disk);
        const std::vector<species::Change> pending = document->pending();
        QCOMPARE(pending.size(), std::size_t(1));
        QCOMPARE(pending[0].before.number(), disk);
        QCOMPARE(pending[0].after.number(), value);
        QVERIFY(document->hasPending(kIvysaur));

        QVERIFY(document->stage({document->changeTo(kIvysaur, Field(field), disk)}).empty());
        QVERIFY(!document->hasPending(kIvysaur));
        QVERIFY(document->undoStep());
        QCOMPARE(document->value(kIvysaur, Field(field)).number(), value);
        QVERIFY(document->undoStep());
        QVERIFY(document->pending().empty());
        QVERIFY(!document->undoStep());
    }

    // Each kind's rules refuse what the window refuses; a refusal stages nothing at all.
    void refusals_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("says");
        QTest::newRow("a stat of 300")
            << int(Field::Speed) << 300 << "Ivysaur: 300 is not between 0 and 255";
        QTest::newRow("a gender for a species without one")
            << int(Field::Gender) << 3 << "has no gender, so its gender cannot be changed";
        QTest::newRow("a used slot without a target")
            << int(species::evolution(0, SlotPart::Target)) << 0
            << "Ivysaur: evolution 1 would be \"Level 16 -> Value 0\": its target 0 is not between "
               "1 and 493";
        QTest::newRow("a level beyond 100") << int(species::evolution(0, SlotPart::Parameter))
                                            << 101 << "its parameter 101 is not between 1 and 100";
    }
    void refusals() {
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(QString, says);
        const auto document = open();
        const int position = Field(field) == Field::Gender ? 80 : kIvysaur; // Magnemite
        const std::vector<std::string> refused =
            document->stage({document->changeTo(position, Field::HP, 1),
                             document->changeTo(position, Field(field), value)});
        QCOMPARE(refused.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(refused[0]).contains(says), refused[0].c_str());
        QVERIFY(document->pending().empty());
    }

    // A method set to 0 empties its slot, as the dialog does.
    void aMethodOfNoneEmptiesItsSlot() {
        const auto document = open();
        QVERIFY(
            document
                ->stage({document->changeTo(kIvysaur, species::evolution(0, SlotPart::Method), 0)})
                .empty());
        for (const SlotPart part : {SlotPart::Method, SlotPart::Parameter, SlotPart::Target})
            QCOMPARE(document->value(kIvysaur, species::evolution(0, part)).number(), 0);
    }

    // Staged edits of both kinds go in one save: only their bytes change, the edits are no
    // longer pending, and undo takes the save back byte for byte.
    void savesBothKindsAndUndoes() {
        const auto document = open();
        const QByteArray before = SyntheticRom::sha256(m_path);
        QVERIFY(document
                    ->stage({document->changeTo(kIvysaur, Field::Speed, 77),
                             document->changeTo(kIvysaur,
                                                species::evolution(0, SlotPart::Parameter), 20)})
                    .empty());
        const base::Result<species::SaveOutcome> saved = document->save(document->pending(), "t");
        QVERIFY(saved.ok() && saved.value().saved());
        QCOMPARE(saved.value().written.size(), std::size_t(2));
        QCOMPARE(onDisk(Field::Speed, kIvysaur), 77);
        QCOMPARE(onDisk(species::evolution(0, SlotPart::Parameter), kIvysaur), 20);
        QVERIFY(document->pending().empty());
        QCOMPARE(document->diskValue(kIvysaur, Field::Speed).number(), 77);

        const base::Result<species::SaveOutcome> undone = document->undo("undo", false);
        QVERIFY(undone.ok() && undone.value().saved());
        QCOMPARE(SyntheticRom::sha256(m_path), before);
        QVERIFY(document->lastSave().empty());
    }

    // Another program changed an entry with edits since it was read: the save writes nothing
    // and says what changed; taken as read, the edits go over it, and only they are written.
    void anotherProgramsChange_data() { kinds(); }
    void anotherProgramsChange() {
        QFETCH(int, field);
        QFETCH(int, value);
        const auto document = open();
        QVERIFY(document->stage({document->changeTo(kIvysaur, Field(field), value)}).empty());
        // The other program: the entry's HP, and its evolutions' unused bytes.
        SyntheticRom::write(m_path, byteOf(Field::HP, kIvysaur), "\x05");
        SyntheticRom::write(m_path, m_system.recordBaseOf(m_evolutions) + 44 * kIvysaur + 42,
                            "\x09");
        const QByteArray changed = SyntheticRom::sha256(m_path);
        const base::Result<species::SaveOutcome> refused = document->save(document->pending(), "t");
        QVERIFY(refused.ok());
        QVERIFY(refused.value().conflict);
        QCOMPARE(SyntheticRom::sha256(m_path), changed);
        if (!species::isEvolution(Field(field))) {
            QCOMPARE(refused.value().theirs.size(), std::size_t(1));
            QCOMPARE(refused.value().theirs[0].field, Field::HP);
            QCOMPARE(refused.value().theirs[0].after.number(), 5);
        }
        document->takeFromDisk(refused.value());
        const base::Result<species::SaveOutcome> saved = document->save(document->pending(), "t");
        QVERIFY(saved.ok() && saved.value().saved());
        QCOMPARE(onDisk(Field(field), kIvysaur), value);
        QCOMPARE(onDisk(Field::HP, kIvysaur), 5);
    }

    // Undo after another program changed what the save wrote asks first: nothing is written
    // unless the user overwrites it.
    void undoOfAChangedSave() {
        const auto document = open();
        QVERIFY(document->stage({document->changeTo(kIvysaur, Field::Speed, 77)}).empty());
        QVERIFY(document->save(document->pending(), "t").ok());
        SyntheticRom::write(m_path, byteOf(Field::Speed, kIvysaur), "\x4E");
        const base::Result<species::SaveOutcome> refused = document->undo("undo", false);
        QVERIFY(refused.ok() && refused.value().conflict);
        QCOMPARE(onDisk(Field::Speed, kIvysaur), 0x4E);
        QVERIFY(document->undo("undo", true).ok());
        QVERIFY(onDisk(Field::Speed, kIvysaur) != 0x4E);
    }

    // The disk read again: the entries without edits show what it holds now, those with keep
    // what they were read as; the views hear of the entries that changed, and of nothing when
    // nothing did.
    void readingTheDiskAgain() {
        const auto document = open();
        std::vector<std::vector<int>> heard;
        const int listener = document->listen(
            [&](const std::vector<int>& positions) { heard.push_back(positions); });
        QVERIFY(document->stage({document->changeTo(kIvysaur, Field::Speed, 77)}).empty());
        heard.clear();
        SyntheticRom::write(m_path, byteOf(Field::HP, kIvysaur), "\x05");
        SyntheticRom::write(m_path, byteOf(Field::HP, 3), "\x06");
        QVERIFY(document->reloadAll().ok());
        QCOMPARE(heard, (std::vector<std::vector<int>>{{3}}));
        QCOMPARE(document->value(3, Field::HP).number(), 6);
        QVERIFY(document->value(kIvysaur, Field::HP).number() != 5);
        QCOMPARE(document->value(kIvysaur, Field::Speed).number(), 77);
        heard.clear();
        QVERIFY(document->reloadAll().ok());
        QVERIFY(heard.empty());
        document->unlisten(listener);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
