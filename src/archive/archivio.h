// The archive's logic (screen FLstampa): which class it shows and under which caption,
// the result matrix and the selected pupil, deletion, export and import. The screen
// only forwards clicks here and redraws from this state.
#pragma once

#include "archive/annoscolastico.h"
#include "archive/backup.h"
#include "archive/cestino.h"
#include "archive/report.h"
#include "archive/resultmatrix.h"
#include "insight/yearcompare.h"
#include "storage/session.h"

#include <QHash>
#include <QTemporaryDir>
#include <QString>
#include <functional>

namespace qv {

// Captions of the archive's class labels Label9(0..9): "prima A", then "prima  B" ….
QString archiveCaption(int index);
// The class index of a class table, or -1.
int classIndexOfTable(const QString &table);
// The class index a caption names by its last letter ("Prima  I", "prima  C", "prima-A"),
// or -1.
int classIndexOfCaption(const QString &caption);

class ArchivioModel {
public:
    explicit ArchivioModel(Session &s);

    // Called after every reload of the class, so the screen can redraw before a message.
    std::function<void()> changed;

    // The way in from the start screen. The class shown is the one chosen last on either
    // screen (the table the shared state names); the caption always names that class.
    void openFromStart(const QString &nomeclasse);
    // A click on the class label `index` of the class chooser.
    void chooseClass(int index);
    // Loads the class of indiceclasse: matrice, the first pupil selected.
    bool scegliclasse();
    // A click on line `listIndex` of the name list.
    void select(int listIndex);
    // CMDELIMINO: deletes the selected record after the question.
    void elimino();
    // CMDESPORTO and CMDIMPORTO.
    void CreaTabellaEXP();
    void importo();
    // cmdesportocsv: the class table as a CSV file in a folder the teacher picks.
    void esportoCsv();
    // cmdpassword: "Cambio la password".
    void cambioPassword();
    // The recycle bin: what it holds, one result put back, everything erased after a question.
    QList<DeletedResult> cestino() const;
    void recupero(qint64 id);
    void svuotoCestino();
    // "Cancello per sempre, anche dalle copie": the result `id` of the bin erased, after a
    // question, from the results and from every copy, never to come back by an import or a
    // restore; on the server, what remains there is said.
    void cancelloPerSempre(qint64 id);
    // "Copie di sicurezza": the copies in Perquorvane/copie, and one put back in place of
    // the results after a question (a copy of the results as they are is made first).
    QList<BackupInfo> copie() const;
    void ripristino(const BackupInfo &copia);

    // "Strumenti compensativi": the window of the selected pupil's tools; what the teacher
    // leaves there is stored (the archive is already behind the password).
    void strumentiAlunno();
    // The tools of pupil r (1..numalunni), and the name as the list shows it: marked when
    // the pupil has tools.
    PupilTools strumenti(int r) const;
    QString nomeInElenco(int r) const;

    // The school year. The heading above the class: "Anno scolastico 2026/2027", or the
    // closed year on show.
    QString intestazioneAnno() const;
    // Whether a closed year is on show (read-only: every change is refused with a message).
    bool annoPassato() const { return annoVisto_ != 0; }
    // "Anni precedenti": the closed years, each checked; one of them shown in place of the
    // current year, the same class, until tornoAnnoInCorso() or the archive is left.
    QList<PastYear> anniPrecedenti() const;
    void guardoAnno(const PastYear &y);
    void tornoAnnoInCorso();
    // "Chiudo l'anno scolastico": the question with the unfinished tests and the results of
    // each class, then the close. `step` as SchoolYears::close.
    void chiudoAnno(const std::function<void(const char *)> &step = {});
    // The school's results of the year on show and of every readable closed year, newest
    // first, for "confronto con gli anni precedenti".
    std::vector<insight::YearSummary> confronto() const;
    // The current year as the teacher corrects it (a clock set wrong).
    int annoInCorso() const;
    void cambioAnno(int year);
    // "Conservo i risultati per N anni".
    int anniConservati() const;
    void conservoAnni(int n);
    // At the start of a new year: the years past the limit erased for good, after a question
    // asked once a year.
    void offroCancellazione();

    bool hasPupil() const { return rigascelta_ >= 0; }
    Report reportAlunno() const { return pupilReport(valori_, rigascelta_ + 1, strumenti(rigascelta_ + 1)); }
    Report reportClasse() const { return classReport(valori_, caption_); }

    const ResultMatrix &valori() const { return valori_; }
    int numalunni() const { return valori_.numalunni(); }
    int rigascelta() const { return rigascelta_; }
    QString datascelta() const { return datascelta_; }
    int indiceclasse() const { return indiceclasse_; }
    QString caption() const { return caption_; }
    QString testoaiuto() const { return testoaiuto_; }
    // Where the folder chooser opens: the folder used last in this run, else the
    // system's removable-media folder.
    QString startFolder() const;
    // With no printer: the file the teacher saves the printout `name` into (a save dialog
    // opening in the folder used last in this run, else the documents folder), empty when
    // the teacher cancels. The folder becomes the one used last.
    QString choosePdfFile(const QString &name);

private:
    void reload();
    QString askFolder(const QString &title);
    // In a closed year: tells the teacher it only can be looked at; true then.
    bool refusePast();
    // The years over the current year's results, wherever they are held now; nullptr when closed.
    std::unique_ptr<SchoolYears> years() const;

    Session &s_;
    ResultMatrix valori_;
    QHash<QString, PupilTools> strumenti_; // by data value
    int rigascelta_ = -1;
    QString datascelta_;
    int indiceclasse_ = 0;
    QString caption_;
    QString testoaiuto_;
    QString lastFolder_;
    int annoVisto_ = 0;
    // Where a closed year of the server is read into while it is shown.
    std::unique_ptr<QTemporaryDir> pastScratch_;
};

} // namespace qv
