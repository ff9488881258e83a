#include "ui/screens/flstampa.h"

#include "storage/teacherpassword.h"
#include "storage/wording.h"
#include "ui/access/screenaccess.h"
#include "ui/printing/reportprinter.h"
#include "ui/printing/statsprinter.h"
#include "ui/screens/frmstatistiche.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/listdialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QScrollBar>

namespace qv::ui {

namespace {

constexpr unsigned kVerdeChiaro = 8454016; // light green, &H80FF80
constexpr unsigned kRosso = 255;

QFont mono(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// One header piece: its text at a character column of its header line.
struct Piece {
    int column;
    const char *text;
};

// A header line laid out with runs of blanks, so each piece starts at its column.
QString laidOut(std::initializer_list<Piece> pieces)
{
    QString line;
    for (const Piece &p : pieces) {
        if (line.size() < p.column)
            line += QString(p.column - int(line.size()), QLatin1Char(' '));
        else if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += QString::fromUtf8(p.text);
    }
    return line;
}

} // namespace

FLstampa::FLstampa(Application &app)
    : ScreenBase(app, QStringLiteral("ARCHIVIO DEI RISULTATI")), model_(app.session())
{
    setTeacherWindow();
    setBackColor(this, QColor(0xee, 0xf3, 0xf8));

    Label8 = new QLabel(this);
    Label8->setObjectName("Label8");
    Label8->setFont(sans(22, true));
    Label8->setGeometry(10, 4, 560, 40);

    Label11 = new QLabel(QStringLiteral("Cliccare sui nomi,  nella lista di sinistra,  per vedere i risultatti"), this);
    Label11->setObjectName("Label11");
    Label11->setFont(sans(11));
    Label11->setGeometry(10, 46, 560, 24);

    List1 = new QListWidget(this);
    List1->setObjectName("List1");
    List1->setFont(sans(12));
    List1->setGeometry(10, 74, 262, 256);
    List2 = new QListWidget(this);
    List2->setObjectName("List2");
    List2->setFont(sans(11));
    List2->setGeometry(276, 74, 296, 256);
    List2->setSelectionMode(QAbstractItemView::NoSelection);
    // The two lists scroll together, line beside line.
    connect(List1->verticalScrollBar(), &QScrollBar::valueChanged, List2->verticalScrollBar(), &QScrollBar::setValue);
    connect(List2->verticalScrollBar(), &QScrollBar::valueChanged, List1->verticalScrollBar(), &QScrollBar::setValue);
    connect(List1, &QListWidget::currentRowChanged, this, &FLstampa::List1_Click);
    List1->setAccessibleName(QStringLiteral("Alunni della classe"));
    List2->setAccessibleName(QStringLiteral("Data della prova"));

    Label7 = new QLabel(this);
    Label7->setObjectName("Label7");
    Label7->setFont(sans(16, true));
    Label7->setGeometry(582, 8, 424, 34);
    Label12 = new QLabel(this);
    Label12->setObjectName("Label12");
    Label12->setFont(sans(14, true));
    Label12->setAlignment(Qt::AlignCenter);
    Label12->setAutoFillBackground(true);
    Label12->setGeometry(582, 46, 160, 30);

    auto button = [this](const char *name, const QString &caption, const QRect &r) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(sans(11, true));
        b->setGeometry(r);
        return b;
    };
    CMDSTAMPA = button("CMDSTAMPA", QStringLiteral("STAMPO il risultato di"), QRect(582, 88, 200, 34));
    Label10 = new QLabel(this);
    Label10->setObjectName("Label10");
    Label10->setFont(sans(11, true));
    Label10->setGeometry(788, 88, 218, 34);
    cmdstampaquadro = button("cmdstampaquadro", QStringLiteral("Stampo il quadro della classe"), QRect(582, 128, 424, 34));
    cmdaltraclasse = button("cmdaltraclasse", QStringLiteral("Guardo i RISULTATI di un'ALTRA CLASSE"), QRect(582, 168, 424, 34));
    CMDELIMINO = button("CMDELIMINO", QStringLiteral("ELIMINO dall'archivio il risultato selezionato"), QRect(582, 208, 424, 34));
    CMDESPORTO = button("CMDESPORTO", QStringLiteral("ESPORTO"), QRect(582, 248, 208, 34));
    CMDIMPORTO = button("CMDIMPORTO", QStringLiteral("IMPORTO"), QRect(798, 248, 208, 34));
    cmdesportocsv = button("cmdesportocsv", QStringLiteral("Esporto per foglio di calcolo"), QRect(582, 288, 208, 34));
    cmdstatistiche = button("cmdstatistiche", QStringLiteral("Statistiche della classe"), QRect(798, 288, 208, 34));
    cmdstrumenti = button("cmdstrumenti", QStringLiteral("Strumenti compensativi"), QRect(750, 44, 256, 34));
    // The teacher's own tools, between the two ways out.
    cmdpassword = button("cmdpassword", QStringLiteral("Cambio la password"), QRect(320, 672, 156, 46));
    cmdcopie = button("cmdcopie", QStringLiteral("Copie di sicurezza"), QRect(482, 672, 156, 46));
    cmdcestino = button("cmdcestino", QStringLiteral("Recupero i risultati\neliminati"), QRect(644, 672, 202, 46));
    cmdcestino->setAccessibleName(QStringLiteral("Recupero i risultati eliminati"));
    // The school year, between the grid and the ways out.
    LabAnno = new QLabel(this);
    LabAnno->setObjectName("LabAnno");
    LabAnno->setFont(sans(12, true));
    LabAnno->setWordWrap(true);
    LabAnno->setGeometry(10, 632, 560, 36);
    cmdanni = button("cmdanni", QStringLiteral("Anni precedenti"), QRect(582, 634, 208, 32));
    cmdchiudoanno = button("cmdchiudoanno", QStringLiteral("Chiudo l'anno scolastico"), QRect(798, 634, 208, 32));
    cmdtorno = button("cmdtorno", QStringLiteral("TORNO all'avvio"), QRect(10, 672, 300, 46));
    CMDESCO = button("CMDESCO", QStringLiteral("ESCO"), QRect(856, 672, 150, 46));
    cmdtorno->setFont(sans(14, true));
    CMDESCO->setFont(sans(14, true));

