#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A DS image's file system read with nothing of the program's own code, so that a test can
// check what a write that moves a file made of the image: the header's pointers, the name
// table's folders, the allocation table, and a NARC archive's members.
namespace NdsRead {

struct Span {
    qint64 start = 0;
    qint64 end = 0;
    bool operator==(const Span&) const = default;
};

quint32 u32(const QByteArray& bytes, qint64 at);
quint16 u16(const QByteArray& bytes, qint64 at);

// The id of the file at `path` ("/a/0/3/3"), or -1.
int fileId(const QByteArray& image, const QString& path);
// Where the file `id` lies, by the allocation table; and every file's, in id order.
Span fileSpan(const QByteArray& image, int id);
QList<Span> fileSpans(const QByteArray& image);
// Where the allocation entry of file `id` lies in the image.
qint64 allocationEntry(const QByteArray& image, int id);
// The members of the NARC archive `narc`, in order.
QList<QByteArray> narcMembers(const QByteArray& narc);
// The header's CRC-16 over bytes 0 to 0x15D: initial 0xFFFF, polynomial 0x8005 reflected.
quint16 headerCrc(const QByteArray& header);

} // namespace NdsRead
