#include "support/fakes.h"

#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"

#include <QDir>
#include <QImage>

namespace qv::test {

DataFolder::DataFolder()
{
    ok_ = dir_.isValid() && prepareDataFolder(path(), &error_);
    // A plain background, so screens that load it find one.
    QImage bg(64, 48, QImage::Format_RGB32);
    bg.fill(Qt::white);
    bg.save(file(QString::fromLatin1(kBackgroundFile)), "JPG");
}

QString DataFolder::file(const QString &name) const
{
    return QDir(path()).filePath(name);
}

ModelEnv::ModelEnv(const QString &table) : session(dialogs, clock, exit, nav, folder.path())
{
    QString e;
    session.state.dbrisultati = Database::open(folder.file(QString::fromLatin1(kResultsFile)), &e);
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
    auto rs = session.state.dbrisultati->openRecordset(session.state.tabellaclasse);
    if (!rs || !rs->setBookmark(session.state.segnalibro))
        return {};
    return rs->field(field);
}

AppEnv::AppEnv()
{
    app = std::make_unique<ui::Application>(dialogs, clock, exit, folder.path());
    app->session().setSpeech(&speech);
    ui::registerScreens(*app);
}

AppEnv::~AppEnv() = default;

} // namespace qv::test