    // The result grid. Headers are monospaced, so the runs of blanks of their captions put
    // each piece over its value cell; a cell stands at the column of its piece.
    const QFont headFont = mono(10);
    const double cw = QFontMetricsF(headFont).horizontalAdvance(QString(100, QLatin1Char('0'))) / 100.0;
    const double lh = QFontMetricsF(headFont).lineSpacing();
    auto header = [&](const char *name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(headFont);
        l->setIndent(0);
        l->setMargin(0);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->adjustSize();
        l->move(x, y);
        return l;
    };
    // A screen reader hears a cell's heading with its value.
    auto cell = [&](QLabel *&slot, const QString &name, int x0, int column, int y, const QString &heading) {
        auto *l = new QLabel(this);
        l->setObjectName(name);
        l->setFont(sans(13, true));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
        l->setAutoFillBackground(true);
        setBackColor(l, Qt::white);
        l->setGeometry(x0 + int(column * cw), y, 56, 26);
        setHeadedValue(l, heading);
        slot = l;
    };
    auto six = [&](int i) { return QStringLiteral("Label6_%1").arg(i); };

    const int x0 = 10;
    int y = 340;
    Label1 = header("Label1", QStringLiteral("Comprensione della lettura\n")
                                  + laidOut({{0, "fatti espl. su 9"}, {18, "lessico - 6"}, {31, "inferenze -13"},
                                             {46, "scopi -4"}, {56, "sintesi - 2"}}),
                    x0, y);
    Label13 = header("Label13", QStringLiteral("Quanti minuti"), x0 + int(70 * cw), y + int(lh));
    {
        const int cy = y + int(2 * lh) + 2;
        const int cols[] = {0, 18, 31, 46, 56};
        const char *heads[] = {"fatti espl. su 9", "lessico - 6", "inferenze -13", "scopi -4", "sintesi - 2"};
        const QString lettura = QStringLiteral("Comprensione della lettura: ");
        for (int i = 0; i < 5; ++i)
            cell(Label6[size_t(i)], six(i), x0, cols[i], cy, lettura + QString::fromUtf8(heads[i]));
        cell(Label14, QStringLiteral("Label14"), x0, 70, cy, lettura + QStringLiteral("quanti minuti"));
    }

