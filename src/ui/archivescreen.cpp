#include "ui/archivescreen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace qv::ui {

ArchiveScreen::~ArchiveScreen() = default;

namespace {
ArchiveMaker linkedMaker = nullptr;

// Only where the program itself lies, never a folder a user may write to: the build's
// folder, or the library folder of the installation (QUORVANE_MODULE_DIR, relative to the
// program's folder).
QStringList moduleCandidates()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    QStringList out{programDir.filePath(QString::fromLatin1(kArchiveModule))};
#ifdef QUORVANE_MODULE_DIR
    out << QDir::cleanPath(
        programDir.filePath(QStringLiteral(QUORVANE_MODULE_DIR "/") + QString::fromLatin1(kArchiveModule)));
#endif
    return out;
}

ArchiveMaker moduleMaker(QString *error)
{
    static ArchiveMaker loaded = nullptr;
    if (loaded)
        return loaded;
    QString why;
    for (const QString &path : moduleCandidates()) {
        if (!QFileInfo(path).isFile())
            continue;
        // A library QLibrary loaded stays loaded when the object goes: the archive's screens
        // live on after the archive closes.
        QLibrary module(path);
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        loaded = reinterpret_cast<ArchiveMaker>(module.resolve(kArchiveEntry));
        if (loaded)
            return loaded;
        why = module.errorString();
        break;
    }
    if (error)
        *error =
            QStringLiteral(
                "Non riesco ad aprire l'archivio dei risultati: manca una parte del programma (%1)%2.\n\n"
                "Installa di nuovo il programma.")
                .arg(QString::fromLatin1(kArchiveModule),
                     why.isEmpty() ? QString() : QStringLiteral(": ") + why);
    return nullptr;
}
} // namespace

void setArchiveMaker(ArchiveMaker maker)
{
    linkedMaker = maker;
}

ArchiveScreen *makeArchiveScreen(Application &app, QString *error)
{
    const ArchiveMaker maker = linkedMaker ? linkedMaker : moduleMaker(error);
    return maker ? maker(app) : nullptr;
}

} // namespace qv::ui
