// The results server guards the results itself. The tables belong to a role nobody logs in
// as; the lab computers log in as the pupils' role, which reaches only views in a schema of
// its own: a class's names, data and progress codes, the scores of a record only while it is
// unfinished, a new record that starts from the beginning, a store that never lowers the
// progress and never touches a finished record, and the answers and tools of unfinished
// records. The teachers (one login role each, members of the teachers' group) read and
// change every table of the results and nothing else.
#pragma once

#include "storage/database.h"

#include <QString>
#include <QStringList>

namespace qv {

inline constexpr const char *kOwnerRole = "quorvane_proprietario";
inline constexpr const char *kPupilRole = "quorvane_aula";
inline constexpr const char *kTeacherGroup = "quorvane_docenti";

// The schema of the pupils' views over the tables of `tablesSchema`. For "public" it is named
// as the pupils' role, so that the role's default search path ("$user", public) finds it
// first; for another schema (a test's), "<schema>_aula".
QString pupilSchemaFor(const QString &tablesSchema);
// The view of the pupils' schema their stores of a class table's records go through.
QString pupilStoreView(const QString &table);

// Makes or completes, on the technician's connection (a superuser, or the database's owner
// who may act as the owner role), the roles, the ownership of the tables, the pupils' views
// and functions and the grants, in the schema the connection stands in. Safe to run again;
// tables of an older set-up (owned by its login role) pass to the owner role with every row.
// What the technician should still do is added to *notices. false with an Italian message.
bool guardServer(Database &db, QStringList *notices, QString *error);
// Whether the connection may set the server up (a superuser or the database's owner); false
// with an Italian message saying who may.
bool canPrepareServer(Database &db, QString *error);

// The role the connection acts as, and whether it is a teacher's (a member of the teachers'
// group, or the owner of the tables). Empty role when it cannot be read.
struct ServerRole {
    QString name;
    bool teacher = false;
};
ServerRole serverRole(Database &db);

} // namespace qv
