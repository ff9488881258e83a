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
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <algorithm>

namespace qv::ui {

namespace {

constexpr unsigned kVerdeChiaro = 8454016; // light green, &H80FF80
constexpr unsigned kRosso = 255;
const QColor kCarta(0xff, 0xfb, 0xe6); // the class chooser's paper

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
    : ArchiveScreen(app, QStringLiteral("ARCHIVIO DEI RISULTATI")), model_(app.session())
{
    setTeacherWindow();
    setBackColor(this, QColor(0xee, 0xf3, 0xf8));
    QWidget *page = makeBody();

    // Design lengths kept for layOut: gaps between controls, least (or fixed) sizes.
    auto gap = [this](QBoxLayout *box, int design) {
        auto *s = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
        box->addSpacerItem(s);
        gaps_.push_back({s, box->direction() == QBoxLayout::LeftToRight ? Qt::Horizontal : Qt::Vertical, design});
    };
    auto least = [this](QWidget *w, int width, int height, bool fixed = false) {
        least_.push_back({w, QSize(width, height), fixed});
    };
    auto row = [] {
        auto *r = new QHBoxLayout;
        r->setSpacing(0);
        return r;
    };
    auto column = [] {
        auto *c = new QVBoxLayout;
        c->setSpacing(0);
        return c;
    };

    Label8 = new QLabel(page);
    Label8->setObjectName("Label8");
    setDesignText(Label8, 22, true);
    least(Label8, 0, 40);

    Label11 = new QLabel(QStringLiteral("Cliccare sui nomi,  nella lista di sinistra,  per vedere i risultatti"), page);
    Label11->setObjectName("Label11");
    setDesignText(Label11, 11);
    least(Label11, 0, 24);

    List1 = new QListWidget(page);
    List1->setObjectName("List1");
    setDesignText(List1, 12);
    List2 = new QListWidget(page);
    List2->setObjectName("List2");
    setDesignText(List2, 11);
    List2->setSelectionMode(QAbstractItemView::NoSelection);
    // The two lists scroll together, line beside line.
    connect(List1->verticalScrollBar(), &QScrollBar::valueChanged, List2->verticalScrollBar(), &QScrollBar::setValue);
    connect(List2->verticalScrollBar(), &QScrollBar::valueChanged, List1->verticalScrollBar(), &QScrollBar::setValue);
    connect(List1, &QListWidget::currentRowChanged, this, &FLstampa::List1_Click);
    List1->setAccessibleName(QStringLiteral("Alunni della classe"));
    List2->setAccessibleName(QStringLiteral("Data della prova"));
    // The lists share the column's width as in the design and give way for what the
    // other controls need beyond their design size. Their height is what the rest leaves:
    // the page asks the height it prefers for its width (the year's label wraps), so the
    // lists' own wish must not count in it.
    least(List1, 150, 60);
    least(List2, 170, 60);
    for (QListWidget *l : {List1, List2})
        l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);

    Label7 = new QLabel(page);
    Label7->setObjectName("Label7");
    setDesignText(Label7, 16, true);
    least(Label7, 424, 34);
    Label12 = new QLabel(page);
    Label12->setObjectName("Label12");
    setDesignText(Label12, 14, true);
    Label12->setAlignment(Qt::AlignCenter);
    Label12->setAutoFillBackground(true);
    keepsRoom(Label12); // hidden for an empty class, the tools' button stays where it is
    least(Label12, 160, 30, true);

