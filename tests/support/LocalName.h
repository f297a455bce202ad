#pragma once

#include <QFile>
#include <QString>

#include <string>

// A file name as the system calls take it: in the local encoding.
inline std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
