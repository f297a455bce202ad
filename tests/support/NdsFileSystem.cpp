#include "NdsFileSystem.h"

#include "SyntheticRom.h"

#include <QByteArray>
#include <QtEndian>

namespace {

void put32(QByteArray& bytes, int at, quint32 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(bytes.data()) + at);
}
void put16(QByteArray& bytes, int at, quint16 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(bytes.data()) + at);
}

QByteArray narc(int entries, int recordSize) {
    const int btafSize = 12 + 8 * entries;
    const int dataSize = entries * recordSize;
    QByteArray bytes(16 + btafSize + 16 + 8 + dataSize, '\0');
    bytes.replace(0, 4, "NARC");
    put16(bytes, 4, 0xFFFE);
    put16(bytes, 6, 0x0100);
    put32(bytes, 8, quint32(bytes.size()));
    put16(bytes, 12, 16);
    put16(bytes, 14, 3);
    bytes.replace(16, 4, "BTAF");
    put32(bytes, 20, quint32(btafSize));
    put16(bytes, 24, quint16(entries));
    for (int i = 0; i < entries; ++i) {
        put32(bytes, 28 + 8 * i, quint32(i * recordSize));
        put32(bytes, 32 + 8 * i, quint32((i + 1) * recordSize));
    }
    const int btnf = 16 + btafSize;
    bytes.replace(btnf, 4, "BTNF");
    put32(bytes, btnf + 4, 16);
    put32(bytes, btnf + 8, 4);
    put16(bytes, btnf + 14, 1);
    bytes.replace(btnf + 16, 4, "GMIF");
    put32(bytes, btnf + 20, quint32(8 + dataSize));
    return bytes;
}

// Root: "a.bin" (id 0) and folder "data"; "data": "table.narc" (id 1).
QByteArray nameTable() {
    QByteArray fnt(16, '\0');
    put32(fnt, 0, 16);
    put16(fnt, 4, 0);
    put16(fnt, 6, 2);
    fnt += QByteArray("\x05"
                      "a.bin"
                      "\x84"
                      "data"
                      "\x01\xF0"
                      "\x00",
                      14);
    put32(fnt, 8, quint32(fnt.size()));
    put16(fnt, 12, 1);
    put16(fnt, 14, 0xF000);
    fnt += QByteArray("\x0A"
                      "table.narc"
                      "\x00",
                      12);
    return fnt;
}

} // namespace

void NdsFileSystem::writeInto(const QString& imagePath) const {
    const QByteArray archive = narc(entries, recordSize);
    const qint64 dataStart = archive.size() - qint64(entries) * recordSize;
    qint64 start = recordBase - dataStart - recordSize; // entry 1 at the record base
    if (placement == Placement::Elsewhere)
        start += 1 << 20;

    const QByteArray fnt = nameTable();
    QByteArray fat(16, '\0');
    put32(fat, 0, 0x4000);
    put32(fat, 4, 0x4100);
    put32(fat, 8, quint32(start));
    put32(fat, 12, quint32(start + archive.size()));

    QByteArray header(16, '\0');
    put32(header, 0, 0x1000);
    put32(header, 4, quint32(fnt.size()));
    put32(header, 8, 0x2000);
    put32(header, 12, quint32(fat.size()));
    SyntheticRom::write(imagePath, 0x40, header);
    SyntheticRom::write(imagePath, 0x1000, fnt);
    SyntheticRom::write(imagePath, 0x2000, fat);
    if (placement != Placement::NotAnArchive)
        SyntheticRom::write(imagePath, start, archive.left(int(dataStart)));
}
