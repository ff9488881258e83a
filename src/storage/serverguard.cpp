#include "storage/serverguard.h"

#include "storage/classmap.h"
#include "storage/pupilrecord.h"
#include "storage/schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qv {

namespace {

QString ident(const QString &name)
{
    QString n = name;
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

QString literal(const QString &text)
{
    QString t = text;
    t.replace('\'', "''");
    return '\'' + t + '\'';
}

// The content tables, read only; the other tables of the results are archiveTableNames().
const QStringList &contentTables()
{
    static const QStringList t = {QStringLiteral("a_grammaticale"), QStringLiteral("A_logica")};
    return t;
}

// A closed school year is read-only for the teachers too: closing it inserts its rows, the
// erasure of the years beyond the school's limit deletes them, nothing changes them.
QString closedYearsReadOnly(const QString &schema, const QString &teachers)
{
    QStringList years;
    for (const QString &t : archiveTableNames())
        if (t.startsWith(QLatin1String("anni_")))
            years << schema + QLatin1Char('.') + ident(t);
    return QStringLiteral("REVOKE UPDATE ON %1 FROM %2").arg(years.join(", "), ident(teachers));
}

// The fields a pupil's store writes besides the progress code: every field but nome, data,
// arrivo and sub.
QStringList scoreFields()
{
    QStringList f = pupilFields();
    f.removeAll(QStringLiteral("nome"));
    f.removeAll(QStringLiteral("data"));
    f.removeAll(QStringLiteral("arrivo"));
    f.removeAll(QStringLiteral("sub"));
    return f;
}

// A record the pupils' road may still change: its progress short of the finished test. A
// record with no progress code is one an interruption spoiled, which the road never resumes.
QString unfinished(const QString &prefix)
{
    return QStringLiteral("coalesce(%1arrivo < %2 OR (%1arrivo = %2 AND %1sub < %3), false)")
        .arg(prefix)
        .arg(kArrivoComplete)
        .arg(kSubComplete);
}

// The view of a class table for the pupils: every field, the scores empty on a finished record.
QString classView(const QString &T, const QString &P, const QString &table)
{
    QStringList cols = {QStringLiteral("nome"), QStringLiteral("data"), QStringLiteral("arrivo"), QStringLiteral("sub")};
    for (const QString &f : scoreFields())
        cols << QStringLiteral("CASE WHEN %1 THEN %2 END AS %2").arg(unfinished({}), f);
    cols << QStringLiteral("rowid");
    return QStringLiteral("CREATE OR REPLACE VIEW %1.%2 AS SELECT %3 FROM %4.%2")
        .arg(P, ident(table), cols.join(QStringLiteral(", ")), T);
}

// The tests of the battery as the guard sees them: the progress codes at which each is on
// screen (a record at a code left by the test before opens the next one), in order, and the
// fields it stores. A pupil's store writes only the fields of the test its record is at, of
// the one it moves to, and of any between.
struct TestFields {
    QList<int> codes;
    QStringList fields;
};
const QList<TestFields> &testFields()
{
    static const QList<TestFields> t = {
        {{1, 2}, {"lessico1", "fatti1", "inferen1", "sintesi1", "scopi2", "fatti2", "inferen2", "sintesi2", "temlettura"}},
        {{3}, {"gramsem", "gramcom", "temgram"}},
        {{4, 5}, {"logsem", "temlogica"}},
        {{6}, {"frasi1", "frasi2", "temfrasi"}},
        {{7}, {"causasem", "causacom", "temcause"}},
        {{8}, {"cronolog", "temcrono"}},
        {{9}, {"elemfis", "temfisica"}},
        {{10}, {"elempol", "tempolitica"}},
    };
    return t;
}

// The view the lab computers' stores go through: the unfinished records of a class, every
// field; a pupil may change there the progress and the scores (the grants say which), and
// the table's guard says how. A store on a record finished since finds no row. Simple, so
// the server writes through it to the table as one plain UPDATE.
QString storeView(const QString &T, const QString &P, const QString &table)
{
    return QStringLiteral("CREATE OR REPLACE VIEW %1.%2 WITH (security_barrier) AS SELECT %3 FROM %4.%5 WHERE %6")
        .arg(P, ident(pupilStoreView(table)), (QStringList{"nome", "data", "arrivo", "sub"} + scoreFields() + QStringList{"rowid"}).join(", "), T,
             ident(table), unfinished({}));
}

// The guard of a class table against the pupils' stores (the trigger runs it only for the
// pupils' role): a finished record stays as it is, the progress code is never emptied nor
// lowered, and only the fields of the test on screen change. One exception: a map test whose
// record holds no score of it (a damaged record) starts again from its first place, which
// loses nothing and touches no other test. It runs as the pupil, on the record's own values
// only, so it needs no rights and no search path of its own (built-in operators only, and
// the pupils' role creates nothing anywhere).
QString guardFunction(const QString &P)
{
    // A test's fields stay as they are unless the store goes from the test, or one before
    // it, to the test, or one after it.
    QStringList outside;
    for (const TestFields &t : testFields()) {
        QStringList changed;
        for (const QString &f : t.fields)
            changed << QStringLiteral("NEW.%1 IS DISTINCT FROM OLD.%1").arg(f);
        outside << QStringLiteral("((OLD.arrivo > %1 OR NEW.arrivo < %2) AND (%3))").arg(t.codes.last()).arg(t.codes.first()).arg(changed.join(" OR "));
    }
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1.guardia() RETURNS trigger LANGUAGE plpgsql AS $f$\nBEGIN\n"
               "  IF NOT %2 THEN\n"
               "    RAISE EXCEPTION 'un risultato finito non si cambia' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  IF NEW.arrivo IS NULL OR NEW.sub IS NULL OR ((NEW.arrivo, NEW.sub) < (OLD.arrivo, OLD.sub) AND NOT coalesce(NEW.arrivo = OLD.arrivo "
               "AND NEW.sub = 1 AND CASE OLD.arrivo WHEN 9 THEN OLD.elemfis IS NULL AND NEW.elemfis = 0 WHEN 10 THEN OLD.elempol IS NULL "
               "AND NEW.elempol = 0 ELSE false END, false)) THEN\n"
               "    RAISE EXCEPTION 'il punto raggiunto nelle prove non torna indietro' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  IF %3 THEN\n"
               "    RAISE EXCEPTION 'si scrivono solo i risultati della prova in corso' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  RETURN NEW;\n"
               "END\n$f$")
        .arg(P, unfinished(QStringLiteral("OLD.")), outside.join(QStringLiteral("\n    OR ")));
}

// A new record through the class view carries its name and the start of the battery,
// nothing else; the table gives it its data and row number.
QString classInserter(const QString &T, const QString &P, const QString &table)
{
    QStringList otherNull;
    for (const QString &f : scoreFields())
        otherNull << QStringLiteral("NEW.%1 IS NOT NULL").arg(f);
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1.%2() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
               "SET search_path = pg_catalog, pg_temp AS $f$\nBEGIN\n"
               "  IF NEW.nome IS NULL OR NEW.arrivo IS DISTINCT FROM 1 OR NEW.sub IS DISTINCT FROM 1 OR NEW.data IS NOT NULL "
               "OR NEW.rowid IS NOT NULL OR %3 THEN\n"
               "    RAISE EXCEPTION 'un alunno nuovo comincia dalla prima prova' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  INSERT INTO %4.%5 (nome, arrivo, sub) VALUES (NEW.nome, 1, 1) RETURNING data, rowid INTO NEW.data, NEW.rowid;\n"
               "  RETURN NEW;\n"
               "END\n$f$")
        .arg(P, ident(table + QStringLiteral("_scrive")), otherNull.join(QStringLiteral(" OR ")), T, ident(table));
}

