#pragma once

#include <QFile>
#include <QString>
#include <QtTest/QTest>

#include <sys/stat.h>

// Rows of what is not a regular file, for tests that give one where an image must be: the
// columns "path" (a FIFO and a folder are made by make) and "kind", the words that name it.
namespace notRegular {

inline void addRows() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo"
                          << "a FIFO";
    QTest::newRow("directory") << "folder"
                               << "a directory";
    QTest::newRow("/dev/null") << "/dev/null"
                               << "a character device";
    QTest::newRow("/dev/zero") << "/dev/zero"
                               << "a character device";
}

// The path of a row's file: a FIFO without a writer, or `folder` itself.
inline QString make(const QString& path, const QString& folder) {
    if (path == "folder")
        return folder;
    if (path != "fifo")
        return path;
    const QString fifo = folder + "/fifo.nds";
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        qFatal("cannot make %s", qPrintable(fifo));
    return fifo;
}

} // namespace notRegular
