// The two analysis screens with their real controls: layout and legibility, in every
// presentation on a lab computer's display, drops through the board (programmatic and
// click-to-place with mouse clicks), the check of a sentence, the hand-over FLgrasem ->
// FLogsem -> FLfrasi, and "Esco".
#include "battery/analysis/analysiscontent.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "ui/screens/flgrasem.h"
#include "ui/screens/flogsem.h"

#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;

Q_DECLARE_METATYPE(qv::ui::Presentation)

namespace {

QLabel *label(const QWidget *s, const char *name, int k)
{
    return control<QLabel>(s, QString::fromLatin1(name), k);
}

ClickLabel *button(const QWidget *s, const char *name)
{
    return control<ClickLabel>(s, QString::fromLatin1(name));
}

DragDropBoard *board(const QWidget *s)
{
    return s->findChild<DragDropBoard *>();
}

QColor sfondo(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}

void clicca(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void foto(QWidget *w, const QString &nome)
{
    const QString dir = qEnvironmentVariable("QUORVANE_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(dir + QLatin1Char('/') + nome + QStringLiteral(".png"));
}

// The text fits its label on one line, inside the frame.
bool fits(const QLabel *l, const QString &text)
{
    return QFontMetrics(l->font()).horizontalAdvance(text) + 2 * l->frameWidth() + 2 * l->indent() < l->width();
}

// Answers the sentence on show: every box but the last through dropOn, the last with two
// mouse clicks (category, then box).
template<class S>
void risolvi(S *s, const AnalysisSentence &frase, const QStringList &categorie)
{
    const int n = int(frase.elementi.size());
    for (int k = 0; k < n; ++k) {
        QCOMPARE(label(s, "Label6", k)->text(), frase.elementi.at(k));
        const int c = int(categorie.indexOf(frase.categorie.at(k)));
        if (k < n - 1) {
            board(s)->dropOn(k, c);
        } else {
            clicca(label(s, "Label1", c));
            QCOMPARE(board(s)->selected(), c);
            clicca(label(s, "Label2", k));
        }
        QCOMPARE(label(s, "Label2", k)->text(), frase.categorie.at(k));
        QCOMPARE(s->model().box(k), frase.categorie.at(k));
    }
}

// Where a label lays out its text, and whether its text, wrapped if the label wraps, fits there.
bool textFits(const QLabel *l)
{
    QRect area = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    if (l->indent() > 0)
        area.setLeft(area.left() + l->indent());
    const QRect need = QFontMetrics(l->font()).boundingRect(QRect(0, 0, area.width(), 100000),
                                                            Qt::AlignLeft | (l->wordWrap() ? Qt::TextWordWrap : 0), l->text());
    return need.width() <= area.width() && need.height() <= area.height();
}

} // namespace

class TstFLgrasem : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    Modquorv &st() { return env->app->state(); }

    QVariant stored(const QString &field)
    {
        auto rs = st().dbrisultati->openRecordset(st().tabellaclasse);
        return rs && rs->setBookmark(st().segnalibro) ? rs->field(field) : QVariant();
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
        QString e;
        st().dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        QVERIFY2(st().dbrisultati, qPrintable(e));
        st().tabellaclasse = QStringLiteral("prima-D");
        st().rsclasse = st().dbrisultati->openRecordset(st().tabellaclasse);
        Recordset &rs = *st().rsclasse;
        rs.addNew();
        rs.setField(QStringLiteral("nome"), QStringLiteral("GALLI PIETRO"));
        rs.setField(QStringLiteral("arrivo"), 3);
        rs.setField(QStringLiteral("sub"), 1);
        QVERIFY(rs.update());
        rs.move(0, rs.lastModified());
        st().segnalibro = rs.bookmark();
        st().tipoavvio = kAvvioNuovo;
    }
    void cleanup() { env.reset(); }

    void grammarScreenLayoutAndLegibility()
    {
        env->app->show(Screen::FLgrasem);
        auto *s = env->app->screenAs<FLgrasem>(Screen::FLgrasem);
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->geometry(), s->screen()->geometry()); // the whole display
        QCOMPARE(s->windowTitle(), QString("Analisi grammaticale semplificata"));
        QCOMPARE(control<QLabel>(s, "Label4")->text(), QString("Clicca sulle caselle azzurre e, tenendo premuto il tasto del mouse,  "
                                            "trascinale  nelle caselle grigie."));
        QCOMPARE(button(s, "Labseguente")->text(), QString("Frase seguente"));
        QCOMPARE(button(s, "Labesco")->text(), QString("Esco"));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(label(s, "Label1", i)->text(), grammaticaCategorie().at(i));
            QCOMPARE(sfondo(label(s, "Label1", i)), QColor(204, 255, 255));
            QVERIFY(label(s, "Label1", i)->font().pointSize() >= 14);
            QVERIFY(fits(label(s, "Label2", 0), grammaticaCategorie().at(i)));
        }
        QCOMPARE(sfondo(label(s, "Label6", 0)), QColor(255, 192, 192));
        QCOMPARE(sfondo(s), QColor(192, 192, 192));
        QCOMPARE(label(s, "Label6", 0)->text(), QString("Il"));
        QCOMPARE(label(s, "Label6", 7)->text(), QString("nonna"));
        QVERIFY(label(s, "Label6", 8)->text().isEmpty() && label(s, "Label6", 8)->isVisible()); // rows past the sentence stay
        for (const AnalysisSentence &f : grammaticaSentences())
            for (const QString &e : f.elementi)
                QVERIFY2(fits(label(s, "Label6", 0), e), qPrintable(e));
        QVERIFY(label(s, "Label6", 0)->font().pointSize() >= 14);
        QVERIFY(label(s, "Label2", 0)->font().pointSize() >= 14);
        QVERIFY(env->dialogs.alerts.isEmpty());
        foto(s, "flgrasem_vuota");
    }

    // Either screen on a lab computer's display and on the design's area, in the default
    // presentation and at 150 % in the readable face, high contrast or not, with a category in
    // every box ("Ascolta" shown): every text at its full size and whole, nothing on another,
    // the instruction, the categories and the buttons on screen, the rows one below the other
    // in their box, which scrolls exactly when they are taller than it.
    void fitsEveryPresentation_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<Presentation>("presentation");
        const std::pair<const char *, Presentation> looks[] = {
            {"100", {}}, {"100-contrast", {100, false, true}}, {"150-readable", {150, true, false}},
            {"150-readable-contrast", {150, true, true}}};
        for (Screen screen : {Screen::FLgrasem, Screen::FLogsem})
            for (const QSize area : {QSize(1016, 730), QSize(1024, 768)})
                for (const auto &[name, look] : looks)
                    QTest::addRow("%s-%dx%d-%s", screenName(screen), area.width(), area.height(), name)
                        << int(screen) << area << look;
    }
    void fitsEveryPresentation()
    {
        QFETCH(int, screen);
        QFETCH(QSize, area);
        QFETCH(Presentation, presentation);
        if (Screen(screen) == Screen::FLogsem) { // after the grammar test
            Recordset &rs = *st().rsclasse;
            QVERIFY(rs.setBookmark(st().segnalibro) && rs.edit());
            rs.setField("arrivo", 4);
            QVERIFY(rs.update());
        }
        st().strumenti = PupilTools{true, false, presentation.textPercent, presentation.readableFont, presentation.highContrast};
        env->app->show(Screen(screen));
        env->app->setPresentation(presentation);
        ScreenBase *s = env->app->screen(Screen(screen));
        QVERIFY(s && s->isVisible());
        s->window()->showNormal();
        s->window()->resize(area);
        QTRY_COMPARE(s->size(), area);
        const int categorie = int(s->findChildren<QLabel *>(QRegularExpression("^Label1_\\d+$")).size());
        for (int r = 0; r < AnalysisModel::kRighe; ++r)
            board(s)->dropOn(r, r % categorie);
        QCoreApplication::processEvents(); // the layouts take the new size and texts
        auto *pane = control<RowPane>(s, "Riquadrorighe");
        QWidget *rows = pane->rows();
        // The rows' box fits its rows to them once the layouts have had the new texts.
        QTRY_VERIFY(rows->height() >= rows->layout()->totalHeightForWidth(pane->viewport()->width()));

        for (QLabel *l : s->findChildren<QLabel *>()) {
            if (!l->isVisibleTo(s) || l->text().isEmpty())
                continue;
            const QString what = l->objectName() + QStringLiteral(" \"") + l->text() + QLatin1Char('"');
            QVERIFY2(s->scaler()->textShare(l) >= 0.99, qPrintable(what));
            QVERIFY2(textFits(l), qPrintable(what + QStringLiteral(" cut")));
            if (!rows->isAncestorOf(l)) // what does not scroll with the rows lies on the screen
                QVERIFY2(s->rect().contains(QRect(l->mapTo(s, QPoint()), l->size())), qPrintable(what));
        }
        QList<QWidget *> shown;
        for (QWidget *w : s->findChildren<QWidget *>())
            if (w->isVisibleTo(s) && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                shown << w;
        for (QWidget *a : shown)
            for (QWidget *b : shown)
                QVERIFY2(a == b || a->parentWidget() != b->parentWidget() || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + QStringLiteral(" / ") + b->objectName()));
        for (int r = 1; r < AnalysisModel::kRighe; ++r)
            QVERIFY2(label(s, "Label2", r)->y() > label(s, "Label2", r - 1)->geometry().bottom(), qPrintable(QString::number(r)));
        const bool taller = label(s, "Label2", AnalysisModel::kRighe - 1)->geometry().bottom() >= pane->viewport()->height();
        QCOMPARE(pane->scrolls(), taller);
        QTRY_COMPARE(pane->verticalScrollBar()->isVisible(), taller);
        QVERIFY(presentation.largerText() || !taller); // the design's rows fit their box
        QVERIFY(label(s, "Label2", AnalysisModel::kRighe - 1)->geometry().bottom() < rows->height());
        foto(s, QString::fromLatin1(QTest::currentDataTag()));
    }

    void incompleteSentenceAndEsco()
    {
        env->app->show(Screen::FLgrasem);
        auto *s = env->app->screenAs<FLgrasem>(Screen::FLgrasem);
        board(s)->dropOn(0, 0);
        board(s)->dropOn(9, 2); // past the sentence: shown, not needed, not scored
        QCOMPARE(label(s, "Label2", 9)->text(), QString("Verbo"));
        clicca(button(s, "Labseguente"));
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi completare l'esercizio"});
        QCOMPARE(label(s, "Label6", 0)->text(), QString("Il"));
        QCOMPARE(label(s, "Label2", 0)->text(), QString("Articolo"));
        risolvi(s, grammaticaSentences().at(0), grammaticaCategorie());
        foto(s, "flgrasem_piena");
        clicca(button(s, "Labseguente"));
        QCOMPARE(s->model().punti(), qint16(8));
        QCOMPARE(label(s, "Label6", 0)->text(), QString("Ieri"));
        QVERIFY(label(s, "Label2", 9)->text().isEmpty());
        env->clock.advanceSecs(75);
        clicca(button(s, "Labesco"));
        QCOMPARE(env->exit.ended, 1);
        QVERIFY(!st().dbrisultati->isOpen());
        QString e;
        st().dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        QCOMPARE(stored("arrivo").toInt(), 3);
        QCOMPARE(stored("sub").toInt(), 2);
        QCOMPARE(stored("gramsem").toInt(), 8);
        QCOMPARE(stored("temgram").toInt(), 1);
    }

    void bothTestsThroughTheScreensHandOver()
    {
        env->app->show(Screen::FLgrasem);
        auto *g = env->app->screenAs<FLgrasem>(Screen::FLgrasem);
        for (int n = 0; n < 6; ++n) {
            risolvi(g, grammaticaSentences().at(n), grammaticaCategorie());
            clicca(button(g, "Labseguente"));
        }
        QVERIFY(env->dialogs.alerts.isEmpty());
        QCOMPARE(stored("gramsem").toInt(), 53);
        QCOMPARE(stored("arrivo").toInt(), 4);
        QCOMPARE(stored("sub").toInt(), 1);
        QVERIFY(!g->isVisible());

        auto *l = env->app->screenAs<FLogsem>(Screen::FLogsem);
        QVERIFY(l && l->isVisible());
        QCOMPARE(st().tipoavvio, kAvvioNuovo);
        QCOMPARE(l->windowTitle(), QString("Analisi logica semplificata"));
        QCOMPARE(control<QLabel>(l, "Label4")->text(), QString("Clicca sulle caselle azzurre e, tenendo premuto il tasto del mouse, "
                                            "trascinale  nelle caselle grigie."));
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(label(l, "Label1", i)->text(), logicaCategorie().at(i));
            QCOMPARE(sfondo(label(l, "Label1", i)), QColor(192, 192, 255));
            QVERIFY(fits(label(l, "Label2", 0), logicaCategorie().at(i)));
            QVERIFY(fits(label(l, "Label1", i), logicaCategorie().at(i)));
        }
        for (const AnalysisSentence &f : logicaSentences())
            for (const QString &e : f.elementi)
                QVERIFY2(fits(label(l, "Label6", 0), e), qPrintable(e));
        QCOMPARE(sfondo(label(l, "Label6", 0)), QColor(255, 224, 192));
        QVERIFY(sfondo(label(l, "Label2", 0)) != QColor(192, 192, 192));
        QCOMPARE(label(l, "Label6", 0)->text(), logicaSentences().at(0).elementi.at(0));
        foto(l, "flogsem_vuota");
        for (int n = 0; n < 6; ++n) {
            risolvi(l, logicaSentences().at(n), logicaCategorie());
            if (n == 0)
                foto(l, "flogsem_piena");
            clicca(button(l, "Labseguente"));
            if (n == 0) {
                QCOMPARE(sfondo(label(l, "Label2", 0)), QColor(192, 192, 192)); // silver from the change on
                QVERIFY(label(l, "Label2", 0)->text().isEmpty());
            }
        }
        QCOMPARE(stored("logsem").toInt(), 34);
        QCOMPARE(stored("arrivo").toInt(), 6);
        QCOMPARE(stored("sub").toInt(), 1);
        QVERIFY(!l->isVisible());
        QVERIFY(env->app->screen(Screen::FLfrasi));
        QCOMPARE(env->exit.ended, 0);
    }

    void resumedLogicShowsItsSentence()
    {
        Recordset &rs = *st().rsclasse;
        QVERIFY(rs.setBookmark(st().segnalibro) && rs.edit());
        rs.setField("arrivo", 5);
        rs.setField("sub", 3);
        rs.setField("logsem", 11);
        rs.setField("temlogica", 2);
        QVERIFY(rs.update());
        st().tipoavvio = kAvvioRipresa;
        env->app->show(Screen::FLogsem);
        auto *l = env->app->screenAs<FLogsem>(Screen::FLogsem);
        QCOMPARE(l->model().numfrase(), qint16(3));
        QCOMPARE(label(l, "Label6", 0)->text(), logicaSentences().at(2).elementi.at(0));
        QCOMPARE(l->model().punti(), qint16(11));
    }
};

QTEST_MAIN(TstFLgrasem)
#include "tst_flgrasem.moc"