    y = 410;
    Label2 = header("Label2", QStringLiteral("Grammatica :\n")
                                  + laidOut({{0, "An. gram. semplice"}, {36, "A.logica semplice"}}) + QLatin1Char('\n')
                                  + laidOut({{0, "su 53"}, {36, "su 34"}}),
                    x0, y);
    Label25 = header("Label25", QStringLiteral("Quanti minuti"), x0 + int(20 * cw), y + int(lh));
    Label15 = header("Label15", QStringLiteral("Quanti minuti"), x0 + int(56 * cw), y + int(lh));
    const int gx = x0 + int(76 * cw);
    Label3 = header("Label3", QStringLiteral("\n") + laidOut({{0, "Comprensione di frasi ; su 12"}, {32, "Quanti minuti"}}),
                    gx, y);
    {
        const int cy = y + int(3 * lh) + 2;
        cell(Label6[5], six(5), x0, 0, cy, QStringLiteral("An. gram. semplice su 53"));
        cell(Label6[6], six(6), x0, 20, cy, QStringLiteral("An. gram. semplice: quanti minuti"));
        cell(Label6[7], six(7), x0, 36, cy, QStringLiteral("A.logica semplice su 34"));
        cell(Label22, QStringLiteral("Label22"), x0, 56, cy, QStringLiteral("A.logica semplice: quanti minuti"));
        cell(Label6[8], six(8), gx, 0, cy, QStringLiteral("Comprensione di frasi su 12"));
        cell(Label16, QStringLiteral("Label16"), gx, 32, cy, QStringLiteral("Comprensione di frasi: quanti minuti"));
    }

    y = 496;
    Label4 = header("Label4", QStringLiteral("Storia\n")
                                  + laidOut({{0, "relaz. causali semplici-15"}, {30, "relaz. causali complesse -16"},
                                             {62, "cronologia -20"}}),
                    x0, y);
    Label17 = header("Label17", QStringLiteral("minuti cause"), x0 + int(80 * cw), y + int(lh));
    Label18 = header("Label18", QStringLiteral("minuti cronol"), x0 + int(96 * cw), y + int(lh));
    {
        const int cy = y + int(2 * lh) + 2;
        cell(Label6[9], six(9), x0, 0, cy, QStringLiteral("Storia: relaz. causali semplici-15"));
        cell(Label6[10], six(10), x0, 30, cy, QStringLiteral("Storia: relaz. causali complesse -16"));
        cell(Label6[11], six(11), x0, 62, cy, QStringLiteral("Storia: cronologia -20"));
        cell(Label19, QStringLiteral("Label19"), x0, 80, cy, QStringLiteral("Storia: minuti cause"));
        cell(Label20, QStringLiteral("Label20"), x0, 96, cy, QStringLiteral("Storia: minuti cronol"));
    }

