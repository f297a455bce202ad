#include "NdsRead.h"

#include <QStringList>
#include <QtEndian>

namespace NdsRead {

quint32 u32(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 u16(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

int fileId(const QByteArray& image, const QString& path) {
    const qint64 names = u32(image, 0x40);
    int folder = 0; // the root's number: its id less 0xF000
    const QStringList parts = path.split('/', Qt::SkipEmptyParts);
    for (qsizetype part = 0; part < parts.size(); ++part) {
        qint64 at = names + u32(image, names + 8 * folder);
        int id = u16(image, names + 8 * folder + 4);
        int next = -1;
        while (quint8 length = quint8(image[at])) {
            const bool isFolder = length & 0x80;
            const QString name = QString::fromLatin1(image.mid(at + 1, length & 0x7F));
            at += 1 + (length & 0x7F);
            if (isFolder) {
                if (name == parts[part] && part + 1 < parts.size())
                    next = u16(image, at) - 0xF000;
                at += 2;
            } else {
                if (name == parts[part] && part + 1 == parts.size())
                    return id;
                ++id;
            }
        }
        if (next < 0)
            return -1;
        folder = next;
    }
    return -1;
}

qint64 allocationEntry(const QByteArray& image, int id) {
    return u32(image, 0x48) + 8LL * id;
}

Span fileSpan(const QByteArray& image, int id) {
    const qint64 entry = allocationEntry(image, id);
    return {u32(image, entry), u32(image, entry + 4)};
}

QList<Span> fileSpans(const QByteArray& image) {
    QList<Span> spans;
    for (quint32 id = 0; id < u32(image, 0x4C) / 8; ++id)
        spans.append(fileSpan(image, int(id)));
    return spans;
}

QList<QByteArray> narcMembers(const QByteArray& narc) {
    const qint64 allocation = u16(narc, 12); // the header's size
    const qint64 count = u16(narc, allocation + 8);
    const qint64 names = allocation + u32(narc, allocation + 4);
    const qint64 data = names + u32(narc, names + 4) + 8;
    QList<QByteArray> members;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 start = u32(narc, allocation + 12 + 8 * i);
        const qint64 end = u32(narc, allocation + 16 + 8 * i);
        members.append(narc.mid(data + start, end - start));
    }
    return members;
}

quint16 headerCrc(const QByteArray& header) {
    quint16 crc = 0xFFFF;
    for (qint64 i = 0; i < 0x15E; ++i) {
        crc ^= quint8(header[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace NdsRead
