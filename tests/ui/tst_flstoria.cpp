// The two history screens with their real controls, found by name: drops through the
// drag-and-drop board, the magenta marks, the scheme's arrows, the hand-overs to the next
// screens; at the design's size the controls where the design puts them; at 150 % text in
// the readable face on a lab computer's displays every text at its full size and every box
// within reach of the keys and the mouse while the rows scroll.
#include "battery/analysis/storiacontent.h"
#include "startup/datafolder.h"
#include "support/controls.h"
#include "support/displays.h"
#include "support/fakes.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/lineshape.h"
#include "ui/widgets/rowpane.h"

#include <QAbstractButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using test::control;

Q_DECLARE_METATYPE(qv::Screen)

namespace {

// The design's drawing area, and a lab computer's display.
const QList<QSize> kDisplays = {{1016, 730}, {1024, 768}};
const QColor kMagenta(255, 0, 255);

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

QLabel *label(const QWidget *s, const char *name, int k)
{
    return control<QLabel>(s, QString::fromLatin1(name), k);
}

DragDropBoard *board(const QWidget *s)
{
    return s->findChild<DragDropBoard *>();
}

LineShape *linea(const QWidget *s, int n)
{
    return control<LineShape>(s, QStringLiteral("Line%1").arg(n));
}

// Whether `w` is drawn whole, no part of it scrolled or clipped out of sight.
bool inVista(const QWidget *w)
{
    return w->isVisible() && w->visibleRegion().boundingRect() == w->rect();
}

} // namespace

