#include "ui/screens/frmstatistiche.h"

#include "insight/chartreading.h"
#include "insight/statsreport.h"
#include "storage/wording.h"
#include "ui/access/keyboard.h"
#include "ui/widgets/statscharts.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace qv::ui {

using namespace qv::insight;

namespace {

QTableWidget *table(const QString &name, const QStringList &heads, int rows, QWidget *parent)
{
    auto *t = new QTableWidget(rows, int(heads.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(heads);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    QFont head = t->horizontalHeader()->font();
    head.setPointSize(11);
    head.setBold(true);
    t->horizontalHeader()->setFont(head);
    return t;
}

void put(QTableWidget *t, int row, int col, const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    if (col > 0)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setItem(row, col, item);
}

// A chart, with the numbers it draws as its description for a screen reader.
QChartView *view(QChart *chart, const QString &reading, const QString &name, QWidget *parent)
{
    auto *v = new QChartView(chart, parent);
    v->setObjectName(name);
    v->setAccessibleName(chart->title());
    v->setAccessibleDescription(reading);
    v->setRenderHint(QPainter::Antialiasing);
    v->setAcceptDrops(false); // a chart only shows
    return v;
}

// A long answer cut for a table cell; the cell's tool tip has it whole.
QString shortened(const QString &text)
{
    constexpr int kMost = 28;
    return text.size() <= kMost ? text : text.left(kMost - 1).trimmed() + QChar(0x2026);
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

} // namespace

FrmSTATISTICHE::FrmSTATISTICHE(ClassInsight ci, const QString &caption, QWidget *parent)
    : QDialog(parent), ci_(std::move(ci))
{
    setObjectName(QStringLiteral("FrmSTATISTICHE"));
    setWindowTitle(QStringLiteral("Statistiche della classe %1").arg(caption.simplified()));
    setWindowModality(Qt::WindowModal);
    QFont f = font();
    f.setPointSize(12);
    setFont(f);
    const ClassStats &s = ci_.stats;

    auto *layout = new QVBoxLayout(this);
    Labriepilogo = new QLabel(this);
    Labriepilogo->setObjectName(QStringLiteral("Labriepilogo"));
    QFont big = f;
    big.setPointSize(14);
    big.setBold(true);
    Labriepilogo->setFont(big);
    Labriepilogo->setText(QStringLiteral("%1: %2 con un risultato, %3 tutte le prove.")
                              .arg(caption.simplified(),
                                   s.records == 1 ? QStringLiteral("1 alunno") : QStringLiteral("%1 alunni").arg(s.records),
                                   s.complete == 1 ? QStringLiteral("1 ha finito")
                                                   : QStringLiteral("%1 hanno finito").arg(s.complete)));
    layout->addWidget(Labriepilogo);
    Schede = new QTabWidget(this);
    Schede->setObjectName(QStringLiteral("Schede"));
    layout->addWidget(Schede, 1);

    // Page 1: the tests and the profile.
    auto *prove = new QWidget;
    auto *pl = new QVBoxLayout(prove);
    Tabprove = table(QStringLiteral("Tabprove"),
                     {QStringLiteral("Prova"), QStringLiteral("Alunni che l'hanno finita"), QStringLiteral("Minuti medi"),
                      QStringLiteral("Media classe"), QStringLiteral("Media scuola")},
                     kPartCount, prove);
    for (int i = 0; i < kPartCount; ++i) {
        const PartStats &ps = s.parts[size_t(i)];
        put(Tabprove, i, 0, parts()[size_t(i)].title + QStringLiteral(" (su %1)").arg(parts()[size_t(i)].maximum));
        put(Tabprove, i, 1, QString::number(ps.finished));
        put(Tabprove, i, 2, figure(ps.meanMinutes, ps.timed));
        put(Tabprove, i, 3, figure(ci_.profile.classe[size_t(i)], ci_.profile.classeCount[size_t(i)]) + QStringLiteral(" %"));
        put(Tabprove, i, 4, figure(ci_.profile.scuola[size_t(i)], ci_.profile.scuolaCount[size_t(i)]) + QStringLiteral(" %"));
    }
    Tabprove->setFixedHeight(Tabprove->horizontalHeader()->sizeHint().height()
                             + kPartCount * Tabprove->verticalHeader()->defaultSectionSize() + 4);
    pl->addWidget(Tabprove);
    Graficoprofilo = view(profileChart(ci_.profile), profileReading(ci_.profile), QStringLiteral("Graficoprofilo"), prove);
    pl->addWidget(Graficoprofilo, 1);
    Schede->addTab(prove, QStringLiteral("Prove e confronto con la scuola"));

    // Page 2: the sixteen scores.
    auto *punteggi = new QWidget;
    auto *ql = new QVBoxLayout(punteggi);
    ql->addWidget(note(QStringLiteral("Contano solo gli alunni che hanno finito la prova del punteggio."), punteggi));
    Tabpunteggi = table(QStringLiteral("Tabpunteggi"),
                        {QStringLiteral("Punteggio"), QStringLiteral("su"), QStringLiteral("Alunni"), QStringLiteral("Media"),
                         QStringLiteral("Mediana"), QStringLiteral("Minimo"), QStringLiteral("Massimo"),
                         QStringLiteral("Media %")},
                        kFieldCount, punteggi);
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldStats &fs = s.fields[size_t(i)];
        const ScoreField &sf = scoreFields()[size_t(i)];
        const QString none = QStringLiteral("—");
        put(Tabpunteggi, i, 0, sf.title);
        put(Tabpunteggi, i, 1, QString::number(sf.maximum));
        put(Tabpunteggi, i, 2, QString::number(fs.count));
        put(Tabpunteggi, i, 3, figure(fs.mean, fs.count));
        put(Tabpunteggi, i, 4, figure(fs.median, fs.count));
        put(Tabpunteggi, i, 5, fs.count ? QString::number(fs.minimum) : none);
        put(Tabpunteggi, i, 6, fs.count ? QString::number(fs.maximum) : none);
        put(Tabpunteggi, i, 7, fs.count ? figure(fs.percent, fs.count) + QStringLiteral(" %") : none);
    }
    ql->addWidget(Tabpunteggi, 1);
    Schede->addTab(punteggi, QStringLiteral("Punteggi"));

    // Page 3: the score bands of every test.
    auto *fasce = new QWidget;
    auto *fl = new QVBoxLayout(fasce);
    fl->addWidget(note(QStringLiteral("Per ogni prova, quanti alunni tra quelli che l'hanno finita stanno in ogni "
                                      "fascia di punteggio (in percentuale del massimo)."),
                       fasce));
    auto *grid = new QGridLayout;
    for (int i = 0; i < kPartCount; ++i) {
        Graficoprove[size_t(i)] = view(distributionChart(s, Part(i)), distributionReading(s, Part(i)),
                                       QStringLiteral("Grafico_%1").arg(QLatin1String(parts()[size_t(i)].key)), fasce);
        grid->addWidget(Graficoprove[size_t(i)], i / 4, i % 4);
    }
    fl->addLayout(grid, 1);
    Schede->addTab(fasce, QStringLiteral("Fasce di punteggio"));

    // Page 4: the levels.
    auto *livelli = new QWidget;
    auto *ll = new QVBoxLayout(livelli);
    auto *rule = note(levelRule(), livelli);
    rule->setObjectName(QStringLiteral("Labregola"));
    ll->addWidget(rule);
    auto *choose = new QHBoxLayout;
    auto *area = new QLabel(QStringLiteral("Area:"), livelli);
    choose->addWidget(area);
    Comboarea = new QComboBox(livelli);
    Comboarea->setObjectName(QStringLiteral("Comboarea"));
    area->setBuddy(Comboarea);
    for (int a = 0; a < kAreaCount; ++a)
        Comboarea->addItem(areaCaption(Area(a)));
    choose->addWidget(Comboarea);
    choose->addStretch(1);
    ll->addLayout(choose);
    auto *lists = new QGridLayout;
    for (int l = 0; l < kLevelCount; ++l) {
        auto *list = new QListWidget(livelli);
        list->setObjectName(QStringLiteral("Listlivelli%1").arg(l));
        Listlivelli[size_t(l)] = list;
        lists->addWidget(list, 1, l);
    }
    ll->addLayout(lists, 1);
    Tablivelli = table(QStringLiteral("Tablivelli"),
                       {QStringLiteral("Alunno"), QStringLiteral("Italiano"), QStringLiteral("Storia"),
                        QStringLiteral("Geografia"), QStringLiteral("Complessivo")},
                       int(ci_.levels.size()), livelli);
    for (int r = 0; r < int(ci_.levels.size()); ++r) {
        const PupilLevels &pl2 = ci_.levels[size_t(r)];
        put(Tablivelli, r, 0, pl2.nome);
        for (int a = 0; a < kAreaCount; ++a) {
            put(Tablivelli, r, a + 1, levelName(pl2.levels[size_t(a)]));
            Tablivelli->item(r, a + 1)->setTextAlignment(Qt::AlignCenter);
        }
    }
    ll->addWidget(Tablivelli, 1);
    Schede->addTab(livelli, QStringLiteral("Livelli"));
    // The level headers sit above their lists and carry the count.
    for (int l = 0; l < kLevelCount; ++l) {
        auto *head = new QLabel(livelli);
        head->setObjectName(QStringLiteral("Labtitololivello%1").arg(l));
        QFont hf = f;
        hf.setBold(true);
        head->setFont(hf);
        head->setBuddy(Listlivelli[size_t(l)]);
        lists->addWidget(head, 0, l);
    }
    connect(Comboarea, &QComboBox::currentIndexChanged, this, &FrmSTATISTICHE::showArea);
    showArea(0);

    // Per question: the ten hardest items first, then every item of every test.
    const QuestionAnalysis &qa = ci_.questions;
    auto *domande = new QWidget(Schede);
    auto *dl = new QVBoxLayout(domande);
    dl->addWidget(note(qa.covered == qa.records
                           ? (qa.records == 1 ? QStringLiteral("Risposte dell'unico alunno della classe.")
                                              : QStringLiteral("Risposte di tutti gli alunni della classe (%1).").arg(qa.records))
                           : QStringLiteral("Risposte di %1 su %2: i risultati portati da dischi di versioni "
                                            "precedenti non hanno le risposte.")
                                 .arg(counted(qa.covered, "alunno", "alunni"))
                                 .arg(qa.records),
                       domande));
    auto fill = [&qa](QTableWidget *t, const std::vector<int> &which) {
        // The place first, then as much of the text as the column holds.
        t->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Interactive);
        t->setColumnWidth(5, 250);
        for (int r = 0; r < int(which.size()); ++r) {
            const ItemStats &it = qa.items[size_t(which[size_t(r)])];
            const QString place = itemName(it.prova, it.numero);
            const QString text = it.contesto.isEmpty() ? it.testo : QStringLiteral("%1  (in \"%2\")").arg(it.testo, it.contesto);
            put(t, r, 0, place + QStringLiteral(": ") + text);
            put(t, r, 1, QString::number(it.right));
            put(t, r, 2, QString::number(it.wrong));
            put(t, r, 3, QString::number(it.empty));
            put(t, r, 4, it.answered() > 0 ? QStringLiteral("%1 %").arg(qRound(100.0 * it.share())) : QStringLiteral("—"));
            const QString wrong = answerText(it.prova, it.numero, it.commonWrong);
            put(t, r, 5, wrong.isEmpty() ? QString() : QStringLiteral("%1 (%2)").arg(shortened(wrong)).arg(it.commonWrongCount));
            t->item(r, 5)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            // The whole texts, with the right answer, for whoever points at the row.
            const QString tip = QStringLiteral("%1\n%2\nRisposta giusta: %3%4")
                                    .arg(place, text, answerText(it.prova, it.numero, it.chiave),
                                         wrong.isEmpty() ? QString() : QStringLiteral("\nRisposta sbagliata più frequente: ") + wrong);
            for (int c = 0; c < t->columnCount(); ++c)
                t->item(r, c)->setToolTip(tip);
        }
    };
    const QStringList heads = {QStringLiteral("Domanda"), QStringLiteral("Giuste"), QStringLiteral("Sbagliate"),
                               QStringLiteral("Vuote"), QStringLiteral("% giuste"),
                               QStringLiteral("Risposta sbagliata\npiù frequente")};
    auto *hardTitle = new QLabel(QStringLiteral("Le dieci domande più difficili per la classe"), domande);
    QFont bold = f;
    bold.setBold(true);
    hardTitle->setFont(bold);
    dl->addWidget(hardTitle);
    Tabdifficili = table(QStringLiteral("Tabdifficili"), heads, int(qa.hardest.size()), domande);
    fill(Tabdifficili, qa.hardest);
    hardTitle->setBuddy(Tabdifficili);
    dl->addWidget(Tabdifficili, 1);
    std::vector<int> all(qa.items.size());
    for (int i = 0; i < int(all.size()); ++i)
        all[size_t(i)] = i;
    Tabdomande = table(QStringLiteral("Tabdomande"), heads, int(all.size()), domande);
    fill(Tabdomande, all);
    dl->addWidget(Tabdomande, 2);
    Schede->addTab(domande, QStringLiteral("Domande"));

    auto *buttons = new QHBoxLayout;
    cmdstampastat = new QPushButton(QStringLiteral("Stampo le statistiche"), this);
    cmdstampastat->setObjectName(QStringLiteral("cmdstampastat"));
    connect(cmdstampastat, &QPushButton::clicked, this, [this] {
        if (stampa)
            stampa();
    });
    cmdchiudo = new QPushButton(QStringLiteral("Chiudo"), this);
    cmdchiudo->setObjectName(QStringLiteral("cmdchiudo"));
    connect(cmdchiudo, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(cmdstampastat);
    buttons->addStretch(1);
    buttons->addWidget(cmdchiudo);
    layout->addLayout(buttons);
    // Fits a 1024 x 768 screen with its frame and a panel.
    resize(1000, 690);
    readableByKeyboard(this);
}

void FrmSTATISTICHE::addComparison(const std::vector<insight::YearSummary> &years)
{
    auto *page = new QWidget;
    auto *l = new QVBoxLayout(page);
    if (years.size() < 2) {
        l->addWidget(note(QStringLiteral("Non ci sono ancora anni precedenti chiusi con cui confrontare questo."), page));
        l->addStretch(1);
    } else {
        l->addWidget(note(QStringLiteral("I risultati di tutta la scuola, anno per anno: la media di ogni prova e, fra gli "
                                         "alunni che hanno finito tutte le prove, quanti sono a ogni livello."),
                          page));
        const QString reading = insight::comparisonReading(years);
        Graficoanni = view(yearsChart(years, false), reading, QStringLiteral("Graficoanni"), page);
        Graficolivellianni = view(yearsChart(years, true), reading, QStringLiteral("Graficolivellianni"), page);
        l->addWidget(Graficoanni, 1);
        l->addWidget(Graficolivellianni, 1);
    }
    Schede->addTab(page, QStringLiteral("Confronto con gli anni precedenti"));
}

void FrmSTATISTICHE::showArea(int area)
{
    if (area < 0 || area >= kAreaCount)
        return;
    const auto groups = groupsByLevel(ci_.levels, Area(area));
    for (int l = 0; l < kLevelCount; ++l) {
        QListWidget *list = Listlivelli[size_t(l)];
        list->clear();
        list->addItems(groups[size_t(l)]);
        const QString name = levelGroupName(Level(l));
        if (auto *head = findChild<QLabel *>(QStringLiteral("Labtitololivello%1").arg(l)))
            head->setText(QStringLiteral("%1 (%2)").arg(name).arg(groups[size_t(l)].size()));
    }
    readableByKeyboard(this); // the lists are named after their headers
}

} // namespace qv::ui
