// Set-up tool: prepares the data folder (default "Perquorvane" in the current directory).
// Running it again never drops, empties or changes a class table.
//   mkquorvane [cartella]                    prepares the folder
//   mkquorvane --nuova-password [cartella]   removes a forgotten archive password
//   mkquorvane --server [cartella]           also makes or completes the results schema on the
//                                            server that cartella/server.ini names
//   mkquorvane --copia-sul-server [cartella] copies this computer's results file into that
//                                            server (one transaction; nothing doubled)
#include "archive/servercopy.h"
#include "archive/teacherpassword.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/privatefiles.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int removePassword(const QString &folder, QTextStream &out, QTextStream &err)
{
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

int copyToServer(const QString &folder, QTextStream &out, QTextStream &err)
{
    const qv::ServerConfig config = qv::ServerConfig::read(folder);
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
    auto server = qv::Database::connect(config, &e);
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
    const QString folder = args.isEmpty() ? QString::fromLatin1(qv::kDataFolder) : args.at(0);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (newPassword)
        return removePassword(folder, out, err);
    if (copy)
        return copyToServer(folder, out, err);
    QString error;
    QString notice;
    if (!qv::prepareDataFolder(folder, &error, &notice)) {
        err << "mkquorvane: " << error << Qt::endl;
        return 1;
    }
    if (!notice.isEmpty())
        out << "mkquorvane: " << notice << Qt::endl;
    if (server) {
        if (!qv::prepareServer(folder, &error)) {
            err << "mkquorvane: " << error << Qt::endl;
            return 1;
        }
        out << "mkquorvane: il " << qv::ServerConfig::read(folder).describe() << " è pronto" << Qt::endl;
    }
    out << "mkquorvane: cartella \"" << folder << "\" pronta" << Qt::endl;
    return 0;
}
