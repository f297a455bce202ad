#pragma once

#include <QString>

// Writes a small DS file system into a synthetic image: a header pointing to name and
// allocation tables, one plain file, and a NARC archive of records in a subfolder.
struct NdsFileSystem {
    enum class Placement {
        AtRecordBase, // entry 1 of the archive starts at the record base
        Elsewhere,    // the archive lies a megabyte further on
        NotAnArchive, // the file over the record base holds no NARC
    };

    qint64 recordBase = 0;
    Placement placement = Placement::AtRecordBase;
    int entries = 501; // entry 0 is a blank record before the first species
    int recordSize = 44;

    // The path the name table gives the archive.
    static QString archivePath() { return QStringLiteral("/data/table.narc"); }

    void writeInto(const QString& imagePath) const;
};
