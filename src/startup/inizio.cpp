#include "startup/inizio.h"

#include "startup/datafolder.h"
#include "storage/classmap.h"
#include "storage/privatefiles.h"
#include "storage/progress.h"
#include "storage/schema.h"
#include "storage/serverconfig.h"

namespace qv {

bool InizioModel::load(QString *error)
{
    Modquorv &st = s_.state;
    st.tappa = 0;
    // A reload opens the database anew: the old cursor goes first.
    st.rsclasse.reset();
    st.dbrisultati.reset();
    // Results, copies and the server's settings are for this account alone, also those an
    // earlier version left readable to others.
    tightenFolder(s_.dataDir());
    const ServerConfig server = ServerConfig::read(s_.dataDir());
    if (server.state() != ServerConfig::State::Absent)
        return loadServer(server, error);
    QString e;
    const QString file = s_.dataFile(QString::fromLatin1(kResultsFile));
    auto readOnly = [&] {
        if (error)
            *error = QStringLiteral("Non posso registrare i risultati delle prove.\n%1\n\n"
                                    "Togli la protezione dalla scrittura (al file, alla sua cartella o al disco), "
                                    "poi avvia di nuovo il programma.")
                         .arg(e);
        return false;
    };
    if (!Database::filesWritable(file, &e))
        return readOnly();
    auto db = Database::open(file, &e);
    if (db && !checkResultsSchema(*db, &e))
        db.reset();
    if (!db) {
        if (error)
            *error = QStringLiteral("Non riesco ad aprire l'archivio dei risultati.\n%1\n\n"
                                    "Prepara la cartella dei dati con il programma mkquorvane, poi riprova.")
                         .arg(e);
        return false;
    }
    // Every pupil's answers are stored as they come and the archive deletes and imports:
    // a results file that takes no writes cannot be used at all.
    if (!db->canWrite(&e))
        return readOnly();
    // The teacher's tables of a file made by an older version. Should this fail (a disk
    // just filled up), the pupils can still work; the archive reports it where it needs them.
    ensureArchiveTables(*db, &e);
    st.dbrisultati = std::move(db);
    return true;
}

// The results on the server of server.ini. Whatever goes wrong, the program stops with
// what to check: a lab must never split its results between the server and a file.
bool InizioModel::loadServer(const ServerConfig &server, QString *error)
{
    auto stop = [&](const QString &what, const QString &check) {
        if (error)
            *error = QStringLiteral("Non posso usare l'archivio dei risultati sul server.\n%1\n\n%2").arg(what, check);
        return false;
    };
    const QString restart = QStringLiteral("poi avvia di nuovo il programma.");
    if (server.state() == ServerConfig::State::Invalid)
        return stop(server.error(), QStringLiteral("Correggi il file (come si scrive è spiegato nel README), ") + restart);
    QString e;
    auto db = Database::connect(server, &e);
    // The connection's message says the cause and what to do.
    if (!db)
        return stop(e, QStringLiteral("Poi avvia di nuovo il programma."));
    if (!checkResultsSchema(*db, &e))
        return stop(QStringLiteral("Il %1 non è completo: %2.").arg(db->where(), e),
                    QStringLiteral("Prepara il database con il programma \"mkquorvane --server\", ") + restart);
    if (!db->canWrite(&e))
        return stop(e, QStringLiteral("Dai a questo utente il permesso di scrivere nelle tabelle dei risultati, oppure "
                                      "nomina in \"%1\" un utente che lo abbia, ")
                           .arg(server.file())
                           + restart);
    s_.state.dbrisultati = std::move(db);
    return true;
}

void InizioModel::chooseClass(int index)
{
    if (index < 0 || index >= kClassCount)
        return;
    indiceclasse_ = qint16(index);
    s_.state.nomeclasse = classCaption(index);
    SCELTACLASSE();
}

bool InizioModel::SCELTACLASSE()
{
    Modquorv &st = s_.state;
    st.tabellaclasse = classTable(indiceclasse_);
    st.rsclasse.reset();
    if (!st.dbrisultati)
        return false;
    st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
    return st.rsclasse != nullptr;
}

QString InizioModel::archiveClass()
{
    if (s_.state.nomeclasse.isEmpty())
        s_.state.nomeclasse = QStringLiteral("prima-A");
    return s_.state.nomeclasse;
}

Screen screenForArrivo(int arrivo)
{
    const StageCodes *s = stageForArrivo(arrivo);
    return s ? s->screen : Screen::FLINIZIO;
}

} // namespace qv
