// Preparing the data folder "Perquorvane": the results database with its class and
// content tables and the export template. Safe to run again: results are never touched.
#pragma once

#include "storage/database.h"
#include "storage/datafiles.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace qv {

// Creates the folder and what is missing in it, refreshes the content tables and empties
// an export template that holds rows (*notice then says so). false with an Italian
// message in *error when a file is there but is not usable, or cannot be made.
bool prepareDataFolder(const QString &folder, QString *error, QString *notice = nullptr);

// Creates or completes the results schema on the server that `folder`/server.ini names (the
// same rules as for the file: a class table's rows are never touched), loads the content
// tables and sets up the server's guard (storage/serverguard.h): the connection must be the
// database's owner or a superuser. false with an Italian message naming the server; what the
// technician should still do goes into *notices.
bool prepareServer(const QString &folder, QString *error, QStringList *notices = nullptr);
// The same on the connection `config` names.
bool prepareServer(const ServerConfig &config, QString *error, QStringList *notices = nullptr);

// The results of `folder`: the server its server.ini names, or else its results file.
// nullptr and an Italian message when it cannot be opened; never a file when server.ini is there.
std::unique_ptr<Database> openResults(const QString &folder, QString *error);

} // namespace qv
