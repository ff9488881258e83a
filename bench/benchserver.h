// The results server the server benchmarks run on: the one QUORVANE_PG names (bench/run.sh
// starts a private cluster), reached through a data folder whose server.ini names it, with
// the schema made as mkquorvane --server makes it.
#pragma once

#include "startup/datafolder.h"
#include "storage/database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// The server's results, or nullptr with the reason in *error. `dir` holds the data folder.
inline std::unique_ptr<qv::Database> openBenchServer(const QTemporaryDir &dir, QString *error)
{
    const QString server = qEnvironmentVariable("QUORVANE_PG");
    if (server.isEmpty()) {
        *error = QStringLiteral("QUORVANE_PG names no server");
        return nullptr;
    }
    const QString folder = dir.filePath("Perquorvane");
    QDir().mkpath(folder);
    QFile ini(QDir(folder).filePath(qv::kServerFile));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(server.toUtf8()) < 0) {
        *error = ini.errorString();
        return nullptr;
    }
    ini.close();
    return qv::prepareServer(folder, error) ? qv::openResults(folder, error) : nullptr;
}
