// The causal-relation schemes (FLstoria1): nine sets of statements to drop into the boxes
// of a scheme. Sets 1 to 5 use the simple chain of three boxes, sets 6 to 9 the complex
// scheme of four (two causes, their common effect, a final consequence). The two parts are
// scored and stored separately, the minutes together; after every other set the progress
// is stored as "Esco" would store it.
#pragma once

#include "storage/session.h"

#include <QString>
#include <array>
#include <functional>

namespace qv {

class Storia1Model {
public:
    static constexpr int kMaxCaselle = 4;

    explicit Storia1Model(Session &s);

    // The seed of the random display order; by default the clock's current instant.
    // Tests fix it.
    using SeedSource = std::function<quint32()>;
    void setSeedSource(SeedSource f) { seed_ = std::move(f); }

    // Opening, each time the screen is shown (tipoavvio 111 fresh, 222 resumption).
    void apertura();
    // A drop of statement Label2(source) on box Label1(box): the box takes the statement,
    // the statement is marked as used. false (nothing changes) for a control not in play.
    bool drop(int box, int source);
    // "Nuove frasi": check and score the set, then the next set, the change of scheme or
    // the end of the test.
    void nuovo();
    // "Esco": store the progress and end the program; if the store fails the pupil is
    // told and stays.
    void esco();

    // The named steps of the test.
    void schem1();
    void schem2();
    void caso();

    // What the screen shows.
    const QString &casella(int i) const { return casella_.at(size_t(i)); }  // Label1(i)
    const QString &frase(int i) const { return frase_.at(size_t(i)); }      // Label2(i)
    bool usata(int i) const { return usata_.at(size_t(i)); }                // magenta mark
    int tiposchema() const { return tiposchema_; }
    int caselle() const { return caselle_; }
    int numesercizio() const { return numesercizio_; }
    int giuste() const { return giuste_; }
    int punti() const { return punti_; }
    // chiave(k), k = 1..caselle: the statement that belongs in box k - 1.
    const QString &chiave(int k) const { return chiave_.at(size_t(k)); }
    // sequenza(i), i = 1..caselle: the position of the statement shown in Label2(i - 1).
    int sequenza(int i) const { return sequenza_.at(size_t(i)); }

private:
    void caricaInsieme();
    void svuota();
    // Checks the set on show against its key into giuste; the answers for the log.
    QList<Answer> risultato();
    // The stage of the scheme in force and its score field.
    Stage stage() const;
    QString scoreField() const;

    Session &s_;
    SeedSource seed_;

    std::array<QString, 6> chiave_{};
    std::array<int, 6> sequenza_{};
    std::array<int, 6> libero_{};
    int tiposchema_ = 1;
    int caselle_ = 3;
    int numesercizio_ = 1;
    int giuste_ = 0;
    int punti_ = 0;

    std::array<QString, kMaxCaselle> casella_{};
    std::array<QString, kMaxCaselle> frase_{};
    std::array<bool, kMaxCaselle> usata_{};
};

} // namespace qv
