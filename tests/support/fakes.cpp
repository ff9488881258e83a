#include "support/fakes.h"

#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "storage/serverconfig.h"
#include "storage/serverguard.h"
#include "ui/screens/archiveentry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QImage>

namespace qv::test {

QString DataFolder::testServer()
{
    return qEnvironmentVariable("QUORVANE_PG");
}

namespace {
// A connection of the tests' own to the test server, for making and dropping schemas.
bool onTestServer(const QString &sql, QString *error)
{
    const QString name = QStringLiteral("quorvane-test-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name)
                                                       : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setConnectOptions(DataFolder::testServer() + QStringLiteral(" options='-c client_min_messages=warning'"));
        QSqlQuery q(db);
        ok = (db.isOpen() || db.open()) && q.exec(sql);
        if (!ok && error)
            *error = db.isOpen() ? q.lastError().text() : db.lastError().text();
    }
    return ok;
}
} // namespace

DataFolder::DataFolder()
{
    if (!dir_.isValid())
        return;
    if (!testServer().isEmpty()) {
        static int made = 0;
        schema_ = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        QFile ini(file(QString::fromLatin1(kServerFile)));
        if (!QDir().mkpath(path()) || !onTestServer(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema_), &error_)
            || !onTestServer(QStringLiteral("CREATE SCHEMA %1").arg(schema_), &error_)
            || !ini.open(QIODevice::WriteOnly)) {
            error_ = QStringLiteral("test server: ") + error_;
            return;
        }
        // The technician prepares the schema; the lab computer's server.ini names the pupils'
        // role and its views, as on a lab computer.
        const QString options = QStringLiteral(" options='-c search_path=%1 -c client_min_messages=warning'");
        if (!prepareServer(adminConfig(), &error_))
            return;
        // As "$user", public on a server: each role finds the first schema it may use.
        ini.write(QStringLiteral("[server]\n%1\nuser=%2\n%3\n")
                      .arg(testServer(), QString::fromLatin1(kPupilRole), options.arg(pupilSchemaFor(schema_) + ',' + schema_))
                      .toUtf8());
        ini.close();
    }
    ok_ = prepareDataFolder(path(), &error_);
    // A plain background, so screens that load it find one.
    QImage bg(64, 48, QImage::Format_RGB32);
    bg.fill(Qt::white);
    bg.save(file(QString::fromLatin1(kBackgroundFile)), "JPG");
}

DataFolder::~DataFolder()
{
    if (onServer())
        onTestServer(QStringLiteral("DROP SCHEMA IF EXISTS %1, %2 CASCADE").arg(schema_, pupilSchemaFor(schema_)), nullptr);
}

std::unique_ptr<Database> DataFolder::open(QString *error) const
{
    if (!onServer())
        return openPupils(error);
    QString e;
    auto db = Database::connect(teacherConfig(), &e, QString::fromLatin1(kTeacherPassword));
    if (error)
        *error = e;
    return db;
}

std::unique_ptr<Database> DataFolder::openPupils(QString *error) const
{
    QString e;
    auto db = openResults(path(), &e);
    if (error)
        *error = e;
    return db;
}

ServerConfig DataFolder::adminConfig() const
{
    return ServerConfig::parse(testServer() + QStringLiteral(" options='-c search_path=%1 -c client_min_messages=warning'").arg(schema_));
}

std::unique_ptr<Database> DataFolder::openAdmin() const
{
    QString e;
    return Database::connect(adminConfig(), &e);
}

ServerConfig DataFolder::teacherConfig() const
{
    return ServerConfig::read(path()).with(QStringLiteral("user"), QString::fromLatin1(kTeacherLogin));
}

QString DataFolder::file(const QString &name) const
{
    return QDir(path()).filePath(name);
}

ModelEnv::ModelEnv(const QString &table, Road road) : session(dialogs, clock, exit, nav, folder.path())
{
    QString e;
    session.state.dbrisultati = road == Road::Pupils ? folder.openPupils(&e) : folder.open(&e);
    session.state.tabellaclasse = table;
    if (session.state.dbrisultati)
        session.state.rsclasse = session.state.dbrisultati->openRecordset(table);
}

QString ModelEnv::addPupil(const QString &nome)
{
    Recordset &rs = *session.state.rsclasse;
    rs.addNew();
    rs.setField(QStringLiteral("nome"), nome);
    rs.setField(QStringLiteral("arrivo"), 1);
    rs.setField(QStringLiteral("sub"), 1);
    rs.update();
    rs.move(0, rs.lastModified());
    session.state.segnalibro = rs.bookmark();
    return session.state.segnalibro;
}

QVariant ModelEnv::stored(const QString &field)
{
    // Read as a teacher: the pupils' views leave a finished record's scores empty.
    if (!checker_)
        checker_ = folder.open();
    auto rs = checker_ ? checker_->openRecordset(session.state.tabellaclasse) : nullptr;
    if (!rs || !rs->setBookmark(session.state.segnalibro))
        return {};
    return rs->field(field);
}

AppEnv::AppEnv()
{
    app = std::make_unique<ui::Application>(dialogs, clock, exit, folder.path());
    app->session().setSpeech(&speech);
    ui::registerScreens(*app);
    ui::useLinkedArchive();
}

AppEnv::~AppEnv() = default;

} // namespace qv::test
