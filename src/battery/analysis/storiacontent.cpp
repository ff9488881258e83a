#include "battery/analysis/storiacontent.h"

#include <QList>

namespace qv {

namespace {

const QList<QStringList> &insiemi()
{
    static const QList<QStringList> tutti = {
        // 1: the curved mouldboard of the plough
        {QStringLiteral("All'aratro fu aggiunto un versoio ricurvo con la punta di ferro"),
         QStringLiteral("L'aratro, mentre tracciava i solchi, rivoltava anche la terra"),
         QStringLiteral("La terra più fertile veniva portata in superficie e produceva di più")},
        // 2: ships, compass and stern rudder
        {QStringLiteral("Le navi diventarono più robuste e furono dotate di bussola e di timone di "
                        "poppa"),
         QStringLiteral("I navigatori ebbero il coraggio di affrontare viaggi nuovi e più lunghi"),
         QStringLiteral("Gli Europei scoprirono nuove rotte e nuove terre")},
        // 3: Columbus (the Earth's roundness was common knowledge; a short way west was his idea)
        {QStringLiteral("Cristoforo Colombo era convinto che, navigando verso occidente, si arrivasse presto "
                        "nelle Indie"),
         QStringLiteral("Colombo navigò verso occidente per raggiungere le Indie"),
         QStringLiteral("Colombo arrivò in America, ma credette di essere giunto nelle Indie")},
        // 4: bread in Paris, after the drought and the hail of July 1788
        {QStringLiteral("Nel 1788 il maltempo e la grandine rovinarono gran parte del raccolto di grano"),
         QStringLiteral("A Parigi il prezzo del pane aumentò molto"),
         QStringLiteral("I poveri di Parigi assaltarono i forni")},
        // 5: the common lands
        {QStringLiteral("I contadini persero il diritto di usare le terre comuni"),
         QStringLiteral("I contadini guadagnarono di meno e diventarono più poveri"),
         QStringLiteral("Molti contadini dovettero trasferirsi in città")},
        // 6: where the first factories rose
        {QStringLiteral("Le fabbriche avevano bisogno di grandi quantità di materie prime"),
         QStringLiteral("Non esistevano ancora mezzi di trasporto adatti all'industria"),
         QStringLiteral("Le prime fabbriche sorsero nei luoghi dove si estraevano le materie prime"),
         QStringLiteral("Intorno alle fabbriche nacquero molte nuove città")},
        // 7: the Greek colonies
        {QStringLiteral("In Grecia la terra coltivabile era poca"),
         QStringLiteral("La popolazione aumentava rapidamente"),
         QStringLiteral("Il cibo prodotto non bastava più per tutti"),
         QStringLiteral("Molti Greci emigrarono e fondarono colonie")},
        // 8: the death of Caesar
        {QStringLiteral("Le vittorie di Cesare lo resero famoso"),
         QStringLiteral("Cesare si fece nominare dittatore a vita"),
         QStringLiteral("Molti senatori temevano che Cesare volesse farsi re"),
         QStringLiteral("Alcuni senatori organizzarono una congiura e uccisero Cesare")},
        // 9: serfs and Comuni
        {QStringLiteral("I servi della gleba erano scontenti della loro vita nei feudi"),
         QStringLiteral("I Comuni offrivano rifugio a chi voleva vivere in città"),
         QStringLiteral("Molti servi della gleba fuggirono nei Comuni"),
         QStringLiteral("Scoppiarono spesso guerre tra i signori feudali e i Comuni")},
    };
    return tutti;
}

} // namespace

const QStringList &storiaFrasi(int insieme)
{
    static const QStringList nessuna;
    if (insieme < 1 || insieme > insiemi().size())
        return nessuna;
    return insiemi().at(insieme - 1);
}

int causeItem(int insieme, int casella)
{
    return insieme <= kStoriaUltimoSemplice ? (insieme - 1) * 3 + casella
                                            : kStoriaUltimoSemplice * 3 + (insieme - kStoriaUltimoSemplice - 1) * 4 + casella;
}

const QList<Item> &causeItems()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int i = 1; i <= kStoriaInsiemi; ++i) {
            const QStringList &f = storiaFrasi(i);
            // Latin-1 names: the statements stay the only string literals of the sets' blocks.
            const QString cat = QString::fromLatin1(i <= kStoriaUltimoSemplice ? "causasem" : "causacom");
            for (int k = 1; k <= f.size(); ++k)
                out.append({causeItem(i, k), cat, f.at(k - 1), f.at(k - 1), {}});
        }
        return out;
    }();
    return all;
}

} // namespace qv
