#include "battery/comprehension/frasicontent.h"

namespace qv::frasi {

namespace {

struct Domanda {
    const char16_t *premessa;
    std::array<const char16_t *, 4> conclusioni;
    qint16 giusta;
};

// Each text begins with a blank; each premise ends with the word that introduces the
// conclusion. The comment above each question names its logical form.
const std::array<Domanda, kDomande> kTesti = {{
    // 1: a negated universal
    {u" Non tutti i gatti sono grigi, vuol dire che",
     {u" nessun gatto è grigio", u" tutti i gatti sono grigi", u" solo alcuni gatti sono grigi",
      u" sono pochi i gatti grigi"},
     3},
    // 2: a proportional consequence
    {u" Più una persona è alta, più lunghi devono essere i suoi pantaloni. Marco è più alto di Luca, quindi",
     {u" Marco ha bisogno di pantaloni più lunghi di quelli di Luca",
      u" Luca ha bisogno di pantaloni più lunghi di quelli di Marco",
      u" Marco e Luca possono indossare pantaloni della stessa lunghezza", u" Luca crescerà più di Marco"},
     1},
    // 3: a syllogism on a named town
    {u" Tutti i paesi della valle hanno una fontana in piazza. Roccalta è un paese della valle, quindi",
     {u" tutti i paesi con una fontana sono nella valle", u" Roccalta ha una fontana in piazza",
      u" Roccalta è l'unico paese con una fontana", u" Roccalta non ha una piazza"},
     2},
    // 4: order of three people by age
    {u" Anna è più grande di Bruno e Bruno è più grande di Carla, allora",
     {u" Carla è la più grande dei tre e Anna la più piccola", u" Bruno è il più grande dei tre",
      u" Carla è più grande di Anna e di Bruno",
      u" Anna è la più grande e Carla la più piccola"},
     4},
    // 5: the converse of a comparison of height
    {u" Giorgio è più alto di Paolo, vuol dire che",
     {u" Paolo è più alto di Giorgio", u" Paolo è più basso di Giorgio",
      u" Giorgio e Paolo hanno la stessa altezza", u" Giorgio è il più alto della classe"},
     2},
    // 6: a counterfactual premise about trees
    {u" Immagina un paese in cui tutti gli alberi hanno le foglie blu. Nel giardino di Lucia, in quel "
     u"paese, c'è un melo, quindi",
     {u" il melo di Lucia ha le foglie verdi, come tutti i meli", u" nel giardino di Lucia non crescono alberi",
      u" il melo di Lucia fa le mele blu", u" il melo di Lucia ha le foglie blu"},
     4},
    // 7: the converse of a comparison of age
    {u" Sara è più giovane di Marta, vuol dire che",
     {u" Sara è più vecchia di Marta", u" Sara e Marta hanno la stessa età", u" Marta è più grande di Sara",
      u" Marta è più giovane di Sara"},
     3},
    // 8: an exclusive statement
    {u" Solo gli esseri umani sanno scrivere, quindi",
     {u" tutte le persone sanno scrivere", u" il mio cane non sa scrivere", u" alcuni pappagalli sanno scrivere",
      u" chi non sa scrivere non è un essere umano"},
     2},
    // 9: a syllogism about a profession
    {u" Tutti i medici hanno studiato all'università. Il signor Rossi è un medico, quindi",
     {u" tutti quelli che hanno studiato all'università sono medici", u" il signor Rossi lavora in ospedale",
      u" il signor Rossi non è mai andato all'università", u" il signor Rossi ha studiato all'università"},
     4},
    // 10: two particular statements combined
    {u" Molti ragazzi della scuola giocano a calcio e alcuni di loro giocano anche a tennis, quindi",
     {u" tutti i ragazzi della scuola giocano a tennis", u" nessun ragazzo gioca sia a calcio sia a tennis",
      u" alcuni ragazzi giocano sia a calcio sia a tennis",
      u" tutti quelli che giocano a calcio giocano anche a tennis"},
     3},
    // 11: denying the consequent
    {u" Se una figura è un poligono, ha degli angoli. La figura disegnata alla lavagna non ha angoli, quindi",
     {u" la figura alla lavagna è un triangolo", u" la figura alla lavagna non è un poligono",
      u" le figure con gli angoli sono poligoni", u" la figura alla lavagna ha un angolo"},
     2},
    // 12: the transitive order of X, Y, Z
    {u" In una fila di cartelli, la lettera X viene prima della Y e la Y viene prima della Z, allora",
     {u" la Z viene prima della X", u" la Y viene prima della X e della Z", u" la X viene dopo la Z",
      u" la X viene prima della Z"},
     4},
}};

Domande buildDomande()
{
    Domande d;
    for (int q = 1; q <= kDomande; ++q) {
        const Domanda &src = kTesti[q - 1];
        d[q][0] = QString::fromUtf16(src.premessa);
        for (int k = 0; k < 4; ++k)
            d[q][k + 1] = QString::fromUtf16(src.conclusioni[k]);
    }
    return d;
}

Soluzioni buildSoluzioni()
{
    Soluzioni s{};
    for (int q = 1; q <= kDomande; ++q)
        s[q] = kTesti[q - 1].giusta;
    return s;
}

} // namespace

const Domande &domande()
{
    static const Domande d = buildDomande();
    return d;
}

const Soluzioni &soluzioni()
{
    static const Soluzioni s = buildSoluzioni();
    return s;
}

const QList<Item> &items()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int q = 1; q <= kDomande; ++q) {
            const Domanda &d = kTesti[size_t(q - 1)];
            out.append({q, QStringLiteral("frasi1"), QString::number(d.giusta),
                        QString::fromUtf16(d.premessa).trimmed(), {}});
        }
        return out;
    }();
    return all;
}

} // namespace qv::frasi