    y = 572;
    Label5 = header("Label5", QStringLiteral("Geografia (Italia)\n")
                                  + laidOut({{0, "Riconoscimento di elementi fisici -22"}, {58, "Riconosc. di regioni e prov. -40"}}),
                    x0, y);
    Label26 = header("Label26", QStringLiteral("Quanti minuti"), x0 + int(40 * cw), y + int(lh));
    Label23 = header("Label23", QStringLiteral("Quanti minuti"), x0 + int(94 * cw), y + int(lh));
    {
        const int cy = y + int(2 * lh) + 2;
        const QString fisica = QStringLiteral("Riconoscimento di elementi fisici -22");
        const QString politica = QStringLiteral("Riconosc. di regioni e prov. -40");
        cell(Label6[12], six(12), x0, 0, cy, fisica);
        cell(Label27, QStringLiteral("Label27"), x0, 40, cy, fisica + QStringLiteral(": quanti minuti"));
        cell(Label6[13], six(13), x0, 58, cy, politica);
        cell(Label24, QStringLiteral("Label24"), x0, 94, cy, politica + QStringLiteral(": quanti minuti"));
    }
    // The class chooser, over the screen when shown.
    Frame1 = new QGroupBox(QStringLiteral("SCEGLI LA CLASSE"), this);
    Frame1->setObjectName("Frame1");
    Frame1->setFont(sans(14, true));
    Frame1->setGeometry(330, 110, 360, 420);
    Frame1->setAutoFillBackground(true);
    setBackColor(Frame1, QColor(0xff, 0xfb, 0xe6));
    Frame1->setStyleSheet(QStringLiteral("QGroupBox#Frame1 { border: 3px solid #3c6e3c; border-radius: 6px; margin-top: 30px; }"
                                         "QGroupBox#Frame1::title { subcontrol-origin: margin; left: 14px; top: 4px; }"));
    for (int i = 0; i < 10; ++i) {
        auto *l = new ClickLabel(archiveCaption(i), Frame1);
        l->setObjectName(QStringLiteral("Label9_%1").arg(i));
        l->setFont(sans(16, true));
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("QLabel { border: 2px solid #3c6e3c; border-radius: 8px; background: #ffffff; color: #123812; }"
                                        "QLabel:hover { background: #dff3df; }"));
        l->setGeometry(20 + (i % 2) * 165, 40 + (i / 2) * 74, 155, 60);
        connect(l, &ClickLabel::clicked, this, [this, i] {
            Frame1->hide();
            model_.chooseClass(i);
            List1->setFocus(Qt::OtherFocusReason);
        });
        Label9[size_t(i)] = l;
    }
    Frame1->hide();

    model_.changed = [this] { redraw(); };

    connect(cmdaltraclasse, &QPushButton::clicked, this, [this] {
        Frame1->raise();
        Frame1->show();
        Label9[0]->setFocus(Qt::OtherFocusReason);
    });
    connect(CMDELIMINO, &QPushButton::clicked, this, [this] { model_.elimino(); });
    connect(CMDSTAMPA, &QPushButton::clicked, this, [this] {
        if (!model_.hasPupil()) {
            session().dialogs.alert(QStringLiteral("Non c'è nessun risultato da stampare: la classe è vuota."));
            return;
        }
        stampa(model_.reportAlunno());
    });
    connect(cmdstampaquadro, &QPushButton::clicked, this, [this] { stampa(model_.reportClasse()); });
    connect(CMDESPORTO, &QPushButton::clicked, this, [this] { model_.CreaTabellaEXP(); });
    connect(CMDIMPORTO, &QPushButton::clicked, this, [this] { model_.importo(); });
    connect(cmdesportocsv, &QPushButton::clicked, this, [this] { model_.esportoCsv(); });
    connect(cmdstatistiche, &QPushButton::clicked, this, &FLstampa::statistiche);
    connect(cmdpassword, &QPushButton::clicked, this, [this] { model_.cambioPassword(); });
    connect(cmdstrumenti, &QPushButton::clicked, this, [this] { model_.strumentiAlunno(); });
    connect(cmdcestino, &QPushButton::clicked, this, &FLstampa::cestino);
    connect(cmdcopie, &QPushButton::clicked, this, &FLstampa::copie);
    connect(cmdanni, &QPushButton::clicked, this, [this] {
        if (model_.annoPassato())
            model_.tornoAnnoInCorso();
        else
            anni();
    });
    connect(cmdchiudoanno, &QPushButton::clicked, this, [this] { model_.chiudoAnno(); });
    connect(cmdtorno, &QPushButton::clicked, this, [this] {
        leaveArchive(session());
        app_.show(Screen::FLINIZIO);
        hide();
    });
    connect(CMDESCO, &QPushButton::clicked, this, [this] { session().closeAndExit(); });

