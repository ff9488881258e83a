// The chronology of events (FLstoria2): twenty events in two halves of ten; the pupil
// drops each date on the box beside its event. Each half is scored and stored when the
// pupil asks for the next dates.
#pragma once

#include "battery/analysis/cronologiacontent.h"
#include "storage/session.h"

#include <QString>
#include <array>

namespace qv {

class Storia2Model {
public:
    static constexpr int kRighe = kCronologiaRighe;

    explicit Storia2Model(Session &s);

    // Opening, each time the screen is shown (tipoavvio 111 fresh, 222 resumption).
    void apertura();
    // A drop of date Label3(source) on date box Label2(box): the box takes the date, the
    // date is marked as used. false (nothing changes) for an index out of range.
    bool drop(int box, int source);
    // "Date seguenti": check, score and store the half, then the second half or the
    // next test.
    void seguente();
    // "Esco": store what can be stored, then end the program; if the store fails the
    // pupil is told and stays.
    void esco();

    // The named steps of the test.
    void Primo();
    void Secondo();
    void Controlla();
    void messaggi();

    // What the screen shows.
    const QString &evento(int r) const { return evento_.at(size_t(r)); }  // Label1(r)
    const QString &casella(int r) const { return casella_.at(size_t(r)); } // Label2(r)
    const QString &data(int r) const { return data_.at(size_t(r)); }      // Label3(r)
    bool usata(int r) const { return usata_.at(size_t(r)); }              // magenta mark
    int parte() const { return parte_; }
    const QString &completo() const { return completo_; }
    int giuste() const { return giuste_; }
    int punti() const { return punti_; }
    // The date that belongs in box r of the half on show.
    const QString &chiave(int r) const;

private:
    // Loads half `parte` (1 or 2): its events, its dates, empty boxes.
    void caricaParte(int parte);
    // Checks the half on show against its key into giuste; the answers for the log.
    QList<Answer> risultato();
    // Stores the progress with the half on show, scored and behind the pupil when `conMeta`;
    // false (pupil told, nothing changed) when the record cannot be written.
    bool registra(bool conMeta);

    Session &s_;
    int parte_ = 1;
    QString completo_ = QStringLiteral("no");
    int giuste_ = 0;
    int punti_ = 0;

    std::array<QString, kRighe> evento_{};
    std::array<QString, kRighe> casella_{};
    std::array<QString, kRighe> data_{};
    std::array<bool, kRighe> usata_{};
};

} // namespace qv
