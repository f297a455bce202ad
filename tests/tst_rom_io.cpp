// Positioned file access and the hex helpers on real files, with failures injected below
// them: what lands on disk, what is reported, and that a failed update leaves no half record.
#include "FaultInjectingIo.h"
#include "HexFunctions.h"
#include "PositionedFile.h"
#include "SyntheticRom.h"

#include <QFile>
#include <QtTest/QTest>

#include <cerrno>

using Call = FaultInjectingIo::Call;

namespace {

class CollectingReporter final : public rom::ErrorReporter {
public:
    void report(const rom::IoError& error) override { errors.push_back(error); }
    std::vector<rom::IoError> errors;
};

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

class TestRomIo : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_roms = std::make_unique<SyntheticRom>();
        m_path = m_roms->create("image.nds", "ADAE", 4096);
        m_io.reset();
        m_reporter.errors.clear();
    }

    void readHexBytes_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("hex");
        QTest::newRow("two bytes in file order")
            << QByteArray("\x34\x12", 2) << 200LL << 2LL << "3412";
        QTest::newRow("leading zero") << QByteArray("\x05", 1) << 200LL << 1LL << "05";
        QTest::newRow("zero byte") << QByteArray("\x00", 1) << 200LL << 1LL << "00";
        QTest::newRow("upper case") << QByteArray("\xab\xff\x0a", 3) << 200LL << 3LL << "ABFF0A";
        QTest::newRow("offset 0") << QByteArray("\x7e", 1) << 0LL << 1LL << "7E";
        QTest::newRow("last byte") << QByteArray("\x99", 1) << 4095LL << 1LL << "99";
        QTest::newRow("count 0") << QByteArray("\x11", 1) << 200LL << 0LL << "";
    }
    void readHexBytes() {
        QFETCH(QByteArray, stored);
        QFETCH(qint64, offset);
        QFETCH(qint64, count);
        QFETCH(QString, hex);
        SyntheticRom::write(m_path, offset, stored);
        const std::string read =
            HexFunctions::ReadHexBytes(local(m_path), offset, count, m_reporter, m_io);
        QCOMPARE(QString::fromStdString(read), hex);
        QVERIFY(m_reporter.errors.empty());
        QCOMPARE(m_io.count(Call::Open), 1);
        QCOMPARE(m_io.count(Call::Close), 1);
    }

    void writeHexBytes_data() {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("expected"); // bytes 99 to 103 afterwards
        QTest::newRow("odd length gets a leading 0")
            << 100LL << "ABC" << QByteArray("\xEE\x0A\xBC\xEE\xEE", 5);
        QTest::newRow("lower case") << 100LL << "ff" << QByteArray("\xEE\xFF\xEE\xEE\xEE", 5);
        QTest::newRow("word in file order")
            << 100LL << "2C01" << QByteArray("\xEE\x2C\x01\xEE\xEE", 5);
        QTest::newRow("empty text") << 100LL << "" << QByteArray("\xEE\xEE\xEE\xEE\xEE", 5);
    }
    void writeHexBytes() {
        QFETCH(qint64, offset);
        QFETCH(QString, hex);
        QFETCH(QByteArray, expected);
        SyntheticRom::write(m_path, 99, QByteArray(5, '\xEE'));
        QVERIFY(HexFunctions::WriteHexBytes(local(m_path), offset, hex.toStdString(), m_reporter,
                                            m_io));
        QCOMPARE(SyntheticRom::read(m_path, 99, 5), expected);
        QVERIFY(m_reporter.errors.empty());
        QCOMPARE(m_io.count(Call::Open), 1);
        QCOMPARE(m_io.count(Call::Close), 1);
    }

    void everyByteValueRoundTrips() {
        for (int value = 0; value < 256; ++value) {
            const std::string hex = HexFunctions::toHexText({static_cast<std::uint8_t>(value)});
            QVERIFY(HexFunctions::WriteHexBytes(local(m_path), 300 + value, hex, m_reporter, m_io));
            QCOMPARE(HexFunctions::ReadHexBytes(local(m_path), 300 + value, 1, m_reporter, m_io),
                     hex);
        }
        QCOMPARE(SyntheticRom::read(m_path, 300 + 0xC8, 1), QByteArray("\xC8", 1));
        QVERIFY(m_reporter.errors.empty());
    }

    void swapHexBytes_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("swapped");
        QTest::newRow("word") << "01D1"
                              << "D101";
        QTest::newRow("three pairs") << "AABBCC"
                                     << "CCBBAA";
        QTest::newRow("odd length") << "ABC"
                                    << "BC0A";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("one pair") << "7F"
                                  << "7F";
    }
    void swapHexBytes() {
        QFETCH(QString, hex);
        QFETCH(QString, swapped);
        QCOMPARE(QString::fromStdString(HexFunctions::SwapHexBytes(hex.toStdString())), swapped);
    }

    // Each failure is reported once with the platform's number, and a read gives no pairs.
    void failuresAreReported_data() {
        QTest::addColumn<int>("fault"); // 0: none injected
        QTest::addColumn<int>("call");
        QTest::addColumn<QString>("path"); // empty: the image
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reasonContains");
        QTest::addColumn<bool>("opened");
        QTest::newRow("missing file")
            << 0 << 0 << "missing.nds" << 0LL << ENOENT << "No such file" << false;
        QTest::newRow("past the end")
            << 0 << 0 << "" << 4095LL << ERANGE << "ends at byte 4096" << true;
        QTest::newRow("negative offset") << 0 << 0 << "" << -1LL << EINVAL << "outside" << true;
        QTest::newRow("cannot open")
            << EACCES << int(Call::Open) << "" << 0LL << EACCES << "Permission denied" << false;
        QTest::newRow("read fails")
            << EIO << int(Call::Pread) << "" << 0LL << EIO << "Input/output error" << true;
    }
    void failuresAreReported() {
        QFETCH(int, fault);
        QFETCH(int, call);
        QFETCH(QString, path);
        QFETCH(qint64, offset);
        QFETCH(int, code);
        QFETCH(QString, reasonContains);
        QFETCH(bool, opened);
        if (fault)
            m_io.failCall(static_cast<Call>(call), fault, 1);
        const QString target = path.isEmpty() ? m_path : m_roms->folder() + "/" + path;
        QCOMPARE(HexFunctions::ReadHexBytes(local(target), offset, 2, m_reporter, m_io), "");
        QCOMPARE(m_reporter.errors.size(), std::size_t(1));
        const rom::IoError& error = m_reporter.errors.front();
        QCOMPARE(error.code, code);
        const QString text = QString::fromStdString(error.describe());
        QVERIFY2(text.contains(reasonContains), qPrintable(text));
        QVERIFY2(text.contains(target), qPrintable(text));
        QCOMPARE(m_io.count(Call::Close), opened ? 1 : 0); // nothing is left open

        // The next call opens the file afresh.
        if (path.isEmpty() && offset == 0) {
            QCOMPARE(HexFunctions::ReadHexBytes(local(target), 0, 1, m_reporter, m_io), "00");
            QCOMPARE(m_reporter.errors.size(), std::size_t(1));
        }
    }

    void writeNeverExtendsTheFile() {
        const QByteArray before = SyntheticRom::sha256(m_path);
        QVERIFY(!HexFunctions::WriteHexBytes(local(m_path), 4095, "AABB", m_reporter, m_io));
        QCOMPARE(QFileInfo(m_path).size(), 4096);
        QCOMPARE(SyntheticRom::sha256(m_path), before);
        QCOMPARE(m_reporter.errors.size(), std::size_t(1));
        QCOMPARE(m_reporter.errors.front().kind, rom::IoError::Kind::PastEndOfFile);
    }

    void badHexWritesNothing_data() {
        QTest::addColumn<QString>("hex");
        QTest::newRow("second pair") << "00ZZ";
        QTest::newRow("sign") << "-1";
        QTest::newRow("space") << "A B";
    }
    void badHexWritesNothing() {
        QFETCH(QString, hex);
        SyntheticRom::write(m_path, 100, QByteArray("\x11\x22", 2));
        QVERIFY(
            !HexFunctions::WriteHexBytes(local(m_path), 100, hex.toStdString(), m_reporter, m_io));
        QCOMPARE(SyntheticRom::read(m_path, 100, 2), QByteArray("\x11\x22", 2));
        QCOMPARE(m_reporter.errors.size(), std::size_t(1));
        QCOMPARE(m_reporter.errors.front().code, EINVAL);
        QCOMPARE(m_io.count(Call::Open), 0);
    }

    void updateWritesOnceAndFlushes() {
        SyntheticRom::write(m_path, 1000, QByteArray("\x01\x02\x03\x04", 4));
        const rom::Status status = rom::updateAt(m_io, local(m_path), 1000, 4, [](rom::Bytes& b) {
            b[1] = 0xAA;
            b[3] = 0xBB;
        });
        QVERIFY(status.ok());
        QCOMPARE(SyntheticRom::read(m_path, 1000, 4), QByteArray("\x01\xAA\x03\xBB", 4));
        QCOMPARE(m_io.count(Call::Open), 1);
        QCOMPARE(m_io.count(Call::Pwrite), 1);
        QCOMPARE(m_io.count(Call::Fsync), 1);
        QCOMPARE(m_io.count(Call::Close), 1);
    }

    // A write that stops part-way is undone: the span is wholly old, and the error is named.
    void failedUpdateLeavesTheOldBytes_data() {
        QTest::addColumn<int>("bytesBeforeFailure");
        QTest::addColumn<int>("error");
        QTest::newRow("nothing written") << 0 << EIO;
        QTest::newRow("one byte written") << 1 << ENOSPC;
        QTest::newRow("all but one written") << 25 << EIO;
    }
    void failedUpdateLeavesTheOldBytes() {
        QFETCH(int, bytesBeforeFailure);
        QFETCH(int, error);
        SyntheticRom::write(m_path, 2000, QByteArray(26, '\x5A'));
        const QByteArray before = SyntheticRom::sha256(m_path);
        m_io.failWritesAfter(bytesBeforeFailure, error);
        const rom::Status status = rom::updateAt(m_io, local(m_path), 2000, 26, [](rom::Bytes& b) {
            std::fill(b.begin(), b.end(), 0xC3);
        });
        QVERIFY(!status.ok());
        QCOMPARE(status.error().code, error);
        QVERIFY(
            !QString::fromStdString(status.error().describe()).contains("could not be put back"));
        QCOMPARE(SyntheticRom::sha256(m_path), before);
    }

    void failedUndoIsSaid() {
        m_io.failWritesAfter(10, EIO);
        m_io.failCall(Call::Pwrite, EIO, 3); // the undo after the short write and the failure
        const rom::Status status =
            rom::updateAt(m_io, local(m_path), 2000, 26, [](rom::Bytes& b) { b[0] = 1; });
        QVERIFY(!status.ok());
        QVERIFY(
            QString::fromStdString(status.error().describe()).contains("could not be put back"));
    }

    // A flush that fails leaves the old bytes in place: the update is reported as failed,
    // so it must not have happened.
    void failedFlushPutsTheOldBytesBack() {
        const QByteArray before = SyntheticRom::sha256(m_path);
        m_io.failCall(Call::Fsync, EIO, 1);
        const rom::Status status =
            rom::updateAt(m_io, local(m_path), 2000, 26, [](rom::Bytes& b) { b[0] = 1; });
        QVERIFY(!status.ok());
        QCOMPARE(status.error().code, EIO);
        QVERIFY(QString::fromStdString(status.error().describe()).contains("flush"));
        QCOMPARE(SyntheticRom::sha256(m_path), before);
        QCOMPARE(m_io.count(Call::Pwrite), 2);
    }

private:
    std::unique_ptr<SyntheticRom> m_roms;
    QString m_path;
    FaultInjectingIo m_io;
    CollectingReporter m_reporter;
};

QTEST_GUILESS_MAIN(TestRomIo)
#include "tst_rom_io.moc"
