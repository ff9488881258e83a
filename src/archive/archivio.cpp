#include "archive/archivio.h"

#include "archive/cestino.h"
#include "archive/csvexport.h"
#include "archive/exchange.h"
#include "storage/strumenti.h"
#include "storage/teacherpassword.h"
#include "insight/questions.h"
#include "archive/testoaiuto.h"
#include "storage/datafiles.h"
#include "storage/classmap.h"
#include "storage/privatefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace qv {

namespace {
constexpr const char *kLetters = "ABCDEFGHIL";
} // namespace

QString archiveCaption(int index)
{
    if (index < 0 || index >= kClassCount)
        return {};
    if (index == 0)
        return QStringLiteral("prima A");
    return QStringLiteral("prima  ") + QChar::fromLatin1(kLetters[index]);
}

int classIndexOfTable(const QString &table)
{
    for (int i = 0; i < kClassCount; ++i)
        if (classTable(i) == table)
            return i;
    return -1;
}

int classIndexOfCaption(const QString &caption)
{
    const QString t = caption.trimmed();
    if (t.isEmpty())
        return -1;
    const QChar c = t.back().toUpper();
    if (c == QLatin1Char('J'))
        return 8; // the table letter of class I
    for (int i = 0; i < kClassCount; ++i)
        if (c == QLatin1Char(kLetters[i]))
            return i;
    return -1;
}

ArchivioModel::ArchivioModel(Session &s) : s_(s), testoaiuto_(qv::testoaiuto()) {}

void ArchivioModel::openFromStart(const QString &nomeclasse)
{
    // Every way in shows the current year.
    if (s_.state.dbannocorrente) {
        s_.state.rsclasse.reset();
        s_.state.dbrisultati = std::move(s_.state.dbannocorrente);
    }
    annoVisto_ = 0;
    pastScratch_.reset();
    int index = classIndexOfTable(s_.state.tabellaclasse);
    if (index < 0)
        index = classIndexOfCaption(nomeclasse);
    if (index < 0)
        index = 0;
    indiceclasse_ = index;
    caption_ = classIndexOfCaption(nomeclasse) == index ? nomeclasse : archiveCaption(index);
    s_.state.nomeclasse = caption_;
    scegliclasse();
    // A copy of the results that failed at a start of the program is told to the teacher here.
    if (s_.state.dbrisultati) {
        if (const QString problem = pendingBackupProblem(*s_.state.dbrisultati); !problem.isEmpty()) {
            s_.dialogs.alert(problem);
            clearBackupProblem(*s_.state.dbrisultati);
        }
    }
    offroCancellazione();
}

void ArchivioModel::chooseClass(int index)
{
    if (index < 0 || index >= kClassCount)
        return;
    indiceclasse_ = index;
    caption_ = archiveCaption(index);
    s_.state.nomeclasse = caption_;
    scegliclasse();
}

bool ArchivioModel::scegliclasse()
{
    s_.state.tabellaclasse = classTable(indiceclasse_);
    const bool ok = matrice(s_.state, valori_);
    strumenti_ = s_.state.dbrisultati ? classTools(*s_.state.dbrisultati, s_.state.tabellaclasse)
                                      : QHash<QString, PupilTools>();
    rigascelta_ = -1;
    datascelta_.clear();
    if (numalunni() > 0)
        select(0);
    if (changed)
        changed();
    if (!ok)
        s_.dialogs.alert(QStringLiteral("Non riesco a leggere la tabella \"%1\" della classe.").arg(s_.state.tabellaclasse));
    return ok;
}

void ArchivioModel::reload()
{
    scegliclasse();
}

void ArchivioModel::select(int listIndex)
{
    if (listIndex < 0 || listIndex >= numalunni())
        return;
    rigascelta_ = listIndex;
    datascelta_ = valori_.cell(listIndex + 1, 2);
}

PupilTools ArchivioModel::strumenti(int r) const
{
    return strumenti_.value(valori_.cell(r, 2));
}

QString ArchivioModel::nomeInElenco(int r) const
{
    const QString nome = valori_.cell(r, 1);
    return strumenti(r).any() ? nome + QStringLiteral("  (con strumenti)") : nome;
}

