// The archive's school years on screen: the heading, "Anni precedenti" (the closed years,
// the year corrected, how many years are kept) and the buttons a closed year leaves.
#include "ui/screens/flstampa.h"

#include "storage/schoolyear.h"
#include "storage/wording.h"
#include "ui/widgets/listdialog.h"

#include <QInputDialog>

namespace qv::ui {

void FLstampa::redrawYear()
{
    const bool past = model_.annoPassato();
    LabAnno->setText(model_.intestazioneAnno());
    cmdanni->setText(past ? QStringLiteral("Torno all'anno in corso") : QStringLiteral("Anni precedenti"));
    // What would change a closed year is greyed; the model refuses it anyway.
    for (QPushButton *b : {CMDELIMINO, CMDESPORTO, CMDIMPORTO, cmdstrumenti, cmdcestino, cmdcopie, cmdpassword, cmdchiudoanno})
        if (past)
            b->setEnabled(false);
        else if (b != CMDELIMINO && b != cmdstrumenti)
            b->setEnabled(true);
}

void FLstampa::anni()
{
    auto *d = new ListDialog(QStringLiteral("FrmANNI"), QStringLiteral("Anni precedenti"),
                             QStringLiteral("Gli anni scolastici chiusi. Scegline uno per guardarne i risultati come "
                                            "nell'archivio di oggi: si possono stampare ed esportare per un foglio di "
                                            "calcolo, ma non cambiare."),
                             this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    auto years = std::make_shared<QList<PastYear>>();
    auto refill = [this, d, years] {
        *years = model_.anniPrecedenti();
        QStringList rows, notes;
        QList<bool> usable;
        for (const PastYear &y : *years) {
            int n = 0;
            for (int c : y.counts)
                n += c;
            rows << (y.state == PastYear::State::Ok
                         ? QStringLiteral("%1   —   %2").arg(yearCaption(y.year), counted(n, "risultato", "risultati"))
                         : y.label());
            usable << (y.state == PastYear::State::Ok);
            notes << y.label();
        }
        d->setRows(rows, usable, notes);
    };
    d->addAction(QStringLiteral("cmdguardo"), QStringLiteral("Guardo l'anno scelto"), true, [this, d, years] {
        if (const int i = d->currentRow(); i >= 0 && i < years->size()) {
            model_.guardoAnno(years->at(i));
            d->close();
        }
    });
    d->addAction(QStringLiteral("cmdcambioanno"), QStringLiteral("Correggo l'anno in corso"), false, [this, d] {
        bool ok = false;
        const int now = model_.annoInCorso();
        const int y = QInputDialog::getInt(d, QStringLiteral("Anno scolastico"),
                                           QStringLiteral("L'anno in cui comincia l'anno scolastico in corso "
                                                          "(per esempio %1 per %2):")
                                               .arg(now)
                                               .arg(yearCaption(now)),
                                           now, 2000, 2100, 1, &ok);
        if (ok)
            model_.cambioAnno(y);
    });
    QPushButton *conservo = d->addAction(QStringLiteral("cmdconservo"), QString(), false, [this, d, refill] {
        bool ok = false;
        const int n = QInputDialog::getInt(d, QStringLiteral("Conservo i risultati per N anni"),
                                           QStringLiteral("Per quanti anni la scuola conserva i risultati, contando "
                                                          "quello in corso:"),
                                           model_.anniConservati(), 1, kYearsKeptMax, 1, &ok);
        if (ok)
            model_.conservoAnni(n);
        refill();
    });
    // The setting as it stands, the number in place of N.
    auto caption = [this, conservo] {
        conservo->setText(QStringLiteral("Conservo i risultati per %1").arg(counted(model_.anniConservati(), "anno", "anni")));
    };
    connect(conservo, &QPushButton::clicked, d, caption);
    caption();
    refill();
    d->open();
}

} // namespace qv::ui
