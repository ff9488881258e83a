#include "battery/analysis/cronologiacontent.h"

namespace qv {

namespace {

struct Fatto {
    QString data;
    QString testo;
};

const std::array<Fatto, kCronologiaEventi> &fatti()
{
    static const std::array<Fatto, kCronologiaEventi> tutti = {{
        {QStringLiteral("5 milioni a.f."),
         QStringLiteral("In Africa compare l'AUSTRALOPITECO, il primo ominide capace di camminare "
                        "senza l'aiuto degli arti anteriori.")},
        {QStringLiteral("45 000 a.fa"),
         QStringLiteral("L'HOMO SAPIENS SAPIENS, nato anche lui in Africa, si diffonde nel mondo.")},
        {QStringLiteral("3500 a.C."),
         QStringLiteral("Finisce la PREISTORIA e comincia la STORIA: nascono le prime città e le "
                        "antiche civiltà.")},
        {QStringLiteral("334 a.C."), QStringLiteral("ALESSANDRO MAGNO crea il suo impero.")},
        {QStringLiteral("31 a.C."),
         QStringLiteral("OTTAVIANO sconfigge Antonio ad Azio e governa Roma da solo: di fatto "
                        "comincia l'impero.")},
        {QStringLiteral("476"),
         QStringLiteral("ROMOLO AUGUSTOLO viene deposto da Odoacre: finisce l'Impero romano "
                        "d'Occidente.")},
        {QStringLiteral("800"),
         QStringLiteral("CARLO MAGNO viene incoronato imperatore dal papa il giorno di Natale.")},
        {QStringLiteral("843"),
         QStringLiteral("Con il TRATTATO DI VERDUN l'impero di Carlo Magno viene diviso in tre regni.")},
        {QStringLiteral("1348"),
         QStringLiteral("In Europa scoppia la grande epidemia di PESTE NERA: è la crisi del "
                        "Trecento.")},
        {QStringLiteral("1492"),
         QStringLiteral("CRISTOFORO COLOMBO arriva in America; la Spagna comincia a colonizzare "
                        "l'America centrale e meridionale.")},
        {QStringLiteral("1775-1783"),
         QStringLiteral("GUERRA D'INDIPENDENZA AMERICANA: nascono gli Stati Uniti d'America.")},
        {QStringLiteral("1789"),
         QStringLiteral("Comincia la RIVOLUZIONE FRANCESE: il Terzo Stato si proclama Assemblea "
                        "nazionale.")},
        {QStringLiteral("1814-1815"),
         QStringLiteral("Il CONGRESSO DI VIENNA dà inizio alla Restaurazione.")},
        {QStringLiteral("1861"), QStringLiteral("Viene proclamato il REGNO D'ITALIA.")},
        {QStringLiteral("1914-1918"),
         QStringLiteral("PRIMA GUERRA MONDIALE: all'inizio l'Italia resta neutrale.")},
        {QStringLiteral("1917"),
         QStringLiteral("RIVOLUZIONE RUSSA: la Russia si ritira dalla guerra.")},
        {QStringLiteral("1933"),
         QStringLiteral("HITLER diventa capo del governo in Germania: nasce il Terzo Reich.")},
        {QStringLiteral("1939-1945"),
         QStringLiteral("SECONDA GUERRA MONDIALE: è la guerra più distruttiva della storia.")},
        {QStringLiteral("25 aprile 1945"),
         QStringLiteral("LIBERAZIONE: è proclamata l'insurrezione nazionale contro nazisti e fascisti; "
                        "in Italia la guerra sta per finire.")},
        {QStringLiteral("1957"),
         QStringLiteral("Nasce la COMUNITÀ ECONOMICA EUROPEA (CEE).")},
    }};
    return tutti;
}

const QString &vuota()
{
    static const QString v;
    return v;
}

} // namespace

const QString &cronologiaEvento(int n)
{
    return n >= 1 && n <= kCronologiaEventi ? fatti()[size_t(n - 1)].testo : vuota();
}

const QString &cronologiaData(int n)
{
    return n >= 1 && n <= kCronologiaEventi ? fatti()[size_t(n - 1)].data : vuota();
}

const std::array<int, kCronologiaRighe> &cronologiaEventiMeta(int parte)
{
    static const std::array<int, kCronologiaRighe> primo = {5, 1, 17, 3, 9, 19, 15, 7, 11, 13};
    static const std::array<int, kCronologiaRighe> secondo = {6, 2, 18, 4, 10, 20, 16, 8, 12, 14};
    return parte == 2 ? secondo : primo;
}

const std::array<int, kCronologiaRighe> &cronologiaDateMeta(int parte)
{
    static const std::array<int, kCronologiaRighe> primo = {1, 3, 5, 7, 9, 11, 13, 15, 17, 19};
    static const std::array<int, kCronologiaRighe> secondo = {2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
    return parte == 2 ? secondo : primo;
}

const QList<Item> &cronologiaItems()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int n = 1; n <= kCronologiaEventi; ++n)
            out.append({n, QStringLiteral("cronolog"), cronologiaData(n), cronologiaEvento(n), {}});
        return out;
    }();
    return all;
}

} // namespace qv
