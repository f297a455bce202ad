#include "CliRun.h"

#include "cli/Cli.h"

#include <QFile>

#include <sstream>

CliOutcome runCli(const QStringList& arguments, files::SysIo& io) {
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(QFile::encodeName(argument).toStdString());
    std::ostringstream out, err;
    const int status = cli::run(args, out, err, io);
    return {status, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("could not write %s", qPrintable(path));
}
