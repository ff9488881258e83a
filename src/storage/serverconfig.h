// The results server named by "server.ini" in the data folder: a libpq connection string
// (host, port, dbname, user, sslmode, ...), one keyword=value per line or several on a line,
// with "#" or ";" comments and [section] lines ignored. The password is never written here:
// libpq finds it in ~/.pgpass or in the file PGPASSFILE names.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace qv {

inline constexpr const char *kServerFile = "server.ini";

class ServerConfig {
public:
    enum class State { Absent, Ready, Invalid };

    // Reads `folder`/server.ini. Absent when there is no such file; Invalid (with an Italian
    // message in error()) when it cannot be read or its text is not a usable connection string.
    static ServerConfig read(const QString &folder);
    // Parses a connection string; for tests and the set-up tool.
    static ServerConfig parse(const QString &text, const QString &file = {});

    State state() const { return state_; }
    QString error() const { return error_; }
    QString file() const { return file_; }
    // The connection string handed to the driver, with a connect timeout when none was given.
    QString connectionString() const;
    QString value(const QString &key) const;
    // The same connection with `key` set to `value` (a teacher's login in place of the lab's).
    ServerConfig with(const QString &key, const QString &value) const;
    // "database \"quorvane\" sul server 10.0.0.5 (porta 5432)", for messages ("al ...", "nel ...").
    QString describe() const;
    // Why a connection failed, for the teacher: the cause in Italian (lower case, after the
    // server's description and a colon), on the next line what to do first, then PostgreSQL's
    // own text `engineText` (libpq's, in English) in brackets.
    QString explainFailure(const QString &engineText) const;
    // The file libpq takes the password from: passfile in server.ini, else the one PGPASSFILE
    // names, else ~/.pgpass.
    QString passwordFile() const;

private:
    State state_ = State::Absent;
    QString error_;
    QString file_;
    QList<QPair<QString, QString>> pairs_;
};

} // namespace qv