// An UPDATE on the class view (the way earlier versions of the program stored, and any
// statement a pupil types there) goes, as the pupil, through the store view, so the same
// grants and the same guard hold. A record's name and data never change; a finished record
// is refused rather than found missing. It writes only if the record's progress is still the
// one the statement found (another computer's store since makes it write nothing).
QString classUpdater(const QString &P, const QString &table)
{
    QStringList sets;
    for (const QString &f : scoreFields())
        sets << QStringLiteral("%1 = NEW.%1").arg(f);
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1.%2() RETURNS trigger LANGUAGE plpgsql "
               "SET search_path = pg_catalog, pg_temp AS $f$\nBEGIN\n"
               "  IF NEW.nome IS DISTINCT FROM OLD.nome OR NEW.data IS DISTINCT FROM OLD.data OR NEW.rowid IS DISTINCT FROM OLD.rowid THEN\n"
               "    RAISE EXCEPTION 'il nome e la data di un risultato non si cambiano' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  IF NOT %3 THEN\n"
               "    RAISE EXCEPTION 'un risultato finito non si cambia' USING ERRCODE = '42501';\n"
               "  END IF;\n"
               "  UPDATE %1.%4 SET arrivo = NEW.arrivo, sub = NEW.sub, %5 WHERE rowid = OLD.rowid "
               "AND arrivo IS NOT DISTINCT FROM OLD.arrivo AND sub IS NOT DISTINCT FROM OLD.sub;\n"
               "  IF NOT FOUND THEN\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  RETURN NEW;\n"
               "END\n$f$")
        .arg(P, ident(table + QStringLiteral("_aggiorna")), unfinished(QStringLiteral("OLD.")), ident(pupilStoreView(table)),
             sets.join(QStringLiteral(", ")));
}

