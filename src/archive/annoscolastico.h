// The school years of the archive: the year the class tables hold, its close into a store of
// its own (on the results file a file per year in "Perquorvane/anni", "2026-2027.mdb"), the
// past years listed and opened for reading, the year corrected by the teacher, and the
// erasure of the years beyond what the school keeps. No widgets: the archive's screens ask
// and show, this decides and does.
#pragma once

#include "archive/backup.h"
#include "storage/schoolyear.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace qv {

inline constexpr const char *kYearsFolder = "anni";

struct PastYear {
    enum class State { Ok, Damaged, Missing };
    int year = 0;
    QString file;
    State state = State::Ok;
    QString problem;   // why it cannot be opened, in Italian
    QList<int> counts; // results in each class; zeros unless Ok
    // "2025/2026", or with what is wrong with it.
    QString label() const;
};

// What "Chiudo l'anno scolastico" would do now.
struct ClosePreview {
    int year = 0;
    QString before; // the records started before it go (empty: every record)
    QList<ClassYearCount> counts;
    int binned = 0;
    QString refusal; // not empty: why the year cannot be closed, for the teacher
    int records() const;
    // The Yes/No question: the unfinished tests listed first, the results of each class,
    // then the question.
    QString question() const;
};

class SchoolYears {
public:
    // `dataDir`: the "Perquorvane" folder (the years' and the copies' folders are in it).
    SchoolYears(Database &results, QString dataDir);

    QString yearsDir() const;
    // Leftovers of a close that did not end (the program killed, the power gone): a file
    // half written, or one written whose year the results still hold, is removed. The
    // results file decides: its year is either still current or wholly closed.
    void recover();

    CurrentYear current(const QDate &today);
    // "Anno scolastico 2026/2027", with a note when an earlier year is still to close.
    QString heading(const QDate &today);

    ClosePreview preview(const QDate &today);
    // The close itself, after the teacher's Yes: a copy of the results first; the year's
    // records, answers, tools and bin written to the year's store and checked; then, in one
    // transaction, taken out of the results with the year marked closed. `step` is called
    // with the name of each point reached ("copia", "file", "transazione", "fatto"), for
    // tests that stop the program there. The message for the teacher, success or failure.
    struct Outcome {
        bool ok = false;
        QString message;
    };
    Outcome close(const ClosePreview &p, const QDateTime &now, const std::function<void(const char *)> &step = {});

    // Years closed, newest first, each checked: a file damaged or missing is listed as such.
    QList<PastYear> pastYears();
    // A past year for reading only; nullptr with the reason. On the server the year is read
    // into a file in `scratchDir` (private, the caller's to remove).
    std::unique_ptr<Database> openPast(const PastYear &y, const QString &scratchDir, QString *error);

    // A closed year's file opened for writing, for an import of a disk of that year: nullptr
    // when the year is not closed here, its file is damaged or missing, or on the server.
    std::unique_ptr<Database> openForImport(int year);

    // The records and binned records of every closed year whose file can be read, for a
    // restore that must not bring them back into the current year.
    QList<PupilKey> closedRecords();

    // The teacher's correction of the current year (a clock set wrong). A year already
    // closed is refused; the year the clock gives clears the correction.
    Outcome correct(int year, const QDate &today);
    // "Conservo i risultati per N anni": the current year and N - 1 past ones.
    int kept() const;
    Outcome setKept(int years);
    // Past years beyond the limit, oldest first.
    QList<int> beyondLimit(const QDate &today);
    QString eraseQuestion(const QList<int> &years) const;
    // Erases those years for good: their files, and their pupils from every copy; the pupils
    // are remembered as erased so that no old disk brings them back.
    Outcome erase(const QList<int> &years, const QDateTime &now);

private:
    QString fileOf(int year) const;
    Outcome closeOnServer(const ClosePreview &p, const QDateTime &now, const std::function<void(const char *)> &step);
    Database &db_;
    QString dataDir_;
};

} // namespace qv
