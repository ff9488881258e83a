// Set-up tool: prepares the data folder (default "Perquorvane" in the current directory).
// Running it again never drops, empties or changes a class table.
//   mkquorvane [cartella]                    prepares the folder
//   mkquorvane --nuova-password [cartella]   removes a forgotten archive password
//   mkquorvane --server [cartella]           also makes or completes the results schema, its
//                                            roles and grants on the server that
//                                            cartella/server.ini names
//   mkquorvane --server --collegamento 'dbname=quorvane'
//                                            the same on the connection named (the technician's,
//                                            e.g. through sudo -u postgres); makes the database
//                                            if it is missing; no data folder
//   mkquorvane --copia-sul-server [--utente NOME] [cartella]
//                                            copies this computer's results file into that
//                                            server (one transaction; nothing doubled), as the
//                                            teacher NOME, whose password is read from the terminal
#include "archive/servercopy.h"
#include "storage/teacherpassword.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/privatefiles.h"
#include "storage/schema.h"

#include <QSqlError>

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

int removePassword(const QString &folder, QTextStream &out, QTextStream &err)
{
    if (qv::ServerConfig::read(folder).state() != qv::ServerConfig::State::Absent) {
        err << "mkquorvane: non ho tolto nulla: i risultati sono sul server che nomina \"" << qv::kServerFile
            << "\", dove ogni insegnante entra con il proprio utente e la propria password, controllati dal server. "
               "Il tecnico la rimette, sul server, con  sudo -u postgres psql -c '\\password NOMEUTENTE'  (al posto di "
               "NOMEUTENTE il nome utente dell'insegnante)."
            << Qt::endl;
        return 1;
    }
    QString e;
    auto db = qv::openResults(folder, &e);
    if (!db || !qv::TeacherPassword::remove(*db, &e)) {
        err << "mkquorvane: non ho tolto la password: " << e << Qt::endl;
        return 1;
    }
    out << "mkquorvane: la password dell'archivio è stata tolta; i risultati non sono cambiati. "
           "Alla prossima apertura dell'archivio l'insegnante ne sceglierà una nuova."
        << Qt::endl;
    return 0;
}

// A password typed on the terminal without showing it, or the first line of the input.
QString readPassword(const QString &prompt, QTextStream &err)
{
    const bool terminal = isatty(STDIN_FILENO);
    termios before{};
    if (terminal && tcgetattr(STDIN_FILENO, &before) == 0) {
        termios quiet = before;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    err << prompt << Qt::flush;
    char line[1024] = {};
    const bool got = std::fgets(line, sizeof line, stdin) != nullptr;
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        err << Qt::endl;
    }
    QString password = got ? QString::fromLocal8Bit(line) : QString();
    while (password.endsWith(QLatin1Char('\n')) || password.endsWith(QLatin1Char('\r')))
        password.chop(1);
    std::fill(std::begin(line), std::end(line), '\0');
    return password;
}

int copyToServer(const QString &folder, const QString &teacher, QTextStream &out, QTextStream &err)
{
    qv::ServerConfig config = qv::ServerConfig::read(folder);
    if (config.state() == qv::ServerConfig::State::Absent) {
        err << "mkquorvane: nella cartella \"" << folder << "\" non c'è il file \"" << qv::kServerFile
            << "\" che nomina il server: non ho copiato nulla." << Qt::endl;
        return 1;
    }
    QString e;
    auto local = qv::Database::open(QDir(folder).filePath(QString::fromLatin1(qv::kResultsFile)), &e);
    if (!local || !qv::checkResultsSchema(*local, &e)) {
        err << "mkquorvane: non ho copiato nulla: " << e << Qt::endl;
        return 1;
    }
    QString password;
    if (!teacher.isEmpty()) {
        config = config.with(QStringLiteral("user"), teacher);
        password = readPassword(QStringLiteral("Password di \"%1\" sul server: ").arg(teacher), err);
    }
    auto server = qv::Database::connect(config, &e, password);
    if (!server || !qv::checkResultsSchema(*server, &e)) {
        err << "mkquorvane: non ho copiato nulla: " << e;
        if (server)
            err << " (" << config.describe() << "; prepara il server una volta con mkquorvane --server)";
        err << Qt::endl;
        return 1;
    }
    const qv::ExchangeResult r = qv::copiaSulServer(*server, *local);
    (r.ok ? out : err) << "mkquorvane: " << r.message << Qt::endl;
    return r.ok ? 0 : 1;
}