    // A button of its design size; the second of a row of the right column is given no
    // width of its own: it takes what is left of the column's 424. The first of such a pair
    // is of its design size exactly, so the second stands where the design has it (a text
    // may leave the button little of its padding).
    auto button = [&](const char *name, const QString &caption, int width, int height, bool fixed = false) {
        auto *b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        setDesignText(b, 11, true);
        least(b, width, height, fixed);
        return b;
    };
    CMDSTAMPA = button("CMDSTAMPA", QStringLiteral("STAMPO il risultato di"), 200, 34, true);
    Label10 = new QLabel(page);
    Label10->setObjectName("Label10");
    setDesignText(Label10, 11, true);
    least(Label10, 0, 34);
    cmdstampaquadro = button("cmdstampaquadro", QStringLiteral("Stampo il quadro della classe"), 424, 34);
    cmdaltraclasse = button("cmdaltraclasse", QStringLiteral("Guardo i RISULTATI di un'ALTRA CLASSE"), 424, 34);
    CMDELIMINO = button("CMDELIMINO", QStringLiteral("ELIMINO dall'archivio il risultato selezionato"), 424, 34);
    CMDESPORTO = button("CMDESPORTO", QStringLiteral("ESPORTO"), 208, 34, true);
    CMDIMPORTO = button("CMDIMPORTO", QStringLiteral("IMPORTO"), 0, 34);
    cmdesportocsv = button("cmdesportocsv", QStringLiteral("Esporto per foglio di calcolo"), 208, 34, true);
    cmdstatistiche = button("cmdstatistiche", QStringLiteral("Statistiche della classe"), 0, 34);
    cmdstrumenti = button("cmdstrumenti", QStringLiteral("Strumenti compensativi"), 0, 34);
    // The teacher's own tools, between the two ways out.
    cmdpassword = button("cmdpassword", QStringLiteral("Cambio la password"), 156, 46);
    cmdcopie = button("cmdcopie", QStringLiteral("Copie di sicurezza"), 156, 46);
    cmdcestino = button("cmdcestino", QStringLiteral("Recupero i risultati\neliminati"), 202, 46);
    cmdcestino->setAccessibleName(QStringLiteral("Recupero i risultati eliminati"));
    // The school year, between the grid and the ways out.
    LabAnno = new QLabel(page);
    LabAnno->setObjectName("LabAnno");
    setDesignText(LabAnno, 12, true);
    LabAnno->setWordWrap(true);
    least(LabAnno, 0, 36);
    cmdanni = button("cmdanni", QStringLiteral("Anni precedenti"), 208, 32);
    cmdchiudoanno = button("cmdchiudoanno", QStringLiteral("Chiudo l'anno scolastico"), 208, 32);
    // The first of its row: it takes what the others leave.
    cmdtorno = button("cmdtorno", QStringLiteral("TORNO all'avvio"), 200, 46);
    CMDESCO = button("CMDESCO", QStringLiteral("ESCO"), 150, 46);
    setDesignText(cmdtorno, 14, true);
    setDesignText(CMDESCO, 14, true);

    // The top: the class and its pupils on the left, the pupil's result and the buttons on
    // the right, one row of buttons under another.
    QVBoxLayout *left = column();
    left->addWidget(Label8);
    gap(left, 2);
    left->addWidget(Label11);
    gap(left, 4);
    QHBoxLayout *lists = row();
    lists->addWidget(List1, 262);
    gap(lists, 4);
    lists->addWidget(List2, 296);
    left->addLayout(lists, 1);

    QVBoxLayout *right = column();
    gap(right, 4);
    right->addWidget(Label7);
    auto rightRow = [&](int above, int between, QWidget *a, QWidget *b) {
        gap(right, above);
        QHBoxLayout *r = row();
        r->addWidget(a, 0, Qt::AlignVCenter);
        if (b) {
            gap(r, between);
            r->addWidget(b, 1, Qt::AlignVCenter);
        }
        right->addLayout(r);
    };
    rightRow(2, 8, Label12, cmdstrumenti);
    rightRow(10, 6, CMDSTAMPA, Label10);
    rightRow(6, 0, cmdstampaquadro, nullptr);
    rightRow(6, 0, cmdaltraclasse, nullptr);
    rightRow(6, 0, CMDELIMINO, nullptr);
    rightRow(6, 8, CMDESPORTO, CMDIMPORTO);
    rightRow(6, 8, cmdesportocsv, cmdstatistiche);
    right->addStretch();

    QHBoxLayout *top = row();
    top->addLayout(left, 1);
    gap(top, 10);
    top->addLayout(right);