void ArchivioModel::strumentiAlunno()
{
    if (refusePast())
        return;
    if (!hasPupil() || !s_.state.dbrisultati) {
        s_.dialogs.alert(QStringLiteral("Scegli prima un alunno nell'elenco."));
        return;
    }
    const int r = rigascelta_ + 1;
    const auto chosen = s_.dialogs.askTools(valori_.cell(r, 1), strumenti(r));
    if (!chosen)
        return;
    QString e;
    if (!writeTools(*s_.state.dbrisultati, s_.state.tabellaclasse, datascelta_, *chosen, &e)) {
        s_.dialogs.alert(QStringLiteral("Non sono riuscito a registrare gli strumenti compensativi: l'archivio è "
                                        "rimasto com'era.\n(%1)")
                             .arg(e));
        return;
    }
    strumenti_ = classTools(*s_.state.dbrisultati, s_.state.tabellaclasse);
    if (changed)
        changed();
}

void ArchivioModel::elimino()
{
    if (refusePast())
        return;
    Recordset *rs = s_.state.rsclasse.get();
    if (!hasPupil() || !rs) {
        s_.dialogs.alert(QStringLiteral("Non c'è nessun risultato selezionato da cancellare."));
        return;
    }
    rs->setIndex(QStringLiteral("data"));
    rs->seek(QStringLiteral("="), datascelta_);
    const bool found = !rs->noMatch();
    if (!s_.dialogs.ask(QStringLiteral("Sei sicuro di voler cancellare?"), Dialogs::Buttons::YesNo))
        return;
    if (!found) {
        s_.dialogs.alert(QStringLiteral("Spiacente, non trovo il record da cancellare"));
        return;
    }
    // Into the recycle bin, from which "Recupero i risultati eliminati" can bring it back.
    QString e;
    if (!s_.state.dbrisultati
        || !moveToBin(*s_.state.dbrisultati, s_.state.tabellaclasse, rs->bookmark().toLongLong(), s_.clock.now(), &e)) {
        s_.dialogs.alert(QStringLiteral("Non sono riuscito a cancellare il risultato: l'archivio è rimasto com'era."));
        return;
    }
    reload();
}

QString ArchivioModel::startFolder() const
{
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir())
        return lastFolder_;
    const QString user = qEnvironmentVariable("USER");
    QStringList candidates;
    if (!user.isEmpty())
        candidates << QStringLiteral("/media/") + user << QStringLiteral("/run/media/") + user;
    candidates << QStringLiteral("/media") << QStringLiteral("/run/media") << QStringLiteral("/mnt");
    for (const QString &c : candidates)
        if (QFileInfo(c).isDir())
            return c;
    return QDir::homePath();
}

QString ArchivioModel::choosePdfFile(const QString &name)
{
    QString folder = lastFolder_;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString file = s_.dialogs.chooseSaveFile(
        QStringLiteral("Non c'è nessuna stampante: scegli dove salvare la stampa (PDF)"), QDir(folder).filePath(name),
        QStringLiteral("Documenti PDF (*.pdf)"));
    if (!file.isEmpty())
        lastFolder_ = QFileInfo(file).absolutePath();
    return file;
}

QString ArchivioModel::askFolder(const QString &title)
{
    if (!s_.dialogs.ask(testoaiuto_, Dialogs::Buttons::OkCancel))
        return {};
    const QString folder = s_.dialogs.chooseFolder(title, startFolder());
    if (!folder.isEmpty())
        lastFolder_ = folder;
    return folder;
}