// The set-up of the server on the technician's connection; the database is made first when
// the server has none of that name.
int prepareNamedServer(const QString &connection, QTextStream &out, QTextStream &err)
{
    const qv::ServerConfig config = qv::ServerConfig::parse(connection, QStringLiteral("--collegamento"));
    if (config.state() != qv::ServerConfig::State::Ready) {
        err << "mkquorvane: " << config.error() << Qt::endl;
        return 1;
    }
    const QString name = config.value(QStringLiteral("dbname")).isEmpty() ? QStringLiteral("quorvane") : config.value(QStringLiteral("dbname"));
    const qv::ServerConfig named = config.with(QStringLiteral("dbname"), name);
    QString e;
    if (!qv::Database::connect(named, &e) && (e.contains(QLatin1String("does not exist")) || e.contains(QLatin1String("non esiste")))) {
        auto cluster = qv::Database::connect(config.with(QStringLiteral("dbname"), QStringLiteral("postgres")), &e);
        QString quoted = name;
        quoted.replace('"', QStringLiteral("\"\""));
        QSqlQuery q(cluster ? cluster->sql() : QSqlDatabase());
        if (!cluster || !q.exec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0").arg(quoted))) {
            err << "mkquorvane: non riesco a creare il database \"" << name << "\": " << (cluster ? q.lastError().text() : e) << Qt::endl;
            return 1;
        }
        out << "mkquorvane: ho creato il database \"" << name << "\"" << Qt::endl;
    }
    QStringList notices;
    if (!qv::prepareServer(named, &e, &notices)) {
        err << "mkquorvane: " << e << Qt::endl;
        return 1;
    }
    for (const QString &n : std::as_const(notices))
        out << "mkquorvane: " << n << Qt::endl;
    out << "mkquorvane: il " << named.describe() << " è pronto" << Qt::endl;
    return 0;
}

// The value after `option` in args, both removed; empty when absent.
QString takeValue(QStringList &args, const QString &option)
{
    const int at = int(args.indexOf(option));
    if (at < 0 || at + 1 >= args.size())
        return {};
    const QString v = args.at(at + 1);
    args.remove(at, 2);
    return v;
}

} // namespace

int main(int argc, char **argv)
{
    // What it makes holds pupils' data: for this account alone, whatever the session's umask.
    qv::privateUmask();
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool newPassword = args.removeAll(QStringLiteral("--nuova-password")) > 0;
    const bool server = args.removeAll(QStringLiteral("--server")) > 0;
    const bool copy = args.removeAll(QStringLiteral("--copia-sul-server")) > 0;
    const QString connection = takeValue(args, QStringLiteral("--collegamento"));
    const QString teacher = takeValue(args, QStringLiteral("--utente"));
    const QString folder = args.isEmpty() ? QString::fromLatin1(qv::kDataFolder) : args.at(0);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (newPassword)
        return removePassword(folder, out, err);
    if (copy)
        return copyToServer(folder, teacher, out, err);
    if (server && !connection.isEmpty())
        return prepareNamedServer(connection, out, err);
    QString error;
    QString notice;
    if (!qv::prepareDataFolder(folder, &error, &notice)) {
        err << "mkquorvane: " << error << Qt::endl;
        return 1;
    }
    if (!notice.isEmpty())
        out << "mkquorvane: " << notice << Qt::endl;
    if (server) {
        QStringList notices;
        if (!qv::prepareServer(folder, &error, &notices)) {
            err << "mkquorvane: " << error << Qt::endl;
            return 1;
        }
        for (const QString &n : std::as_const(notices))
            out << "mkquorvane: " << n << Qt::endl;
        out << "mkquorvane: il " << qv::ServerConfig::read(folder).describe() << " è pronto" << Qt::endl;
    }
    out << "mkquorvane: cartella \"" << folder << "\" pronta" << Qt::endl;
    return 0;
}
