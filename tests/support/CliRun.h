#pragma once

#include "files/SysIo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// statwright-cli run in the test's own process, and the files it reads and writes.

// What one run said and how it ended.
struct CliOutcome {
    int status;
    QString out;
    QString err;
};

// Runs statwright-cli with `arguments` (file names in the local encoding) on `io`.
CliOutcome runCli(const QStringList& arguments, files::SysIo& io = files::systemIo());

// The whole file, or nothing if it cannot be read.
QByteArray readFile(const QString& path);
// Replaces the file's contents; a failure ends the test.
void writeFile(const QString& path, const QByteArray& bytes);