void ArchivioModel::CreaTabellaEXP()
{
    if (refusePast())
        return;
    const QString folder = askFolder(QStringLiteral("Scegli il disco (la cartella) su cui esportare la classe"));
    if (folder.isEmpty())
        return;
    if (!s_.state.dbrisultati) {
        s_.dialogs.alert(QStringLiteral("L'archivio dei risultati non è aperto: non ho esportato nulla."));
        return;
    }
    const Dialogs::DiskSecret secret = s_.dialogs.askDiskPassphrase(
        QStringLiteral("Scegli una parola d'ordine per cifrare l'esportazione (almeno %1 caratteri) e scrivila due "
                       "volte. Servirà per importare la classe sull'altro computer: dilla a voce, non scriverla sul "
                       "disco.\nSe l'altro computer ha una versione precedente del programma, che non legge i dischi "
                       "cifrati, puoi esportare senza cifrare: chi trovasse il disco potrebbe però leggerlo.")
            .arg(kPassphraseMinLength),
        true);
    const QString templ = s_.dataFile(QString::fromLatin1(kExportFile));
    ExchangeResult r;
    switch (secret.choice) {
    case Dialogs::DiskSecret::Choice::Cancel:
        return;
    case Dialogs::DiskSecret::Choice::Plain:
        r = esportaInChiaro(*s_.state.dbrisultati, s_.state.tabellaclasse, folder, templ);
        break;
    case Dialogs::DiskSecret::Choice::Sealed:
        if (!passphraseAcceptable(secret.passphrase)) {
            s_.dialogs.alert(QStringLiteral("La parola d'ordine deve avere almeno %1 caratteri: non ho esportato nulla.")
                                 .arg(kPassphraseMinLength));
            return;
        }
        if (secret.passphrase != secret.repeated) {
            s_.dialogs.alert(QStringLiteral("Le due parole d'ordine scritte non sono uguali: non ho esportato nulla. "
                                            "Riprova con ESPORTO."));
            return;
        }
        r = esportaSigillato(*s_.state.dbrisultati, s_.state.tabellaclasse, folder, secret.passphrase, templ);
        break;
    }
    s_.dialogs.alert(r.message);
}

void ArchivioModel::importo()
{
    if (refusePast())
        return;
    const QString folder = askFolder(QStringLiteral("Scegli il disco (la cartella) da cui importare nella classe"));
    if (folder.isEmpty())
        return;
    if (!s_.state.dbrisultati) {
        s_.dialogs.alert(QStringLiteral("L'archivio dei risultati non è aperto: non ho importato nulla."));
        return;
    }
    const QString templ = s_.dataFile(QString::fromLatin1(kExportFile));
    const DiskInFolder disk = diskInFolder(folder);
    QString passphrase;
    if (disk.sealed) {
        const Dialogs::DiskSecret secret = s_.dialogs.askDiskPassphrase(
            QStringLiteral("L'esportazione sul disco è cifrata: scrivi la parola d'ordine scelta quando la classe è "
                           "stata esportata."),
            false);
        if (secret.choice != Dialogs::DiskSecret::Choice::Sealed)
            return;
        passphrase = secret.passphrase;
    }
    auto import = [&](Database &into, const IntoYear &year) {
        return disk.sealed ? importaSigillato(into, s_.state.tabellaclasse, disk.file, passphrase, templ, year)
                           : importaClasse(into, s_.state.tabellaclasse, disk.file, templ, year);
    };
    ExchangeResult r = import(*s_.state.dbrisultati, {});
    // A disk of a year closed here may go into that year, at the teacher's choice.
    if (const auto y = r.otherYear ? years() : nullptr) {
        const int other = r.otherYear;
        if (auto past = y->openForImport(other)) {
            if (!s_.dialogs.ask(QStringLiteral("%1\n\nL'anno scolastico %2 è chiuso e si trova fra gli \"Anni precedenti\". "
                                               "Importo i risultati del disco nella %3 dell'anno scolastico %2?")
                                    .arg(r.message, yearCaption(other), caption_.simplified()),
                                Dialogs::Buttons::YesNo))
                return;
            r = import(*past, IntoYear{other, s_.state.dbrisultati.get()});
            if (r.ok)
                r.message += QStringLiteral("\nI risultati sono nell'anno scolastico %1, fra gli \"Anni precedenti\".")
                                 .arg(yearCaption(other));
        }
    }
    if (r.ok && !disk.older.isEmpty())
        r.message += QStringLiteral("\nSul disco c'è anche il file \"%1\", di un'esportazione più vecchia: non l'ho "
                                    "importato.")
                         .arg(QFileInfo(disk.older).fileName());
    if (r.ok)
        reload();
    s_.dialogs.alert(r.message);
}

} // namespace qv

