// The map test: the physical map (22 features), then the political map (20 regions with
// their chief towns). A blinking number names the current place; the pupil picks its name
// from a list. Scores and minutes of each map go into the pupil's record.
#pragma once

#include "storage/session.h"

#include <QString>
#include <QStringList>

namespace qv {

class CartgeModel {
public:
    explicit CartgeModel(Session &s) : s_(s) {}

    // Sets the test up afresh for the pupil: from the beginning (tipoavvio 111) or, on
    // resumption (222), at the map named by tappa (9 physical, 10 political) and the
    // place stored in sub.
    void load();

    // A click on an entry of List2 (features, then regions) or List1 (chief towns).
    void clickList2(int index);
    void clickList1(int index);
    // Timer1: the place number is shown and hidden in turn.
    void tick();
    // "Elemento seguente": judges the answer and moves to the next place.
    void elementoSeguente();
    // "Esco": stores the progress and ends the program.
    void esco();

    bool political() const { return esercizio == QLatin1String("geopolitica"); }
    // Label2 holds the prompt of the first political place, not a region.
    bool label2IsPrompt() const { return promptInLabel2_; }
    // The file of the data folder that Image1 shows.
    QString mapFile() const { return mapFile_; }

    QString esercizio;       // "geofisica" or "geopolitica"
    qint16 numero = 1;       // the current place, from 1
    qint16 punti = 0;        // correct answers in the current exercise
    qint16 indicelista1 = -1, indicelista2 = -1; // selected entries; -1 none
    qint16 lampeggio = 1;
    QString Label1, Label2;  // the chosen chief town and the chosen feature or region
    QStringList List1, List2;
    bool List1Visible = false;
    bool Label4Visible = true;
    bool LabnumeroVisible = true;

    static const QString kPrompt; // "Scegli sia la regione che il capoluogo"

private:
    void physicalLayout();
    void politicalLayout();
    // Resumption at the physical or the political map.
    void resume(bool politica);
    // The stage of the map on screen and its score field.
    Stage stage() const;
    QString scoreField() const;

    Session &s_;
    QString mapFile_;
    bool promptInLabel2_ = false;
};

} // namespace qv