// Whether (classe, data) names an unfinished record, or one this transaction has just
// written (the store that finishes a test writes its last answers after the record).
QString inProgressFunction(const QString &T, const QString &P)
{
    QStringList cases;
    for (const QString &t : classTables())
        cases << QStringLiteral("    WHEN %1 THEN RETURN EXISTS (SELECT 1 FROM %2.%3 r WHERE r.data = $2 AND (%4 OR r.xmin = "
                                "xid(pg_current_xact_id_if_assigned())));")
                     .arg(literal(t), T, ident(t), unfinished(QStringLiteral("r.")));
    return QStringLiteral("CREATE OR REPLACE FUNCTION %1.in_corso(classe text, data text) RETURNS boolean LANGUAGE plpgsql "
                          "STABLE SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $f$\nBEGIN\n  CASE $1\n%2\n"
                          "    ELSE RETURN false;\n  END CASE;\nEND\n$f$")
        .arg(P, cases.join(QLatin1Char('\n')));
}

class Runner {
public:
    Runner(Database &db, QString *error) : db_(db), error_(error) {}
    bool operator()(const QString &sql)
    {
        QSqlQuery q(db_.sql());
        if (q.exec(sql))
            return true;
        if (error_)
            *error_ = QStringLiteral("%1\n(%2)").arg(q.lastError().databaseText().trimmed(), sql.left(200));
        return false;
    }
    // The first row's first value, or a null QVariant.
    QVariant value(const QString &sql, bool *ok = nullptr)
    {
        QSqlQuery q(db_.sql());
        const bool done = q.exec(sql);
        if (ok)
            *ok = done;
        if (!done && error_)
            *error_ = q.lastError().databaseText().trimmed();
        return done && q.next() ? q.value(0) : QVariant();
    }

private:
    Database &db_;
    QString *error_;
};

bool roleExists(Runner &run, const char *role)
{
    return run.value(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = %1").arg(literal(QString::fromLatin1(role)))).isValid();
}

} // namespace

QString pupilSchemaFor(const QString &tablesSchema)
{
    if (tablesSchema == QLatin1String("public"))
        return QString::fromLatin1(kPupilRole);
    return tablesSchema + QStringLiteral("_aula");
}

QString pupilStoreView(const QString &table)
{
    return table + QStringLiteral("_in_corso");
}