class TstFLstoria : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    Modquorv &st() { return env->app->state(); }

    QVariant stored(const QString &field)
    {
        auto rs = st().dbrisultati->openRecordset(st().tabellaclasse);
        return rs && rs->setBookmark(st().segnalibro) ? rs->field(field) : QVariant();
    }

    // The pupil resumes at stage `arrivo`, part `sub` (a set of the schemes, a half of the
    // chronology).
    void riprendi(int arrivo, int sub)
    {
        st().tipoavvio = kAvvioRipresa;
        st().rsclasse->edit();
        st().rsclasse->setField(QStringLiteral("arrivo"), arrivo);
        st().rsclasse->setField(QStringLiteral("sub"), sub);
        QVERIFY(st().rsclasse->update());
    }

    // The screen shown on `display` with the pupil's presentation, "Ascolta" shown too.
    ScreenBase *mostra(qv::Screen screen, int display, const Presentation &p)
    {
        ScreenBase *w = env->app->load(screen);
        w->window()->setScreen(QGuiApplication::screens().at(display));
        st().strumenti = PupilTools{true, true, p.textPercent, p.readableFont, p.highContrast};
        env->app->show(screen);
        env->app->setPresentation(p);
        QCoreApplication::processEvents();
        return w;
    }

    // Drops, through the board, each statement of the set on show into its box.
    void risolviSchema(FLstoria1 *s)
    {
        Storia1Model &m = s->model();
        for (int k = 1; k <= m.caselle(); ++k)
            for (int i = 0; i < m.caselle(); ++i)
                if (label(s, "Label2", i)->text() == m.chiave(k))
                    board(s)->dropOn(k - 1, i);
    }

    void risolviDate(FLstoria2 *s)
    {
        for (int r = 0; r < 10; ++r)
            for (int i = 0; i < 10; ++i)
                if (label(s, "Label3", i)->text() == s->model().chiave(r))
                    board(s)->dropOn(r, i);
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
        QString e;
        st().dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        QVERIFY2(st().dbrisultati, qPrintable(e));
        st().tabellaclasse = QStringLiteral("prima-B");
        st().rsclasse = st().dbrisultati->openRecordset(st().tabellaclasse);
        Recordset &rs = *st().rsclasse;
        rs.addNew();
        rs.setField(QStringLiteral("nome"), QStringLiteral("NERI SARA"));
        rs.setField(QStringLiteral("arrivo"), 7);
        rs.setField(QStringLiteral("sub"), 1);
        QVERIFY(rs.update());
        rs.move(0, rs.lastModified());
        st().segnalibro = rs.bookmark();
        st().tipoavvio = kAvvioNuovo;
    }
    void cleanup() { env.reset(); }

    void schemesShowTheirBoxesAndArrows()
    {
        env->app->show(Screen::FLstoria1);
        auto *s = env->app->screenAs<FLstoria1>(Screen::FLstoria1);
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->geometry(), s->screen()->geometry()); // the whole display
        QCOMPARE(control<ClickLabel>(s, "Labnuovo")->text(), QStringLiteral("Nuove frasi"));
        QCOMPARE(control<ClickLabel>(s, "Labesco")->text(), QStringLiteral("Esco"));
        QVERIFY(!label(s, "Label1", 3)->isVisible() && !label(s, "Label2", 3)->isVisible());
        for (int n = 1; n <= 12; ++n)
            QCOMPARE(linea(s, n)->isVisible(), n <= 6);
        // The shafts join the boxes: box 0 to box 1, box 1 to box 2.
        QVERIFY(linea(s, 1)->line().p1().y() >= label(s, "Label1", 0)->geometry().bottom());
        QVERIFY(linea(s, 1)->line().p2().y() < label(s, "Label1", 1)->geometry().top());
        QVERIFY(linea(s, 2)->line().p2().y() < label(s, "Label1", 2)->geometry().top());
        foto(s, "flstoria1_semplice");

        for (int n = 1; n <= 5; ++n) {
            risolviSchema(s);
            clicca(control<ClickLabel>(s, "Labnuovo"));
        }
        QCOMPARE(s->model().tiposchema(), 2);
        QCoreApplication::processEvents();
        QVERIFY(label(s, "Label1", 3)->isVisible() && label(s, "Label2", 3)->isVisible());
        for (int n = 1; n <= 12; ++n)
            QCOMPARE(linea(s, n)->isVisible(), n <= 9);
        // Both causes lead to box 2, from either side of its middle.
        const QRect effetto = label(s, "Label1", 2)->geometry();
        QVERIFY(linea(s, 1)->line().p2().y() < effetto.top());
        QVERIFY(linea(s, 7)->line().p2().y() < effetto.top());
        QVERIFY(linea(s, 1)->line().p2().x() < effetto.center().x() && linea(s, 7)->line().p2().x() > effetto.center().x());
        QVERIFY(linea(s, 7)->line().p1().x() > label(s, "Label1", 1)->geometry().left());
        for (int i = 0; i < 4; ++i)
            QVERIFY(inVista(label(s, "Label1", i)));
        foto(s, "flstoria1_complesso");
    }

    void dropsCopyTheTextAndMarkTheStatementMagenta()
    {
        env->app->show(Screen::FLstoria1);
        auto *s = env->app->screenAs<FLstoria1>(Screen::FLstoria1);
        QList<QLabel *> frasi = test::controlRow<QLabel>(s, QStringLiteral("Label2"));
        QList<QLabel *> caselle = test::controlRow<QLabel>(s, QStringLiteral("Label1"));
        const QString testo = frasi[1]->text();
        QVERIFY(!testo.isEmpty());
        QVERIFY(sfondo(frasi[1]) != kMagenta);
        board(s)->dropOn(0, 1);
        QCOMPARE(caselle[0]->text(), testo);
        QCOMPARE(sfondo(frasi[1]), kMagenta);
        QVERIFY(sfondo(frasi[0]) != kMagenta);
        QCOMPARE(frasi[1]->text(), testo); // the source keeps its caption
        board(s)->dropOn(2, 1);            // and can be used again
        QCOMPARE(caselle[2]->text(), testo);
        board(s)->dropOn(2, 0);
        QCOMPARE(caselle[2]->text(), frasi[0]->text());

        // Click-to-place with real mouse clicks.
        clicca(frasi[2]);
        QCOMPARE(board(s)->selected(), 2);
        clicca(caselle[1]);
        QCOMPARE(caselle[1]->text(), frasi[2]->text());
        QCOMPARE(sfondo(frasi[2]), kMagenta);
        foto(s, "flstoria1_marcate");

        // A complete scheme: new set, marks cleared. An incomplete one: message only.
        Storia1Model &m = s->model();
        clicca(control<ClickLabel>(s, "Labnuovo"));
        QVERIFY(env->dialogs.alerts.isEmpty());
        QCOMPARE(m.numesercizio(), 2);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(caselle[i]->text().isEmpty());
            QVERIFY(sfondo(frasi[i]) != kMagenta);
        }
        clicca(control<ClickLabel>(s, "Labnuovo"));
        QCOMPARE(env->dialogs.alerts, QStringList{QStringLiteral("Devi completare l'esercizio")});
    }

    void theWholeChainHandsOverToTheMapTest()
    {
        env->app->show(Screen::FLstoria1);
        auto *s1 = env->app->screenAs<FLstoria1>(Screen::FLstoria1);
        for (int n = 1; n <= 9; ++n) {
            risolviSchema(s1);
            clicca(control<ClickLabel>(s1, "Labnuovo"));
        }
        QCOMPARE(stored("causasem").toInt(), 15);
        QCOMPARE(stored("causacom").toInt(), 16);
        QVERIFY(!s1->isVisible());
        auto *s2 = env->app->screenAs<FLstoria2>(Screen::FLstoria2);
        QVERIFY(s2 && s2->isVisible());
        QCOMPARE(s2->model().parte(), 1);
        auto *seguente = control<ClickLabel>(s2, "Labseguente");
        QCOMPARE(seguente->text(), QStringLiteral("Date seguenti"));
        QCOMPARE(label(s2, "Label1", 0)->text(), cronologiaEvento(5));
        QCOMPARE(label(s2, "Label3", 9)->text(), QStringLiteral("25 aprile 1945"));
        foto(s2, "flstoria2_vuota");

        board(s2)->dropOn(3, 0);
        QCOMPARE(label(s2, "Label2", 3)->text(), QStringLiteral("5 milioni a.f."));
        QCOMPARE(sfondo(label(s2, "Label3", 0)), kMagenta);
        risolviDate(s2);
        QCOMPARE(sfondo(label(s2, "Label3", 0)), kMagenta);
        foto(s2, "flstoria2_piena");
        clicca(seguente);
        QCOMPARE(s2->model().parte(), 2);
        QCOMPARE(stored("sub").toInt(), 2);
        for (int r = 0; r < 10; ++r) {
            QVERIFY(label(s2, "Label2", r)->text().isEmpty());
            QVERIFY(sfondo(label(s2, "Label3", r)) != kMagenta);
        }
        QCOMPARE(label(s2, "Label3", 0)->text(), QStringLiteral("45 000 a.fa"));
        clicca(label(s2, "Label3", 4));
        QCOMPARE(board(s2)->selected(), 4);
        foto(s2, "flstoria2_seconda");
        clicca(label(s2, "Label2", 4));
        QCOMPARE(label(s2, "Label2", 4)->text(), QStringLiteral("1492"));
        QCOMPARE(sfondo(label(s2, "Label3", 4)), kMagenta);
        risolviDate(s2);
        clicca(seguente);
        QCOMPARE(stored("cronolog").toInt(), 20);
        QCOMPARE(stored("arrivo").toInt(), 9);
        QVERIFY(!s2->isVisible());
        QVERIFY(env->app->screen(Screen::FLcartge) && env->app->screen(Screen::FLcartge)->isVisible());
        QVERIFY(env->dialogs.alerts.isEmpty());
    }

    void escoOnTheChronologyEndsTheProgram()
    {
        riprendi(8, 2);
        st().rsclasse->edit();
        st().rsclasse->setField(QStringLiteral("cronolog"), 7);
        QVERIFY(st().rsclasse->update());
        env->app->show(Screen::FLstoria2);
        auto *s2 = env->app->screenAs<FLstoria2>(Screen::FLstoria2);
        QCOMPARE(s2->model().parte(), 2);
        QCOMPARE(label(s2, "Label1", 0)->text(), cronologiaEvento(6));
        clicca(control<ClickLabel>(s2, "Labesco"));
        QCOMPARE(env->exit.ended, 1);
    }

    // At 100 % on the design's area the controls stand where the design puts them (in screen
    // coordinates): the schemes of either kind, the chronology.
    void designPlacesKept_data()
    {
        QTest::addColumn<qv::Screen>("screen");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        const struct {
            qv::Screen screen;
            int sub;
            const char *name;
            QRect place;
        } rows[] = {
            {Screen::FLstoria1, 1, "Labtitolo", {10, 6, 996, 56}},   {Screen::FLstoria1, 1, "Label2_1", {516, 72, 484, 72}},
            {Screen::FLstoria1, 1, "Label2_2", {266, 154, 484, 72}}, {Screen::FLstoria1, 1, "Label1_0", {208, 250, 600, 80}},
            {Screen::FLstoria1, 1, "Label1_2", {208, 502, 600, 80}}, {Screen::FLstoria1, 1, "Labesco", {570, 620, 160, 60}},
            {Screen::FLstoria1, 6, "Label2_3", {516, 154, 484, 72}}, {Screen::FLstoria1, 6, "Label1_0", {16, 250, 450, 80}},
            {Screen::FLstoria1, 6, "Label1_1", {550, 250, 450, 80}}, {Screen::FLstoria1, 6, "Label1_3", {208, 510, 600, 80}},
            {Screen::FLstoria2, 1, "Labtitolo", {10, 4, 996, 42}},   {Screen::FLstoria2, 1, "Label1_0", {10, 50, 610, 54}},
            {Screen::FLstoria2, 1, "Label2_9", {628, 572, 180, 54}}, {Screen::FLstoria2, 1, "Label3_9", {830, 572, 176, 54}},
            {Screen::FLstoria2, 1, "Labascolta", {16, 646, 264, 60}}, {Screen::FLstoria2, 1, "Labesco", {570, 646, 160, 60}},
        };
        for (const auto &r : rows)
            QTest::addRow("%s-%d-%s", screenName(r.screen), r.sub, r.name) << r.screen << r.sub << QString::fromLatin1(r.name)
                                                                          << r.place;
    }
    void designPlacesKept()
    {
        QFETCH(qv::Screen, screen);
        QFETCH(int, sub);
        QFETCH(QString, name);
        QFETCH(QRect, place);
        riprendi(screen == Screen::FLstoria1 ? 7 : 8, sub);
        ScreenBase *s = mostra(screen, 0, {});
        QCOMPARE(s->size(), kDisplays[0]);
        auto *w = control<QWidget>(s, name);
        QCOMPARE(QRect(w->mapTo(s, QPoint()), w->size()), place);
    }

    // 150 % text in the readable face on the design's area and on a lab computer's display:
    // every text at its full size in that face, the rows scrolling where they must, the
    // sources in sight; every box is reached by the keys (brought into view, a source placed
    // there with Enter) and by the mouse (a source picked, the rows scrolled with the bar,
    // the box clicked).
    void largerTextReachesEveryBox_data()
    {
        QTest::addColumn<qv::Screen>("screen");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("display");
        QTest::addColumn<bool>("scrolls");
        for (int d = 0; d < kDisplays.size(); ++d) {
            const QSize z = kDisplays[d];
            QTest::addRow("semplice-%dx%d", z.width(), z.height()) << Screen::FLstoria1 << 1 << d << false;
            QTest::addRow("doppio-%dx%d", z.width(), z.height()) << Screen::FLstoria1 << 6 << d << true;
            QTest::addRow("cronologia-%dx%d", z.width(), z.height()) << Screen::FLstoria2 << 1 << d << true;
        }
    }
    void largerTextReachesEveryBox()
    {
        QFETCH(qv::Screen, screen);
        QFETCH(int, sub);
        QFETCH(int, display);
        QFETCH(bool, scrolls);
        riprendi(screen == Screen::FLstoria1 ? 7 : 8, sub);
        ScreenBase *s = mostra(screen, display, {150, true, false});
        QCOMPARE(s->size(), kDisplays[display]);
        const bool schemi = screen == Screen::FLstoria1;
        auto *riquadro = control<RowPane>(s, schemi ? QStringLiteral("Riquadroschema") : QStringLiteral("Riquadrofatti"));
        QScrollBar *bar = riquadro->verticalScrollBar();
        QCOMPARE(riquadro->scrolls(), scrolls);
        QCOMPARE(bar->isVisible(), scrolls);
        foto(s, QStringLiteral("flstoria-") + QString::fromLatin1(QTest::currentDataTag()));
        const Look look = s->scaler()->look();
        for (QWidget *w : s->findChildren<QWidget *>()) {
            auto *l = qobject_cast<QLabel *>(w);
            auto *b = qobject_cast<QAbstractButton *>(w);
            if (!w->isVisible() || ((!l || l->text().isEmpty()) && (!b || b->text().isEmpty())))
                continue;
            QVERIFY2(hasDesignText(w), qPrintable(w->objectName()));
            QVERIFY2(s->scaler()->textShare(w) >= 0.99, qPrintable(w->objectName()));
            QCOMPARE(w->font().family(), look.font(designTextOf(w)).family());
        }
        const QList<QLabel *> sorgenti = test::controlRow<QLabel>(s, schemi ? QStringLiteral("Label2") : QStringLiteral("Label3"));
        const QList<QLabel *> caselle = test::controlRow<QLabel>(s, schemi ? QStringLiteral("Label1") : QStringLiteral("Label2"));
        const int n = schemi ? static_cast<FLstoria1 *>(s)->model().caselle() : 10;
        if (!schemi) // the dates stay in sight
            for (QLabel *d : sorgenti)
                QVERIFY2(inVista(d), qPrintable(d->objectName()));
        for (int k = 0; k < n; ++k) {
            // The keys: Enter on a source, Down to the box, Enter there.
            QLabel *da = sorgenti[(k + 1) % n];
            bar->setValue(0);
            da->setFocus(Qt::TabFocusReason);
            QTest::keyClick(da, Qt::Key_Return);
            // The focus comes to the box last placed (the one before) or the first one.
            for (int j = 0; j < caselle.size() && QApplication::focusWidget() != caselle[k]; ++j)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), caselle[k]);
            QVERIFY2(inVista(caselle[k]), qPrintable(caselle[k]->objectName()));
            QTest::keyClick(caselle[k], Qt::Key_Return);
            QCOMPARE(caselle[k]->text(), da->text());

            // The mouse: the source picked, the rows paged with the bar towards the box till
            // some of it shows, the box clicked there.
            da = sorgenti[(k + 2) % n];
            bar->setValue(0);
            riquadro->ensureWidgetVisible(da, 0, 0);
            QVERIFY2(inVista(da), qPrintable(da->objectName()));
            clicca(da);
            QCOMPARE(board(s)->selected(), (k + 2) % n);
            for (int page = 0; page < 20 && caselle[k]->visibleRegion().isEmpty(); ++page) {
                const bool giu = caselle[k]->mapTo(riquadro->viewport(), QPoint()).y() > 0;
                const QPoint at(bar->width() / 2, giu ? bar->height() - 3 : 3);
                QTest::mousePress(bar, Qt::LeftButton, {}, at);
                QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
            }
            const QPoint qui = caselle[k]->visibleRegion().boundingRect().center();
            QCOMPARE(s->childAt(caselle[k]->mapTo(s, qui)), caselle[k]);
            QCOMPARE(board(s)->selected(), (k + 2) % n);
            QTest::mouseClick(caselle[k], Qt::LeftButton, {}, qui);
            QCOMPARE(caselle[k]->text(), da->text());
        }
    }
};

// The design's area and a lab computer's display side by side on the offscreen platform,
// before the application starts.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (!test::useDisplays(dir, test::sideBySide(kDisplays)))
        return 1;
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    TstFLstoria t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_flstoria.moc"