    showPupil(0);
}

void FLstampa::activate()
{
    move(0, 0);
    redraw();
}

void FLstampa::openFromStart(const QString &nomeclasse)
{
    Frame1->hide();
    Label8->setText(nomeclasse);
    model_.openFromStart(nomeclasse);
    app().show(Screen::FLstampa);
}

PdfChooser FLstampa::pdfChooser()
{
    return [this](const QString &name) { return model_.choosePdfFile(name); };
}

void FLstampa::redraw()
{
    redrawing_ = true;
    Label8->setText(model_.caption());
    List1->clear();
    List2->clear();
    const ResultMatrix &v = model_.valori();
    for (int i = 1; i <= v.numalunni(); ++i) {
        List1->addItem(model_.nomeInElenco(i));
        List2->addItem(shownStamp(v.cell(i, 2))); // the model keeps the record's key
    }
    if (model_.hasPupil()) {
        List1->setCurrentRow(model_.rigascelta());
        List1->scrollToItem(List1->currentItem());
    }
    redrawing_ = false;
    showPupil(model_.rigascelta() + 1);
    const bool any = model_.hasPupil();
    CMDSTAMPA->setEnabled(any);
    CMDELIMINO->setEnabled(any);
    cmdstrumenti->setEnabled(any);
    redrawYear();
}

void FLstampa::showPupil(int r)
{
    const ResultMatrix &v = model_.valori();
    const bool valid = r >= 1 && r <= v.numalunni();
    Label7->setText(v.cell(r, 1));
    Label10->setText(v.cell(r, 1));
    if (valid) {
        const bool finito = v.finished(r);
        Label12->setText(finito ? QStringLiteral("Finito") : QStringLiteral("Da finire"));
        setBackColor(Label12, vbColor(finito ? kVerdeChiaro : kRosso));
        Label12->show();
    } else {
        Label12->hide();
    }
    // Label6(6) shows the grammar minutes; gramcom (column 9) is printed only.
    static const int sixColumns[14] = {3, 4, 5, 6, 7, 8, 20, 10, 11, 12, 13, 14, 15, 16};
    for (int i = 0; i < 14; ++i)
        Label6[size_t(i)]->setText(v.cell(r, sixColumns[i]));
    Label14->setText(v.cell(r, 19));
    Label22->setText(v.cell(r, 21));
    Label16->setText(v.cell(r, 22));
    Label19->setText(v.cell(r, 23));
    Label20->setText(v.cell(r, 24));
    Label27->setText(v.cell(r, 25));
    Label24->setText(v.cell(r, 26));
}

void FLstampa::List1_Click(int row)
{
    if (redrawing_ || row < 0)
        return;
    model_.select(row);
    List2->setCurrentRow(row);
    showPupil(row + 1);
}

void FLstampa::stampa(const Report &report)
{
    const PrintOutcome o = printReport(report, pdfChooser(), forcePdf);
    const QString m = outcomeMessage(o);
    if (!m.isEmpty())
        session().dialogs.alert(m);
}