ServerRole serverRole(Database &db)
{
    ServerRole r;
    QSqlQuery q(db.sql());
    if (q.exec(QStringLiteral("SELECT current_user, pg_has_role(current_user, %1, 'MEMBER') OR pg_has_role(current_user, %2, 'MEMBER')")
                   .arg(literal(QString::fromLatin1(kTeacherGroup)), literal(QString::fromLatin1(kOwnerRole))))
        && q.next()) {
        r.name = q.value(0).toString();
        r.teacher = q.value(1).toBool();
    }
    return r;
}

bool canPrepareServer(Database &db, QString *error)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT current_user, current_database(), r.rolsuper OR pg_has_role(current_user, d.datdba, 'MEMBER') "
                               "FROM pg_roles r, pg_database d WHERE r.rolname = current_user AND d.datname = current_database()"))
        || !q.next()) {
        if (error)
            *error = QStringLiteral("Non riesco a leggere chi sono sul server: %1").arg(q.lastError().databaseText());
        return false;
    }
    if (q.value(2).toBool())
        return true;
    if (error)
        *error = QStringLiteral("L'utente \"%1\" non può preparare il database \"%2\": ci vuole il suo proprietario o un "
                                "amministratore di PostgreSQL (per esempio, sul server: sudo -u postgres mkquorvane --server "
                                "--collegamento 'dbname=%2').")
                     .arg(q.value(0).toString(), q.value(1).toString());
    return false;
}

