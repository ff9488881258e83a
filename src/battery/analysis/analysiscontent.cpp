#include "battery/analysis/analysiscontent.h"

// The sentences are short and plain, for pupils at the start of the first year: every
// element has one category a teacher would mark right without discussion. In the
// grammatical analysis a compound tense ("ha trovato") is one element, and articulated
// prepositions ("sul", "della") are prepositions. In the logical analysis an element is a
// group of words with one function; a copula with its adjective ("è buono") is the
// nominal predicate.
namespace qv {

namespace {

// One sentence from (element, category) pairs in reading order.
AnalysisSentence frase(int ordine, std::initializer_list<std::pair<const char *, const char *>> parti)
{
    AnalysisSentence s;
    s.ordine = ordine;
    for (const auto &p : parti) {
        s.elementi << QString::fromUtf8(p.first);
        s.categorie << QString::fromUtf8(p.second);
    }
    return s;
}

} // namespace

const QStringList &grammaticaCategorie()
{
    static const QStringList c = {"Articolo", "Nome", "Verbo", "Aggettivo",
                                  "Preposizione", "Congiunzione", "Pronome", "Avverbio"};
    return c;
}

const QStringList &logicaCategorie()
{
    static const QStringList c = {"Soggetto", "Predicato verbale", "Predicato nominale",
                                  "Complemento oggetto", "Complemento indiretto", "Attributo"};
    return c;
}

// 8 + 10 + 10 + 10 + 8 + 7 = 53 elements.
const QList<AnalysisSentence> &grammaticaSentences()
{
    static const QList<AnalysisSentence> rows = {
        // Il gatto nero dorme sul divano della nonna.
        frase(1, {{"Il", "Articolo"},
                  {"gatto", "Nome"},
                  {"nero", "Aggettivo"},
                  {"dorme", "Verbo"},
                  {"sul", "Preposizione"},
                  {"divano", "Nome"},
                  {"della", "Preposizione"},
                  {"nonna", "Nome"}}),
        // Ieri Marta ha trovato un gattino e lo ha portato a casa.
        frase(2, {{"Ieri", "Avverbio"},
                  {"Marta", "Nome"},
                  {"ha trovato", "Verbo"},
                  {"un", "Articolo"},
                  {"gattino", "Nome"},
                  {"e", "Congiunzione"},
                  {"lo", "Pronome"},
                  {"ha portato", "Verbo"},
                  {"a", "Preposizione"},
                  {"casa", "Nome"}}),
        // I ragazzi giocano allegramente in cortile con una palla rossa.
        frase(3, {{"I", "Articolo"},
                  {"ragazzi", "Nome"},
                  {"giocano", "Verbo"},
                  {"allegramente", "Avverbio"},
                  {"in", "Preposizione"},
                  {"cortile", "Nome"},
                  {"con", "Preposizione"},
                  {"una", "Articolo"},
                  {"palla", "Nome"},
                  {"rossa", "Aggettivo"}}),
        // Noi mangiamo spesso la pizza, ma oggi preferiamo la pasta.
        frase(4, {{"Noi", "Pronome"},
                  {"mangiamo", "Verbo"},
                  {"spesso", "Avverbio"},
                  {"la", "Articolo"},
                  {"pizza", "Nome"},
                  {"ma", "Congiunzione"},
                  {"oggi", "Avverbio"},
                  {"preferiamo", "Verbo"},
                  {"la", "Articolo"},
                  {"pasta", "Nome"}}),
        // La maestra ci legge una storia molto divertente.
        frase(5, {{"La", "Articolo"},
                  {"maestra", "Nome"},
                  {"ci", "Pronome"},
                  {"legge", "Verbo"},
                  {"una", "Articolo"},
                  {"storia", "Nome"},
                  {"molto", "Avverbio"},
                  {"divertente", "Aggettivo"}}),
        // Il sole splende e gli uccelli cantano.
        frase(6, {{"Il", "Articolo"},
                  {"sole", "Nome"},
                  {"splende", "Verbo"},
                  {"e", "Congiunzione"},
                  {"gli", "Articolo"},
                  {"uccelli", "Nome"},
                  {"cantano", "Verbo"}}),
    };
    return rows;
}

// 6 + 5 + 6 + 6 + 6 + 5 = 34 elements.
const QList<AnalysisSentence> &logicaSentences()
{
    static const QList<AnalysisSentence> rows = {
        // La mamma prepara una torta squisita per la festa di Anna.
        frase(1, {{"La mamma", "Soggetto"},
                  {"prepara", "Predicato verbale"},
                  {"una torta", "Complemento oggetto"},
                  {"squisita", "Attributo"},
                  {"per la festa", "Complemento indiretto"},
                  {"di Anna", "Complemento indiretto"}}),
        // In estate le spiagge sabbiose della Sicilia sono bellissime.
        frase(2, {{"In estate", "Complemento indiretto"},
                  {"le spiagge", "Soggetto"},
                  {"sabbiose", "Attributo"},
                  {"della Sicilia", "Complemento indiretto"},
                  {"sono bellissime", "Predicato nominale"}}),
        // Il postino consegna una lettera urgente al nonno di Sara.
        frase(3, {{"Il postino", "Soggetto"},
                  {"consegna", "Predicato verbale"},
                  {"una lettera", "Complemento oggetto"},
                  {"urgente", "Attributo"},
                  {"al nonno", "Complemento indiretto"},
                  {"di Sara", "Complemento indiretto"}}),
        // I bambini hanno raccolto le mele mature nel frutteto dello zio.
        frase(4, {{"I bambini", "Soggetto"},
                  {"hanno raccolto", "Predicato verbale"},
                  {"le mele", "Complemento oggetto"},
                  {"mature", "Attributo"},
                  {"nel frutteto", "Complemento indiretto"},
                  {"dello zio", "Complemento indiretto"}}),
        // Nel bosco la volpe rossa insegue un coniglio bianco.
        frase(5, {{"Nel bosco", "Complemento indiretto"},
                  {"la volpe", "Soggetto"},
                  {"rossa", "Attributo"},
                  {"insegue", "Predicato verbale"},
                  {"un coniglio", "Complemento oggetto"},
                  {"bianco", "Attributo"}}),
        // Il cane nero del vicino è buono con i bambini.
        frase(6, {{"Il cane", "Soggetto"},
                  {"nero", "Attributo"},
                  {"del vicino", "Complemento indiretto"},
                  {"è buono", "Predicato nominale"},
                  {"con i bambini", "Complemento indiretto"}}),
    };
    return rows;
}

int analysisItem(int frase, int elemento)
{
    return (frase - 1) * 10 + elemento;
}

namespace {
QList<Item> analysisItems(const QList<AnalysisSentence> &frasi, const QString &categoria)
{
    QList<Item> out;
    for (int f = 0; f < frasi.size(); ++f) {
        const AnalysisSentence &s = frasi.at(f);
        const QString intera = s.elementi.join(QLatin1Char(' '));
        for (int k = 0; k < s.elementi.size(); ++k)
            out.append({analysisItem(f + 1, k + 1), categoria, s.categorie.at(k), s.elementi.at(k), intera});
    }
    return out;
}
} // namespace

const QList<Item> &grammaticaItems()
{
    static const QList<Item> all = analysisItems(grammaticaSentences(), QStringLiteral("gramsem"));
    return all;
}

const QList<Item> &logicaItems()
{
    static const QList<Item> all = analysisItems(logicaSentences(), QStringLiteral("logsem"));
    return all;
}

} // namespace qv