void FLstampa::statistiche()
{
    Modquorv &st = session().state;
    insight::ClassInsight ci;
    QString e;
    if (!st.dbrisultati || !insight::classInsight(*st.dbrisultati, st.tabellaclasse, ci, &e)) {
        session().dialogs.alert(QStringLiteral("Non riesco a calcolare le statistiche della classe. %1").arg(e));
        return;
    }
    const QString caption = model_.caption();
    auto *d = new FrmSTATISTICHE(std::move(ci), caption, this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->addComparison(model_.confronto());
    d->stampa = [this, d, caption] {
        const PrintOutcome o = printStatistics(d->insight(), caption, pdfChooser(), forcePdf);
        if (const QString m = outcomeMessage(o); !m.isEmpty())
            session().dialogs.alert(m);
    };
    d->open();
}

void FLstampa::cestino()
{
    auto *d = new ListDialog(QStringLiteral("FrmCESTINO"), QStringLiteral("Risultati eliminati"),
                             QStringLiteral("I risultati eliminati dall'archivio restano qui finché non svuoti il cestino. "
                                            "Scegline uno per rimetterlo nella sua classe."),
                             this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    auto rows = std::make_shared<QList<DeletedResult>>();
    auto refill = [this, d, rows] {
        *rows = model_.cestino();
        QStringList text;
        for (const DeletedResult &r : *rows) {
            const int index = classIndexOfTable(r.classe);
            text << QStringLiteral("%1   —   %2   —   eliminato il %3   (data della prova: %4)")
                        .arg(r.nome, index >= 0 ? archiveCaption(index).simplified() : r.classe,
                             shownStamp(r.eliminato), shownStamp(r.data));
        }
        d->setRows(text);
    };
    d->addAction(QStringLiteral("cmdrecupero"), QStringLiteral("Recupero il risultato scelto"), true, [this, d, rows, refill] {
        if (const int i = d->currentRow(); i >= 0 && i < rows->size()) {
            model_.recupero(rows->at(i).id);
            refill();
        }
    });
    d->addAction(QStringLiteral("cmdcancelloperSempre"), QStringLiteral("Cancello per sempre, anche dalle copie"), true,
                 [this, d, rows, refill] {
                     if (const int i = d->currentRow(); i >= 0 && i < rows->size()) {
                         model_.cancelloPerSempre(rows->at(i).id);
                         refill();
                     }
                 });
    d->addAction(QStringLiteral("cmdsvuoto"), QStringLiteral("Svuoto il cestino"), false, [this, refill] {
        model_.svuotoCestino();
        refill();
    });
    refill();
    d->open();
}

void FLstampa::copie()
{
    auto *d = new ListDialog(QStringLiteral("FrmCOPIE"), QStringLiteral("Copie di sicurezza"),
                             QStringLiteral("A ogni avvio il programma salva una copia dei risultati, se sono cambiati "
                                            "(si tengono le 30 più recenti). Una copia ripristinata prende il posto dei "
                                            "risultati di tutte le classi."),
                             this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    auto rows = std::make_shared<QList<BackupInfo>>();
    auto refill = [this, d, rows] {
        *rows = model_.copie();
        QStringList text, notes;
        QList<bool> usable;
        for (const BackupInfo &c : *rows) {
            const QString when = c.when.isValid() ? shownTime(c.when, true)
                                                  : QFileInfo(c.file).fileName();
            if (c.damaged) {
                text << QStringLiteral("%1   —   DANNEGGIATA: %2").arg(when, c.problem);
            } else {
                QStringList perClass;
                int total = 0;
                for (int i = 0; i < c.counts.size(); ++i) {
                    perClass << QStringLiteral("%1: %2").arg(archiveCaption(i).simplified().mid(6)).arg(c.counts[i]);
                    total += c.counts[i];
                }
                text << QStringLiteral("%1   —   %2   (%3)")
                            .arg(when, counted(total, "risultato", "risultati"),
                                 perClass.join(QStringLiteral(", ")));
            }
            usable << !c.damaged;
            notes << (c.damaged ? QStringLiteral("Questa copia è danneggiata e non si può ripristinare: %1. Scegli "
                                                 "un'altra copia.")
                                      .arg(c.problem)
                                : QString());
        }
        d->setRows(text, usable, notes);
    };
    d->addAction(QStringLiteral("cmdripristino"), QStringLiteral("Ripristino questa copia"), true, [this, d, rows, refill] {
        if (const int i = d->currentRow(); i >= 0 && i < rows->size()) {
            model_.ripristino(rows->at(i));
            refill();
        }
    });
    refill();
    d->open();
}

} // namespace qv::ui