bool guardServer(Database &db, QStringList *notices, QString *error)
{
    auto fail = [&](const QString &e) {
        if (error)
            *error = e;
        return false;
    };
    QString e;
    Runner run(db, &e);
    const QString owner = QString::fromLatin1(kOwnerRole);
    const QString pupils = QString::fromLatin1(kPupilRole);
    const QString teachers = QString::fromLatin1(kTeacherGroup);
    QSqlQuery who(db.sql());
    if (!who.exec(QStringLiteral("SELECT current_user, current_schema(), current_database(), r.rolsuper, r.rolcreaterole, "
                                 "pg_get_userbyid(d.datdba), pg_has_role(current_user, d.datdba, 'MEMBER') "
                                 "FROM pg_roles r, pg_database d WHERE r.rolname = current_user AND d.datname = current_database()"))
        || !who.next())
        return fail(QStringLiteral("Non riesco a leggere chi sono sul server: %1").arg(who.lastError().databaseText()));
    const QString me = who.value(0).toString();
    const QString schema = who.value(1).toString();
    const QString database = who.value(2).toString();
    const bool superuser = who.value(3).toBool();
    const bool createRole = superuser || who.value(4).toBool();
    const QString dbOwner = who.value(5).toString();
    const bool ownsDb = who.value(6).toBool();
    who.finish();
    if (!superuser && !ownsDb)
        return canPrepareServer(db, error);
    if (schema.isEmpty())
        return fail(QStringLiteral("Il collegamento non ha uno schema in cui stanno le tabelle (search_path)."));
    const QString T = ident(schema);
    const QString P = ident(pupilSchemaFor(schema));

    // The three roles, made where the connection may make roles.
    struct Wanted {
        QString name;
        QString attributes;
    };
    const QList<Wanted> roles = {{owner, QStringLiteral("NOLOGIN")}, {pupils, QStringLiteral("LOGIN")}, {teachers, QStringLiteral("NOLOGIN")}};
    QStringList missing;
    for (const Wanted &r : roles) {
        if (roleExists(run, r.name.toLatin1().constData()))
            continue;
        if (!createRole) {
            missing << QStringLiteral("CREATE ROLE %1 %2;").arg(r.name, r.attributes);
            continue;
        }
        if (!run(QStringLiteral("CREATE ROLE %1 %2").arg(ident(r.name), r.attributes)))
            return fail(QStringLiteral("Non riesco a creare l'utente \"%1\": %2").arg(r.name, e));
        if (notices && r.name == pupils)
            *notices << QStringLiteral("ho creato l'utente \"%1\" dei computer del laboratorio: dagli una password "
                                       "(sudo -u postgres psql -c '\\password %1'), oppure, su un computer solo, "
                                       "l'accesso \"peer\" (vedi il README).")
                            .arg(pupils);
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("Mancano gli utenti di Quorvane sul server e \"%1\" non può crearli. Un amministratore "
                                   "li crei con:  sudo -u postgres psql -c '%2'  e poi si ripeta questo comando.")
                        .arg(me, missing.join(QLatin1Char(' '))));
    // The owner role is nobody's login.
    if (run.value(QStringLiteral("SELECT rolcanlogin FROM pg_roles WHERE rolname = %1").arg(literal(owner))).toBool()) {
        if (!createRole || !run(QStringLiteral("ALTER ROLE %1 NOLOGIN").arg(ident(owner))))
            return fail(QStringLiteral("L'utente \"%1\" non deve potersi collegare: ALTER ROLE %1 NOLOGIN.").arg(owner));
    }
    if (!superuser && !run.value(QStringLiteral("SELECT pg_has_role(current_user, %1, 'MEMBER')").arg(literal(owner))).toBool())
        return fail(QStringLiteral("L'utente \"%1\" non può dare le tabelle a \"%2\": un amministratore esegua  "
                                   "sudo -u postgres psql -c 'GRANT %2 TO %1'  oppure prepari lui il server.")
                        .arg(me, owner));

    if (!db.begin())
        return fail(db.lastError());
    auto abort = [&](const QString &what) {
        db.rollback();
        return fail(QStringLiteral("%1: %2").arg(what, e));
    };
    // Ownership: the tables of an older set-up pass to the owner role with their rows, their
    // identity sequences and their indexes.
    QStringList all = classTables() + contentTables() + archiveTableNames();
    QStringList formerOwners;
    if (!run(QStringLiteral("GRANT USAGE, CREATE ON SCHEMA %1 TO %2").arg(T, ident(owner))))
        return abort(QStringLiteral("Non riesco a dare lo schema \"%1\" a \"%2\"").arg(schema, owner));
    for (const QString &t : all) {
        const QString was = run.value(QStringLiteral("SELECT pg_get_userbyid(relowner) FROM pg_class WHERE oid = to_regclass(%1)")
                                          .arg(literal(T + QLatin1Char('.') + ident(t))))
                                .toString();
        if (was.isEmpty())
            return abort(QStringLiteral("Manca la tabella \"%1\"").arg(t));
        if (was == owner)
            continue;
        if (!formerOwners.contains(was))
            formerOwners << was;
        if (!run(QStringLiteral("ALTER TABLE %1.%2 OWNER TO %3").arg(T, ident(t), ident(owner))))
            return abort(QStringLiteral("Non riesco a dare la tabella \"%1\" a \"%2\"").arg(t, owner));
    }
    QStringList tables;
    for (const QString &t : classTables() + archiveTableNames())
        tables << T + QLatin1Char('.') + ident(t);
    QStringList content;
    for (const QString &t : contentTables())
        content << T + QLatin1Char('.') + ident(t);
    const bool granted =
        run(QStringLiteral("REVOKE ALL ON SCHEMA %1 FROM PUBLIC")
                .arg(T))
        && run(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(T, ident(teachers)))
        && run(QStringLiteral("REVOKE ALL ON %1, %2 FROM PUBLIC").arg(tables.join(", "), content.join(", ")))
        && run(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2").arg(tables.join(", "), ident(teachers)))
        && run(QStringLiteral("GRANT SELECT ON %1 TO %2").arg(content.join(", "), ident(teachers)))
        && run(QStringLiteral("GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA %1 TO %2").arg(T, ident(teachers)))
        && run(closedYearsReadOnly(T, teachers));
    if (!granted)
        return abort(QStringLiteral("Non riesco a dare i permessi sulle tabelle"));

    // The pupils' schema, its views and functions, all the owner role's.
    const QString schemaOwner =
        run.value(QStringLiteral("SELECT pg_get_userbyid(nspowner) FROM pg_namespace WHERE nspname = %1").arg(literal(pupilSchemaFor(schema))))
            .toString();
    bool made = schemaOwner.isEmpty() ? run(QStringLiteral("CREATE SCHEMA %1 AUTHORIZATION %2").arg(P, ident(owner)))
              : schemaOwner != owner  ? run(QStringLiteral("ALTER SCHEMA %1 OWNER TO %2").arg(P, ident(owner)))
                                      : true;
    made = made && run(QStringLiteral("REVOKE ALL ON SCHEMA %1 FROM PUBLIC").arg(P))
        && run(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(P, ident(pupils)))
        && run(QStringLiteral("SET LOCAL ROLE %1").arg(ident(owner))) && run(inProgressFunction(T, P))
        && run(QStringLiteral("REVOKE ALL ON FUNCTION %1.in_corso(text, text) FROM PUBLIC").arg(P))
        && run(QStringLiteral("GRANT EXECUTE ON FUNCTION %1.in_corso(text, text) TO %2").arg(P, ident(pupils)));
    made = made && run(guardFunction(P)) && run(QStringLiteral("REVOKE ALL ON FUNCTION %1.guardia() FROM PUBLIC").arg(P));
    QStringList stored = {QStringLiteral("arrivo"), QStringLiteral("sub")};
    stored += scoreFields();
    for (const QString &t : classTables()) {
        const QString inserter = P + QLatin1Char('.') + ident(t + QStringLiteral("_scrive"));
        const QString updater = P + QLatin1Char('.') + ident(t + QStringLiteral("_aggiorna"));
        const QString store = P + QLatin1Char('.') + ident(pupilStoreView(t));
        made = made && run(classView(T, P, t)) && run(storeView(T, P, t)) && run(classInserter(T, P, t)) && run(classUpdater(P, t))
            && run(QStringLiteral("REVOKE ALL ON FUNCTION %1(), %2() FROM PUBLIC").arg(inserter, updater))
            && run(QStringLiteral("CREATE OR REPLACE TRIGGER scrive INSTEAD OF INSERT ON %1.%2 FOR EACH ROW EXECUTE FUNCTION %3()")
                       .arg(P, ident(t), inserter))
            && run(QStringLiteral("CREATE OR REPLACE TRIGGER aggiorna INSTEAD OF UPDATE ON %1.%2 FOR EACH ROW EXECUTE FUNCTION %3()")
                       .arg(P, ident(t), updater))
            // The guard runs only for the pupils' role: the teachers and the technician
            // change every record as the archive wants.
            && run(QStringLiteral("CREATE OR REPLACE TRIGGER guardia BEFORE UPDATE ON %1.%2 FOR EACH ROW WHEN (current_user = %3) "
                                  "EXECUTE FUNCTION %4.guardia()")
                       .arg(T, ident(t), literal(pupils), P))
            && run(QStringLiteral("REVOKE ALL ON %1.%2, %3 FROM PUBLIC, %4").arg(P, ident(t), store, ident(pupils)))
            && run(QStringLiteral("GRANT SELECT, INSERT, UPDATE ON %1.%2 TO %3").arg(P, ident(t), ident(pupils)))
            && run(QStringLiteral("GRANT SELECT, UPDATE (%1) ON %2 TO %3").arg(stored.join(", "), store, ident(pupils)));
    }
    made = made
        && run(QStringLiteral("CREATE OR REPLACE VIEW %1.risposte AS SELECT classe, data, prova, numero, risposta, giusta, quando "
                              "FROM %2.risposte WHERE %1.in_corso(classe, data) WITH CASCADED CHECK OPTION")
                   .arg(P, T))
        && run(QStringLiteral("REVOKE ALL ON %1.risposte FROM PUBLIC").arg(P))
        && run(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1.risposte TO %2").arg(P, ident(pupils)))
        && run(QStringLiteral("CREATE OR REPLACE VIEW %1.strumenti AS SELECT classe, data, voce, voce_brani, testo, carattere, "
                              "contrasto FROM %2.strumenti WHERE %1.in_corso(classe, data)")
                   .arg(P, T))
        && run(QStringLiteral("REVOKE ALL ON %1.strumenti FROM PUBLIC").arg(P))
        && run(QStringLiteral("GRANT SELECT ON %1.strumenti TO %2").arg(P, ident(pupils)));
    for (const QString &t : contentTables())
        made = made && run(QStringLiteral("CREATE OR REPLACE VIEW %1.%2 AS SELECT * FROM %3.%2").arg(P, ident(t), T))
            && run(QStringLiteral("REVOKE ALL ON %1.%2 FROM PUBLIC").arg(P, ident(t)))
            && run(QStringLiteral("GRANT SELECT ON %1.%2 TO %3").arg(P, ident(t), ident(pupils)));
    made = made && run(QStringLiteral("RESET ROLE"));
    if (!made)
        return abort(QStringLiteral("Non riesco a preparare le viste degli alunni"));

    // The database: only Quorvane's roles connect, nobody makes temporary tables or schemas.
    // Changed only when it differs, so that set-ups of several schemas at once never meet
    // on the database's row.
    const bool publicReaches = run.value(QStringLiteral("SELECT count(*) FROM pg_database d, aclexplode(coalesce(d.datacl, "
                                                        "acldefault('d', d.datdba))) a WHERE d.datname = current_database() "
                                                        "AND a.grantee = 0"))
                                   .toInt()
        > 0;
    if (publicReaches && !run(QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(ident(database))))
        return abort(QStringLiteral("Non riesco a chiudere il database agli altri utenti"));
    for (const QString &r : {pupils, teachers}) {
        if (!run.value(QStringLiteral("SELECT has_database_privilege(%1, current_database(), 'CONNECT')").arg(literal(r))).toBool()
            && !run(QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(ident(database), ident(r))))
            return abort(QStringLiteral("Non riesco a far entrare \"%1\" nel database").arg(r));
    }
    // A failed statement's text holds what the pupils typed: it stays out of the server's log.
    if (superuser) {
        const bool set = run.value(QStringLiteral("SELECT 1 FROM pg_db_role_setting s, pg_database d WHERE s.setdatabase = d.oid "
                                                  "AND d.datname = current_database() AND s.setrole = 0 AND "
                                                  "'log_min_error_statement=panic' = ANY (s.setconfig)"))
                             .isValid();
        if (!set && !run(QStringLiteral("ALTER DATABASE %1 SET log_min_error_statement = panic").arg(ident(database))))
            return abort(QStringLiteral("Non riesco a tenere fuori dal registro del server i dati degli alunni"));
    } else if (notices) {
        *notices << QStringLiteral("perché il registro del server non riporti i dati degli alunni, un amministratore esegua "
                                   "sudo -u postgres psql -c 'ALTER DATABASE %1 SET log_min_error_statement = panic'")
                        .arg(database);
    }
    // The database of an older set-up belonged to its login role, whose password every lab
    // computer holds: it passes to the owner role too.
    const bool ownerLogs =
        run.value(QStringLiteral("SELECT rolcanlogin AND NOT rolsuper FROM pg_roles WHERE rolname = %1").arg(literal(dbOwner))).toBool();
    if (ownerLogs && superuser) {
        if (!run(QStringLiteral("ALTER DATABASE %1 OWNER TO %2").arg(ident(database), ident(owner))))
            return abort(QStringLiteral("Non riesco a dare il database a \"%1\"").arg(owner));
        if (!formerOwners.contains(dbOwner))
            formerOwners << dbOwner;
    } else if (ownerLogs && notices) {
        *notices << QStringLiteral("il database \"%1\" è ancora dell'utente \"%2\", che può collegarsi: un amministratore esegua "
                                   "sudo -u postgres mkquorvane --server --collegamento 'dbname=%1'")
                        .arg(database, dbOwner);
    }
    if (!db.commit())
        return fail(db.lastError());
    formerOwners.removeAll(me);
    if (notices)
        for (const QString &old : std::as_const(formerOwners))
            *notices << QStringLiteral("le tabelle dell'utente \"%1\" sono passate a \"%2\" con tutti i risultati; \"%1\" non "
                                       "vi può più nulla. Se nessun altro lo usa, toglietegli l'accesso: sudo -u postgres "
                                       "psql -c 'ALTER ROLE %1 NOLOGIN'")
                            .arg(old, owner);
    return true;
}

} // namespace qv