namespace qv {

void ArchivioModel::esportoCsv()
{
    const QString folder = s_.dialogs.chooseFolder(
        QStringLiteral("Scegli la cartella in cui salvare il quadro della classe"), startFolder());
    if (folder.isEmpty())
        return;
    lastFolder_ = folder;
    // Two files: the class table with the levels, and the per-question analysis.
    auto fileName = [&](const char *what) {
        QString name = QStringLiteral("%1 %2.csv").arg(QString::fromUtf8(what), caption_.simplified());
        name.replace(QLatin1Char('/'), QLatin1Char('-'));
        return QDir(folder).filePath(name);
    };
    const QString path = fileName("Quadro");
    const QString pathDomande = fileName("Domande");
    std::vector<insight::PupilRow> rows;
    insight::QuestionAnalysis domande;
    if (s_.state.dbrisultati) {
        insight::readClass(*s_.state.dbrisultati, s_.state.tabellaclasse, rows, nullptr);
        insight::questionAnalysis(*s_.state.dbrisultati, s_.state.tabellaclasse, domande, nullptr);
    }
    auto save = [](const QString &file, const QByteArray &bytes) {
        QSaveFile f(file);
        return f.open(QIODevice::WriteOnly) && makePrivate(f) && f.write(bytes) == bytes.size() && f.commit();
    };
    QString failed;
    if (!save(path, quadroCsv(valori_, insight::classLevels(rows))))
        failed = path;
    else if (!save(pathDomande, domandeCsv(domande)))
        failed = pathDomande;
    if (failed.isEmpty())
        s_.dialogs.alert(QStringLiteral("Ho salvato il quadro della classe (%1) nel file\n\"%2\"\n"
                                        "e l'analisi delle domande nel file\n\"%3\".")
                             .arg(numalunni() == 1 ? QStringLiteral("1 alunno") : QStringLiteral("%1 alunni").arg(numalunni()),
                                  QDir::toNativeSeparators(path), QDir::toNativeSeparators(pathDomande)));
    else
        s_.dialogs.alert(QStringLiteral("Non riesco a scrivere il file \"%1\": controlla la cartella scelta e riprova.")
                             .arg(QDir::toNativeSeparators(failed)));
}

} // namespace qv

