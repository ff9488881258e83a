#include "battery/geography/cartgecontent.h"

#include "storage/datafiles.h"

namespace qv {

const QStringList &elementifisici()
{
    static const QStringList list = {
        QStringLiteral("Alpi"),            QStringLiteral("Pianura Padana"),  QStringLiteral("Adige"),
        QStringLiteral("Po"),              QStringLiteral("Monte Bianco"),    QStringLiteral("Appennini"),
        QStringLiteral("Arno"),            QStringLiteral("Tevere"),          QStringLiteral("Isola d'Elba"),
        QStringLiteral("Gran Sasso"),      QStringLiteral("Volturno"),        QStringLiteral("Vesuvio"),
        QStringLiteral("Etna"),            QStringLiteral("Mar Ligure"),      QStringLiteral("Golfo di Genova"),
        QStringLiteral("Golfo di Venezia"), QStringLiteral("Mar Adriatico"),  QStringLiteral("Mar Tirreno"),
        QStringLiteral("Golfo di Napoli"), QStringLiteral("Golfo di Taranto"), QStringLiteral("Mar Ionio"),
        QStringLiteral("Stretto di Messina"),
    };
    return list;
}

const QStringList &regioni()
{
    static const QStringList list = {
        QStringLiteral("Valle d'Aosta"), QStringLiteral("Piemonte"),         QStringLiteral("Lombardia"),
        QStringLiteral("Trentino-A-A"),  QStringLiteral("Veneto"),           QStringLiteral("Friuli-Ve-Giulia"),
        QStringLiteral("Emilia-Romagna"), QStringLiteral("Liguria"),         QStringLiteral("Toscana"),
        QStringLiteral("Umbria"),        QStringLiteral("Marche"),           QStringLiteral("Lazio"),
        QStringLiteral("Abruzzo"),       QStringLiteral("Molise"),           QStringLiteral("Campania"),
        QStringLiteral("Puglia"),        QStringLiteral("Basilicata"),       QStringLiteral("Calabria"),
        QStringLiteral("Sardegna"),      QStringLiteral("Sicilia"),
    };
    return list;
}

const QStringList &capoluoghi()
{
    static const QStringList list = {
        QStringLiteral("Aosta"),    QStringLiteral("Torino"),  QStringLiteral("Milano"),     QStringLiteral("Trento-Bolzano"),
        QStringLiteral("Venezia"),  QStringLiteral("Trieste"), QStringLiteral("Bologna"),    QStringLiteral("Genova"),
        QStringLiteral("Firenze"),  QStringLiteral("Perugia"), QStringLiteral("Ancona"),     QStringLiteral("Roma"),
        QStringLiteral("L'Aquila"), QStringLiteral("Campobasso"), QStringLiteral("Napoli"),  QStringLiteral("Bari"),
        QStringLiteral("Potenza"),  QStringLiteral("Catanzaro"), QStringLiteral("Cagliari"), QStringLiteral("Palermo"),
    };
    return list;
}

QString mappaFisica()
{
    return QString::fromLatin1(kPhysicalMapFile);
}

QString mappaPolitica()
{
    return QString::fromLatin1(kPoliticalMapFile);
}

const QList<Item> &fisicaItems()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int n = 1; n <= elementifisici().size(); ++n)
            out.append({n, QStringLiteral("elemfis"), elementifisici().at(n - 1), elementifisici().at(n - 1), {}});
        return out;
    }();
    return all;
}

const QList<Item> &politicaItems()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int n = 1; n <= regioni().size(); ++n)
            out.append({n, QStringLiteral("elempol"), regioni().at(n - 1), regioni().at(n - 1), {}});
        for (int n = 1; n <= capoluoghi().size(); ++n)
            out.append({capoluogoItem(n), QStringLiteral("elempol"), capoluoghi().at(n - 1), capoluoghi().at(n - 1),
                        regioni().value(n - 1)});
        return out;
    }();
    return all;
}

} // namespace qv
