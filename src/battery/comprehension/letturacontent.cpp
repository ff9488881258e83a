#include "battery/comprehension/letturacontent.h"

namespace qv::lettura {

namespace {

const QChar kCR(13);

struct Domanda {
    const char16_t *testo;
    std::array<const char16_t *, 4> opzioni;
    qint16 giusta;
};

// Passage 1 (questions 1..13) and passage 2 (questions 14..34, shown as 1..21).
// The synthesis question keeps its options empty: the summaries take the text area.
const std::array<Domanda, kDomande> kDomandeTesti = {{
    // 1: vocabulary
    {u"Zio Tano dice che il suo è \"un mestiere pieno di grattacapi\". Che cosa vuol dire?",
     {u"che è un lavoro che fa venire il prurito alla testa", u"che è un lavoro molto divertente",
      u"che è un lavoro che si impara in fretta", u"che è un lavoro che dà molti problemi e preoccupazioni"},
     4},
    // 2: facts
    {u"Quando si è svolta la pesca?",
     {u"dal tramonto all'alba", u"al mattino", u"da prima dell'alba fino al pomeriggio",
      u"dal pomeriggio alla sera"},
     3},
    // 3: vocabulary
    {u"Le barche escono dal porto \"in fila indiana\". Che cosa vuol dire?",
     {u"una accanto all'altra", u"una dietro l'altra", u"tutte insieme, senza un ordine",
      u"a grande velocità verso il largo"},
     2},
    // 4: vocabulary
    {u"I due pescatori \"non stanno un attimo con le mani in mano\". Che cosa vuol dire?",
     {u"che lavorano senza fermarsi mai", u"che si riposano spesso",
      u"che tengono le mani in tasca", u"che aspettano senza fare nulla"},
     1},
    // 5: facts
    {u"Come pescano zio Tano e Peppe?",
     {u"con le canne da pesca, dal bordo della barca",
      u"con le reti lasciate la sera prima vicino agli scogli",
      u"con una rete che la barca trascina sul fondo", u"tuffandosi in mare con la maschera e la fiocina"},
     3},
    // 6: vocabulary
    {u"Con quale parola il brano indica il fondo del mare?",
     {u"abisso", u"fondale", u"scogliera", u"profondità"},
     2},
    // 7: vocabulary
    {u"Peppe dice che la tramontana di ieri \"porterà buoni frutti\". Che cosa vuol dire?",
     {u"che farà maturare presto la frutta", u"che aiuterà le barche a pescare molto",
      u"che porterà in porto frutta fresca", u"che renderà il mare calmo e sicuro"},
     2},
    // 8: vocabulary
    {u"Nel brano, che cosa indica la parola \"bottino\"?",
     {u"una piccola botte", u"il premio di una gara", u"la paga dei pescatori",
      u"il pesce preso con la rete"},
     4},
    // 9: inference
    {u"Perché chi racconta ha potuto passare una giornata sul peschereccio?",
     {u"perché il peschereccio è di suo zio", u"perché ha vinto un premio a scuola",
      u"perché lavora come aiutante di Peppe", u"perché ha pagato il viaggio come un turista"},
     1},
    // 10: inference
    {u"Chi ha scritto il brano?",
     {u"zio Tano, il padrone del peschereccio", u"Peppe, l'aiutante dello zio",
      u"un ragazzo che va ancora a scuola",
      u"un giornalista in visita al porto"},
     3},
    // 11: inference
    {u"Come si sentono i due pescatori alla fine della giornata?",
     {u"delusi, perché hanno pescato poco", u"contenti, perché hanno pescato abbastanza",
      u"arrabbiati con il ragazzo che li ha disturbati", u"spaventati dalla tramontana"},
     1},
    // 12: facts
    {u"Secondo Peppe, grazie a che cosa la pesca sarebbe andata bene?",
     {u"alla rete nuova dello zio", u"alla luna piena", u"alle luci accese delle barche",
      u"alla tramontana del giorno prima"},
     4},
    // 13: synthesis (the summaries are shown in the text area)
    {u"Leggi i quattro riassunti: quale racconta meglio il brano che hai letto?", {nullptr, nullptr, nullptr, nullptr},
     2},

    // 14 (1): facts
    {u"Che cosa è riuscito ad aprire il bambino?",
     {u"la finestra della sua cameretta", u"il cancello del giardino", u"la porta di casa",
      u"il frigorifero della cucina"},
     3},
    // 15 (2): facts
    {u"Chi era di turno al 113?",
     {u"un medico del pronto soccorso", u"la domestica", u"un agente di polizia", u"un vigile del fuoco"},
     3},
    // 16 (3): facts
    {u"Chi ha ritrovato il bambino?",
     {u"una pattuglia della polizia", u"la domestica, uscita a cercarlo", u"i genitori, tornati dalla cena",
      u"un passante"},
     1},
    // 17 (4): facts
    {u"Che cosa indossava il bambino?",
     {u"il cappotto", u"il pigiama", u"la tuta da ginnastica", u"il costume da bagno"},
     2},
    // 18 (5): facts
    {u"Dove camminava il bambino quando è stato trovato?",
     {u"sul marciapiede di una via vicina", u"in mezzo alla strada, tra le auto",
      u"nel giardino di casa, vicino al cancello", u"nel parco giochi del quartiere"},
     1},
    // 19 (6): facts
    {u"Chi ha denunciato il \"rapimento\"?",
     {u"la mamma del bambino", u"un vicino di casa", u"l'agente di turno", u"la domestica"},
     4},
    // 20 (7): inference
    {u"Che cosa ha fatto la domestica per avvertire la polizia?",
     {u"è corsa a piedi al commissariato", u"ha gridato dalla finestra", u"ha chiesto aiuto ai vicini",
      u"ha telefonato al numero 113"},
     4},
    // 21 (8): inference
    {u"Il bambino era grande o piccolo?",
     {u"era un ragazzo già grande", u"era abbastanza grande da andare a scuola da solo", u"era un bambino piccolo",
      u"era un neonato che non sapeva ancora camminare"},
     3},
    // 22 (9): inference
    {u"Il bambino dormiva, come credeva la domestica?",
     {u"sì, dormiva profondamente", u"sì, ma si è svegliato quando è arrivata la polizia",
      u"no, era sveglio ed è uscito di casa",
      u"no, era sveglio ma è rimasto nel suo lettino"},
     3},
    // 23 (10): inference
    {u"Che cosa ha pensato la domestica quando ha trovato il lettino vuoto?",
     {u"che qualcuno avesse rapito il bambino", u"che il bambino fosse andato dai genitori",
      u"che il bambino giocasse in giardino", u"che il bambino si fosse nascosto per scherzo"},
     1},
    // 24 (11): inference
    {u"Il bambino era stato rapito davvero?",
     {u"sì, da uno sconosciuto", u"sì, ma poi è riuscito a scappare", u"no, era uscito di casa da solo",
      u"no, era andato a cena con i genitori"},
     3},
    // 25 (12): inference
    {u"Che cosa ha fatto la pattuglia dopo aver trovato il bambino?",
     {u"lo ha portato in questura per interrogarlo", u"lo ha lasciato dov'era", u"lo ha riportato a casa",
      u"lo ha portato in ospedale"},
     3},
    // 26 (13): inference
    {u"Perché è stata la domestica a chiamare la polizia?",
     {u"perché era la mamma del bambino", u"perché i genitori non erano in casa",
      u"perché aveva visto il rapitore dalla finestra", u"perché lavorava anche lei nella polizia"},
     2},
    // 27 (14): inference
    {u"Il bambino voleva scappare di casa?",
     {u"no, voleva solo curiosare in giro", u"sì, voleva andare a vivere da solo",
      u"no, camminava nel sonno senza saperlo",
      u"sì, perché aveva paura della domestica"},
     1},
    // 28 (15): inference
    {u"Perché la domestica non ha fermato il bambino?",
     {u"perché era uscita anche lei", u"perché lo credeva addormentato",
      u"perché gli aveva dato il permesso", u"perché si era addormentata anche lei"},
     2},
    // 29 (16): inference
    {u"Perché la domestica ha pensato a un rapimento?",
     {u"perché dalla camera del bambino aveva sentito arrivare delle grida e dei passi sconosciuti",
      u"perché aveva visto un'auto sconosciuta fermarsi davanti a casa mentre guardava la televisione",
      u"perché aveva trovato il lettino vuoto e non pensava che il bambino potesse uscire da solo",
      u"perché il bambino le aveva raccontato che un uomo sconosciuto voleva portarlo via con sé"},
     3},
    // 30 (17): author's purpose
    {u"Perché chi scrive usa l'espressione \"è riuscito ad aprire\"?",
     {u"per far capire che, per un bambino così piccolo, aprire la porta era difficile",
      u"per far capire che la porta di casa era rotta e si apriva con una leggera spinta",
      u"per far capire che qualcuno, da fuori, lo aveva aiutato ad aprire la porta",
      u"per dire che la porta di casa era già aperta quando il bambino si è svegliato"},
     1},
    // 31 (18): author's purpose
    {u"Perché chi scrive dice l'età del bambino?",
     {u"per far capire quanto era piccolo e quanto era pericolosa la sua uscita",
      u"perché quel giorno il bambino compiva tre anni e voleva festeggiare",
      u"perché la polizia, quella sera, cercava soltanto bambini di tre anni",
      u"per far sapere ai lettori in quale classe andava il bambino"},
     1},
    // 32 (19): author's purpose
    {u"Perché chi scrive mette tra virgolette la parola \"rapimento\"?",
     {u"perché è una parola straniera", u"perché la domestica l'ha gridata forte",
      u"perché è la parola più importante dell'articolo", u"perché in realtà il rapimento non c'è stato"},
     4},
    // 33 (20): author's purpose
    {u"Perché chi scrive dice che il bambino camminava \"tranquillo\"?",
     {u"perché il bambino camminava nel sonno e non sapeva di essere uscito di casa",
      u"per dire che il bambino camminava lentamente perché era stanco e aveva sonno",
      u"per far capire che il bambino non era spaventato e non si accorgeva del pericolo",
      u"perché il bambino era stato sgridato e non voleva più tornare a casa"},
     3},
    // 34 (21): synthesis
    {u"Qual è il titolo più adatto per questo articolo?",
     {u"\"Rapito a Borgomare un bambino di tre anni\"", u"\"A tre anni va a spasso di notte in pigiama\"",
      u"\"Domestica arrestata dalla polizia di Borgomare\"",
      u"\"La polizia cattura i rapitori del bambino\""},
     2},
}};

const char kLettere[4] = {'a', 'b', 'c', 'd'};

Domande buildDomande()
{
    Domande d;
    for (int q = 1; q <= kDomande; ++q) {
        const Domanda &src = kDomandeTesti[q - 1];
        const int mostrata = q < kPrimaSecondo ? q : q - kUltimaPrimo;
        d[q][0] = QStringLiteral(" %1. ").arg(mostrata) + QString::fromUtf16(src.testo);
        for (int k = 0; k < 4; ++k) {
            QString opz = QStringLiteral(" %1)").arg(QLatin1Char(kLettere[k]));
            if (src.opzioni[k])
                opz += QLatin1Char(' ') + QString::fromUtf16(src.opzioni[k]);
            d[q][k + 1] = opz;
        }
    }
    return d;
}

Soluzioni buildSoluzioni()
{
    Soluzioni s{};
    for (int q = 1; q <= kDomande; ++q)
        s[q] = kDomandeTesti[q - 1].giusta;
    return s;
}

} // namespace

const Domande &domande()
{
    static const Domande d = buildDomande();
    return d;
}

const QList<Item> &items()
{
    static const QList<Item> all = [] {
        QList<Item> out;
        for (int q = 1; q <= kDomande; ++q) {
            QString cat;
            if (q == kUltimaPrimo)
                cat = QStringLiteral("sintesi1");
            else if (q == kDomande)
                cat = QStringLiteral("sintesi2");
            else if (q < kUltimaPrimo)
                cat = (q == 2 || q == 5 || q == 12) ? QStringLiteral("fatti1")
                    : (q >= 9 && q <= 11)            ? QStringLiteral("inferen1")
                                                     : QStringLiteral("lessico1");
            else
                cat = q <= 19 ? QStringLiteral("fatti2") : q <= 29 ? QStringLiteral("inferen2") : QStringLiteral("scopi2");
            const Domanda &d = kDomandeTesti[size_t(q - 1)];
            out.append({q, cat, QString::number(d.giusta), QString::fromUtf16(d.testo), {}});
        }
        return out;
    }();
    return all;
}

const Soluzioni &soluzioni()
{
    static const Soluzioni s = buildSoluzioni();
    return s;
}

const std::array<QString, 6> &brano1Pezzi()
{
    static const std::array<QString, 6> pezzi = {
        QStringLiteral("Una giornata sul peschereccio"),
        QStringLiteral("Quest'estate sono in vacanza da zio Tano. Alle quattro del mattino, con il cielo ancora "
                       "buio, salgo mezzo addormentato con lui e con il suo aiutante Peppe sul peschereccio dello "
                       "zio. Le barche lasciano il porto in fila indiana, con le luci accese."),
        QStringLiteral(" Zio Tano mi spiega che il suo è un mestiere pieno di grattacapi: il gasolio costa caro e "
                       "c'è sempre meno pesce. Peppe però dice che la tramontana di ieri porterà buoni frutti."),
        QStringLiteral("All'alba caliamo la rete a strascico, che la barca trascina sul fondale. I due uomini non "
                       "stanno un attimo con le mani in mano: controllano i cavi, preparano le cassette, lavano il "
                       "ponte."),
        QStringLiteral(" Nel primo pomeriggio tiriamo su la rete: il bottino è magro, appena quaranta chili di "
                       "pesce."),
        QStringLiteral(" Peppe scuote la testa, zio Tano accende il motore senza dire una parola e torniamo in "
                       "porto. Quando racconterò questa giornata ai compagni di scuola, dirò quanta fatica c'è "
                       "dietro un piatto di pesce."),
    };
    return pezzi;
}

QString brano1()
{
    const auto &p = brano1Pezzi();
    return p[0] + kCR + kCR + p[1] + p[2] + kCR + p[3] + p[4] + p[5];
}

QString brano2()
{
    return QStringLiteral(
        "Ieri sera, a Borgomare, un bambino di tre anni è riuscito ad aprire la porta di casa ed è uscito in "
        "strada in pigiama, mentre i genitori erano a cena da amici e la domestica, convinta che dormisse, "
        "guardava la televisione in salotto. Quando ha trovato il lettino vuoto, la donna ha dato l'allarme al "
        "113 denunciando un \"rapimento\", e l'agente di turno ha mandato subito una pattuglia. Mezz'ora dopo i "
        "poliziotti hanno visto il piccolo che camminava tranquillo sul marciapiede di una via vicina, "
        "incuriosito dalle vetrine illuminate, e poco più tardi il bambino dormiva di nuovo nel suo lettino.");
}

const std::array<QString, 4> &riassunti()
{
    static const std::array<QString, 4> r = {
        QStringLiteral("a) Un ragazzo va a pescare con la canna insieme a due amici del porto. Partono nel "
                       "pomeriggio e tornano a sera con un secchio pieno di pesci. I pescatori sono molto contenti, "
                       "perché la tramontana ha portato buoni frutti, e il ragazzo promette che l'estate prossima "
                       "tornerà a pescare con loro."),
        QStringLiteral("b) Un ragazzo in vacanza passa una giornata sul peschereccio dello zio, insieme a lui e al "
                       "suo aiutante. Partono prima dell'alba e calano una rete che la barca trascina sul fondale. I "
                       "due pescatori lavorano senza sosta, ma nel pomeriggio il pesce preso è poco, appena quaranta "
                       "chili, e tornano in porto delusi."),
        QStringLiteral("c) Due pescatori escono in mare prima dell'alba e portano con sé un ragazzo della città. "
                       "Durante la mattina si alza una forte tramontana che rompe la rete e fa ballare la barca. I "
                       "pescatori, spaventati, rientrano in porto senza pesce e il ragazzo giura che non salirà mai "
                       "più su una barca."),
        QStringLiteral("d) Zio Tano racconta al nipote com'era la pesca di una volta, quando il gasolio costava poco "
                       "e il mare era pieno di pesci. Per dimostrarglielo, lo porta con sé sul peschereccio e, grazie "
                       "alla tramontana, in poche ore riempiono la barca di triglie, merluzzi e seppie. Tornano a "
                       "casa felici e la sera vendono il pesce al mercato."),
    };
    return r;
}

QString sintesiTesto()
{
    const auto &r = riassunti();
    return QString(kCR) + kCR + r[0] + kCR + kCR + r[1];
}

QString sintesiTesto2()
{
    const auto &r = riassunti();
    return r[2] + kCR + kCR + r[3];
}

} // namespace qv::lettura