namespace qv {

QList<BackupInfo> ArchivioModel::copie() const
{
    return listBackups(s_.dataFile(QString::fromLatin1(kBackupFolder)));
}

void ArchivioModel::ripristino(const BackupInfo &copia)
{
    if (refusePast())
        return;
    if (!s_.state.dbrisultati)
        return;
    if (copia.damaged) {
        s_.dialogs.alert(QStringLiteral("Questa copia è danneggiata e non si può ripristinare.\n%1").arg(copia.problem));
        return;
    }
    if (!s_.dialogs.ask(QStringLiteral("Vuoi rimettere i risultati di tutte le classi come erano il %1?\n"
                                       "Prima faccio una copia dei risultati di adesso, così si potrà tornare indietro.")
                            .arg(copia.when.toString(QStringLiteral("dd/MM/yyyy 'alle' hh:mm:ss"))),
                        Dialogs::Buttons::YesNo))
        return;
    // Cursors on the old rows go first; the reload opens the class anew on the restored ones.
    s_.state.rsclasse.reset();
    const auto y = years();
    const RestoreResult r = restoreBackup(*s_.state.dbrisultati, copia.file, s_.dataFile(QString::fromLatin1(kBackupFolder)),
                                          s_.clock.now(), y ? y->closedRecords() : QList<PupilKey>());
    reload();
    s_.dialogs.alert(r.message);
}

void ArchivioModel::cambioPassword()
{
    if (refusePast())
        return;
    changeArchivePassword(s_);
}

QList<DeletedResult> ArchivioModel::cestino() const
{
    return s_.state.dbrisultati ? binContents(*s_.state.dbrisultati) : QList<DeletedResult>();
}

void ArchivioModel::recupero(qint64 id)
{
    if (refusePast())
        return;
    if (!s_.state.dbrisultati)
        return;
    QString m;
    if (restoreFromBin(*s_.state.dbrisultati, id, &m))
        reload();
    s_.dialogs.alert(m);
}

void ArchivioModel::cancelloPerSempre(qint64 id)
{
    if (refusePast())
        return;
    if (!s_.state.dbrisultati)
        return;
    Database &db = *s_.state.dbrisultati;
    QString nome;
    for (const DeletedResult &d : cestino())
        if (d.id == id)
            nome = d.nome;
    if (nome.isEmpty()) {
        s_.dialogs.alert(QStringLiteral("Questo risultato non è più nel cestino."));
        return;
    }
    if (!s_.dialogs.ask(QStringLiteral("Vuoi cancellare per sempre il risultato di %1, con le risposte e gli strumenti compensativi, "
                                       "dall'archivio e da tutte le copie di sicurezza?\nNon si potrà più recuperare, e "
                                       "non tornerà né importando un disco né ripristinando una copia.")
                            .arg(nome),
                        Dialogs::Buttons::YesNo))
        return;
    DeletedResult erased;
    QString e;
    if (!eraseForGood(db, id, s_.clock.now(), &erased, &e)) {
        s_.dialogs.alert(QStringLiteral("Non sono riuscito a cancellare %1: l'archivio è rimasto com'era.\n(%2)").arg(nome, e));
        return;
    }
    reload();
    QString m = QStringLiteral("Il risultato di %1 è stato cancellato per sempre dall'archivio").arg(erased.nome);
    if (db.onServer()) {
        m += QStringLiteral(" sul server. Restano però le copie di sicurezza del server stesso (per esempio quelle fatte "
                            "con pg_dump): chiedi a chi cura il server di cancellarlo anche da quelle.");
    } else {
        const CopiesErased c = eraseFromCopies(s_.dataFile(QString::fromLatin1(kBackupFolder)), erased.data);
        m += c.rewritten == 0 ? QStringLiteral("; nessuna copia di sicurezza lo conteneva.")
            : c.rewritten == 1 ? QStringLiteral(" e dalla copia di sicurezza che lo conteneva.")
                               : QStringLiteral(" e dalle %1 copie di sicurezza che lo contenevano.").arg(c.rewritten);
        if (c.removed == 1)
            m += QStringLiteral("\nUna copia danneggiata, che non si poteva pulire, è stata cancellata.");
        else if (c.removed > 1)
            m += QStringLiteral("\n%1 copie danneggiate, che non si potevano pulire, sono state cancellate.").arg(c.removed);
        if (!c.failed.isEmpty())
            m += QStringLiteral("\nATTENZIONE: non sono riuscito a toglierlo da: %1. Riprova; se non basta, cancella "
                                "quelle copie dalla cartella \"copie\".")
                     .arg(c.failed.join(QStringLiteral("; ")));
    }
    m += QStringLiteral("\nSe era stato esportato su un disco, cancella anche quell'esportazione.");
    s_.dialogs.alert(m);
}

void ArchivioModel::svuotoCestino()
{
    if (refusePast())
        return;
    if (!s_.state.dbrisultati)
        return;
    const qsizetype n = cestino().size();
    if (n == 0) {
        s_.dialogs.alert(QStringLiteral("Il cestino è vuoto."));
        return;
    }
    const bool one = n == 1;
    if (!s_.dialogs.ask(one ? QStringLiteral("Vuoi cancellare per sempre il risultato che è nel cestino? Non si potrà "
                                             "più recuperare.")
                            : QStringLiteral("Vuoi cancellare per sempre i %1 risultati che sono nel cestino? Non si "
                                             "potranno più recuperare.")
                                  .arg(n),
                        Dialogs::Buttons::YesNo))
        return;
    QString e;
    // What is left of them: the copies made before, until thirty newer ones push them out
    // (a copy is made at a start only when the results changed). A server has no such copies.
    const QString left = one ? QStringLiteral("Il risultato che conteneva resta") : QStringLiteral("I risultati che conteneva restano");
    if (emptyBin(*s_.state.dbrisultati, &e))
        s_.dialogs.alert(
            s_.state.dbrisultati->onServer()
                ? QStringLiteral("Il cestino è stato svuotato. %1 soltanto nelle copie del database che sono state fatte "
                                 "prima sul server, se ce ne sono.")
                      .arg(left)
                : QStringLiteral("Il cestino è stato svuotato. %1 soltanto nelle copie di sicurezza fatte prima (nella "
                                 "cartella \"copie\"), finché non se ne saranno fatte altre %2: si tengono le %2 copie "
                                 "più recenti, e il programma ne fa una nuova quando si avvia solo se i risultati sono "
                                 "cambiati. Per togliere subito un alunno anche da quelle, usa \"Cancello per sempre, anche dalle "
                                 "copie\" prima di svuotare il cestino.")
                      .arg(left)
                      .arg(kBackupsKept));
    else
        s_.dialogs.alert(QStringLiteral("Non sono riuscito a svuotare il cestino: è rimasto com'era.\n(%1)").arg(e));
}

} // namespace qv
