#include "SyntheticRom.h"

#include "nds/GameEdition.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest/QTest>

SyntheticRom::SyntheticRom() {
    QVERIFY2(m_dir.isValid(), "no temporary folder");
}

QString SyntheticRom::create(const QString& name, const QByteArray& code, qint64 size) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size))
        qFatal("cannot create %s", qPrintable(path));
    file.close();
    if (size >= 16)
        write(path, 12, code);
    return path;
}

QString SyntheticRom::createFor(const QByteArray& code, const QString& name) {
    return create(name, code, recordBase(code) + 500 * 44 + 4096);
}

void SyntheticRom::write(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(offset) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray SyntheticRom::read(const QString& path, qint64 offset, qint64 count) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        qFatal("cannot read %s", qPrintable(path));
    return file.read(count);
}

QByteArray SyntheticRom::sha256(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        qFatal("cannot hash %s", qPrintable(path));
    return hash.result().toHex();
}

QByteArray SyntheticRom::fingerprint(const QString& path, const QByteArray& code) {
    return QByteArray::number(QFileInfo(path).size()) + ':' +
           read(path, recordBase(code), 500 * 44);
}

qint64 SyntheticRom::recordBase(const QByteArray& code) {
    const nds::GameEdition* edition = nds::findEdition(code.toStdString());
    return edition ? edition->recordBase : 0;
}

qint64 SyntheticRom::recordOffset(const QByteArray& code, int position) {
    return recordBase(code) + 44LL * position;
}

void SyntheticRom::fillRecords(const QString& path, const QByteArray& code, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray table(500 * 44, Qt::Uninitialized);
    for (char& byte : table)
        byte = static_cast<char>(random.bounded(256));
    write(path, recordBase(code), table);
}