    // The result grid. Headings are monospaced, so the runs of blanks of their captions put
    // each piece over its value cell; a cell stands in the grid's column of its piece.
    QVBoxLayout *grid = column();
    const QFont headFont = mono(10);
    auto band = [&](int lines, int height, QList<int> columns) -> Band & {
        auto *g = new QGridLayout;
        g->setSpacing(0);
        g->setContentsMargins(0, 0, 0, 0);
        // What is left of the width goes past the last column, not between the pieces.
        g->setColumnStretch(int(columns.size()), 1);
        grid->addLayout(g);
        bands_.push_back({g, std::move(columns), lines, height});
        return bands_.back();
    };
    // A heading from its line and column; the band's own heading spans every column.
    auto header = [&](Band &b, const char *name, const QString &text, int line, int column, bool toEnd) {
        auto *l = new QLabel(text, page);
        l->setObjectName(QString::fromLatin1(name));
        setDesignText(l, headFont);
        l->setIndent(0);
        l->setMargin(0);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Its height is the band's lines, as the font spaces them (the label's own hint
        // rounds each line up), down to the cells' row: it never pushes the cells down.
        l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        const int at = int(b.columns.indexOf(column));
        b.grid->addWidget(l, line, at, b.lines + 1 - line, toEnd ? int(b.columns.size()) + 1 - at : 1,
                          Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    // A screen reader hears a cell's heading with its value.
    auto cell = [&](Band &b, QLabel *&slot, const QString &name, int column, const QString &heading) {
        auto *l = new QLabel(page);
        l->setObjectName(name);
        setDesignText(l, 13, true);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
        l->setAutoFillBackground(true);
        setBackColor(l, Qt::white);
        least(l, 56, 26, true);
        b.grid->addWidget(l, b.lines + 1, int(b.columns.indexOf(column)), Qt::AlignLeft | Qt::AlignTop);
        setHeadedValue(l, heading);
        slot = l;
    };
    auto six = [&](int i) { return QStringLiteral("Label6_%1").arg(i); };

    {
        Band &b = band(2, 70, {0, 18, 31, 46, 56, 70});
        Label1 = header(b, "Label1", QStringLiteral("Comprensione della lettura\n")
                                         + laidOut({{0, "fatti espl. su 9"}, {18, "lessico - 6"}, {31, "inferenze -13"},
                                                    {46, "scopi -4"}, {56, "sintesi - 2"}}),
                        0, 0, true);
        Label13 = header(b, "Label13", QStringLiteral("Quanti minuti"), 1, 70, false);
        const int cols[] = {0, 18, 31, 46, 56};
        const char *heads[] = {"fatti espl. su 9", "lessico - 6", "inferenze -13", "scopi -4", "sintesi - 2"};
        const QString lettura = QStringLiteral("Comprensione della lettura: ");
        for (int i = 0; i < 5; ++i)
            cell(b, Label6[size_t(i)], six(i), cols[i], lettura + QString::fromUtf8(heads[i]));
        cell(b, Label14, QStringLiteral("Label14"), 70, lettura + QStringLiteral("quanti minuti"));
    }
    {
        Band &b = band(3, 86, {0, 20, 36, 56, 76, 108});
        Label2 = header(b, "Label2", QStringLiteral("Grammatica :\n")
                                         + laidOut({{0, "An. gram. semplice"}, {36, "A.logica semplice"}}) + QLatin1Char('\n')
                                         + laidOut({{0, "su 53"}, {36, "su 34"}}),
                        0, 0, true);
        Label25 = header(b, "Label25", QStringLiteral("Quanti minuti"), 1, 20, false);
        Label15 = header(b, "Label15", QStringLiteral("Quanti minuti"), 1, 56, false);
        // The sentences' own heading starts at character 76, its pieces from there.
        Label3 = header(b, "Label3", QStringLiteral("\n") + laidOut({{0, "Comprensione di frasi ; su 12"}, {32, "Quanti minuti"}}),
                        0, 76, true);
        cell(b, Label6[5], six(5), 0, QStringLiteral("An. gram. semplice su 53"));
        cell(b, Label6[6], six(6), 20, QStringLiteral("An. gram. semplice: quanti minuti"));
        cell(b, Label6[7], six(7), 36, QStringLiteral("A.logica semplice su 34"));
        cell(b, Label22, QStringLiteral("Label22"), 56, QStringLiteral("A.logica semplice: quanti minuti"));
        cell(b, Label6[8], six(8), 76, QStringLiteral("Comprensione di frasi su 12"));
        cell(b, Label16, QStringLiteral("Label16"), 108, QStringLiteral("Comprensione di frasi: quanti minuti"));
    }
    {
        Band &b = band(2, 76, {0, 30, 62, 80, 96});
        Label4 = header(b, "Label4", QStringLiteral("Storia\n")
                                         + laidOut({{0, "relaz. causali semplici-15"}, {30, "relaz. causali complesse -16"},
                                                    {62, "cronologia -20"}}),
                        0, 0, true);
        Label17 = header(b, "Label17", QStringLiteral("minuti cause"), 1, 80, false);
        Label18 = header(b, "Label18", QStringLiteral("minuti cronol"), 1, 96, false);
        cell(b, Label6[9], six(9), 0, QStringLiteral("Storia: relaz. causali semplici-15"));
        cell(b, Label6[10], six(10), 30, QStringLiteral("Storia: relaz. causali complesse -16"));
        cell(b, Label6[11], six(11), 62, QStringLiteral("Storia: cronologia -20"));
        cell(b, Label19, QStringLiteral("Label19"), 80, QStringLiteral("Storia: minuti cause"));
        cell(b, Label20, QStringLiteral("Label20"), 96, QStringLiteral("Storia: minuti cronol"));
    }
    {
        Band &b = band(2, 60, {0, 40, 58, 94});
        Label5 = header(b, "Label5", QStringLiteral("Geografia (Italia)\n")
                                         + laidOut({{0, "Riconoscimento di elementi fisici -22"}, {58, "Riconosc. di regioni e prov. -40"}}),
                        0, 0, true);
        Label26 = header(b, "Label26", QStringLiteral("Quanti minuti"), 1, 40, false);
        Label23 = header(b, "Label23", QStringLiteral("Quanti minuti"), 1, 94, false);
        const QString fisica = QStringLiteral("Riconoscimento di elementi fisici -22");
        const QString politica = QStringLiteral("Riconosc. di regioni e prov. -40");
        cell(b, Label6[12], six(12), 0, fisica);
        cell(b, Label27, QStringLiteral("Label27"), 40, fisica + QStringLiteral(": quanti minuti"));
        cell(b, Label6[13], six(13), 58, politica);
        cell(b, Label24, QStringLiteral("Label24"), 94, politica + QStringLiteral(": quanti minuti"));
    }

    // The school year and its buttons under the grid, under the right column.
    QHBoxLayout *year = row();
    year->addWidget(LabAnno, 1);
    gap(year, 12);
    year->addWidget(cmdanni, 0, Qt::AlignVCenter);
    gap(year, 8);
    year->addWidget(cmdchiudoanno, 0, Qt::AlignVCenter);

    // The ways out at the two ends, the teacher's tools between them.
    QHBoxLayout *bottom = row();
    bottom->addWidget(cmdtorno, 1);
    gap(bottom, 10);
    bottom->addWidget(cmdpassword);
    gap(bottom, 6);
    bottom->addWidget(cmdcopie);
    gap(bottom, 6);
    bottom->addWidget(cmdcestino);
    gap(bottom, 10);
    bottom->addWidget(CMDESCO);

    QVBoxLayout *main = column();
    main->addLayout(top, 1);
    gap(main, 10);
    main->addLayout(grid);
    main->addLayout(year);
    gap(main, 4);
    main->addLayout(bottom);
    mainColumn_ = main;

    // The class chooser, over the page when shown: in the same cell of the page's grid as
    // the rest, at its own place from the page's corner.
    Frame1 = new QGroupBox(QStringLiteral("SCEGLI LA CLASSE"), page);
    Frame1->setObjectName("Frame1");
    setDesignText(Frame1, 14, true);
    Frame1->setAutoFillBackground(true);
    setBackColor(Frame1, kCarta);
    least(Frame1, 360, 420);
    chooser_ = new QGridLayout(Frame1);
    for (int i = 0; i < 10; ++i) {
        auto *l = new ClickLabel(archiveCaption(i), Frame1);
        l->setObjectName(QStringLiteral("Label9_%1").arg(i));
        setDesignText(l, 16, true);
        l->setAlignment(Qt::AlignCenter);
        least(l, 155, 60, true);
        chooser_->addWidget(l, i / 2, i % 2);
        connect(l, &ClickLabel::clicked, this, [this, i] {
            Frame1->hide();
            model_.chooseClass(i);
            List1->setFocus(Qt::OtherFocusReason);
        });
        Label9[size_t(i)] = l;
    }
    Frame1->hide();
    overlay_ = new QVBoxLayout;
    overlay_->addWidget(Frame1, 0, Qt::AlignLeft | Qt::AlignTop);
    overlay_->addStretch();

    page_ = new QGridLayout(page);
    page_->setContentsMargins(0, 0, 0, 0);
    page_->addLayout(main, 0, 0);
    page_->addLayout(overlay_, 0, 0);

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

// The design's lengths on this window's canvas: every gap and least size × the look's factor,
// the grid's columns at their characters of the headings' font as drawn, the chooser's sheets.
void FLstampa::layOut(const Look &look)
{
    mainColumn_->setContentsMargins(look.px(10), look.px(4), look.px(10), look.px(12));
    for (const Gap &g : gaps_) {
        const int n = look.px(g.design);
        g.item->changeSize(g.along == Qt::Horizontal ? n : 0, g.along == Qt::Vertical ? n : 0, QSizePolicy::Fixed,
                           QSizePolicy::Fixed);
    }
    for (const Least &l : least_) {
        const QSize s(look.px(l.design.width()), look.px(l.design.height()));
        if (l.fixed)
            l.w->setFixedSize(s);
        else
            l.w->setMinimumSize(s);
    }

    const QFontMetricsF heading(Label1->font());
    const qreal cw = heading.horizontalAdvance(QString(100, QLatin1Char('0'))) / 100.0;
    const qreal lh = heading.lineSpacing();
    for (const Band &b : bands_) {
        for (int i = 0; i + 1 < b.columns.size(); ++i)
            b.grid->setColumnMinimumWidth(i, int(b.columns[i + 1] * cw) - int(b.columns[i] * cw));
        int used = 0;
        for (int k = 0; k < b.lines; ++k) {
            const int h = int((k + 1) * lh) - int(k * lh);
            b.grid->setRowMinimumHeight(k, h);
            used += h;
        }
        b.grid->setRowMinimumHeight(b.lines, look.px(2));
        used += look.px(2) + look.px(26);
        b.grid->setRowMinimumHeight(b.lines + 2, std::max(0, look.px(b.height) - used));
    }

    Frame1->setStyleSheet(QStringLiteral("QGroupBox#Frame1 { background: %1; border: %2px solid #3c6e3c; border-radius: %3px; "
                                         "margin-top: %4px; }"
                                         "QGroupBox#Frame1::title { subcontrol-origin: margin; left: %5px; top: %6px; }")
                              .arg(kCarta.name())
                              .arg(look.px(3))
                              .arg(look.px(6))
                              .arg(look.px(30))
                              .arg(look.px(14))
                              .arg(look.px(4)));
    for (ClickLabel *l : Label9)
        l->setStyleSheet(QStringLiteral("QLabel { border: %1px solid #3c6e3c; border-radius: %2px; background: #ffffff; "
                                        "color: #123812; }"
                                        "QLabel:hover { background: #dff3df; }")
                             .arg(look.px(2))
                             .arg(look.px(8)));
    // The classes at the design's places from the box's outer edge; the layout starts inside
    // the border and the title's room, which the sheet gives the box.
    const QMargins inside = Frame1->contentsMargins();
    chooser_->setContentsMargins(std::max(0, look.px(20) - inside.left()), std::max(0, look.px(40) - inside.top()),
                                 std::max(0, look.px(20) - inside.right()), std::max(0, look.px(24) - inside.bottom()));
    chooser_->setHorizontalSpacing(look.px(10));
    chooser_->setVerticalSpacing(look.px(14));
    overlay_->setContentsMargins(look.px(330), look.px(110), 0, 0);
    page_->invalidate();
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
