// The two history screens with their real controls: drops through the drag-and-drop
// board, the magenta marks, the scheme's arrows, the hand-overs to the next screens.
#include "battery/analysis/storiacontent.h"
#include "startup/datafolder.h"
#include "support/fakes.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/lineshape.h"

#include <QScreen>
#include <QtTest>

using namespace qv;
using namespace qv::ui;

namespace {

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

    // Drops, through the board, each statement of the set on show into its box.
    void risolviSchema(FLstoria1 *s)
    {
        Storia1Model &m = s->model();
        for (int k = 1; k <= m.caselle(); ++k)
            for (int i = 0; i < m.caselle(); ++i)
                if (s->Label2[size_t(i)]->text() == m.chiave(k))
                    s->board->dropOn(k - 1, i);
    }

    void risolviDate(FLstoria2 *s)
    {
        for (int r = 0; r < 10; ++r)
            for (int i = 0; i < 10; ++i)
                if (s->Label3[size_t(i)]->text() == s->model().chiave(r))
                    s->board->dropOn(r, i);
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
        QCOMPARE(s->Labnuovo->text(), QStringLiteral("Nuove frasi"));
        QCOMPARE(s->Labesco->text(), QStringLiteral("Esco"));
        QVERIFY(s->findChild<QLabel *>("Label1_2") == s->Label1[2]);
        QVERIFY(!s->Label1[3]->isVisible() && !s->Label2[3]->isVisible());
        for (LineShape *l : {s->Line1, s->Line2, s->Line3, s->Line4, s->Line5, s->Line6})
            QVERIFY(l->isVisible());
        for (LineShape *l : {s->Line7, s->Line8, s->Line9, s->Line10, s->Line11, s->Line12})
            QVERIFY(!l->isVisible());
        // The shafts join the boxes: box 0 to box 1, box 1 to box 2.
        QVERIFY(s->Line1->line().p1().y() >= s->Label1[0]->geometry().bottom());
        QVERIFY(s->Line1->line().p2().y() < s->Label1[1]->geometry().top());
        QVERIFY(s->Line2->line().p2().y() < s->Label1[2]->geometry().top());
        foto(s, "flstoria1_semplice");

        for (int n = 1; n <= 5; ++n) {
            risolviSchema(s);
            clicca(s->Labnuovo);
        }
        QCOMPARE(s->model().tiposchema(), 2);
        QVERIFY(s->Label1[3]->isVisible() && s->Label2[3]->isVisible());
        for (LineShape *l : {s->Line1, s->Line2, s->Line3, s->Line4, s->Line5, s->Line6, s->Line7,
                             s->Line8, s->Line9})
            QVERIFY(l->isVisible());
        for (LineShape *l : {s->Line10, s->Line11, s->Line12})
            QVERIFY(!l->isVisible());
        // Both causes lead to box 2.
        QVERIFY(s->Line1->line().p2().y() < s->Label1[2]->geometry().top());
        QVERIFY(s->Line7->line().p2().y() < s->Label1[2]->geometry().top());
        QVERIFY(s->Line7->line().p1().x() > s->Label1[1]->geometry().left());
        for (int i = 0; i < 4; ++i)
            QVERIFY(s->rect().contains(s->Label1[size_t(i)]->geometry()));
        foto(s, "flstoria1_complesso");
    }

    void dropsCopyTheTextAndMarkTheStatementMagenta()
    {
        env->app->show(Screen::FLstoria1);
        auto *s = env->app->screenAs<FLstoria1>(Screen::FLstoria1);
        const QString testo = s->Label2[1]->text();
        QVERIFY(!testo.isEmpty());
        QVERIFY(sfondo(s->Label2[1]) != kMagenta);
        s->board->dropOn(0, 1);
        QCOMPARE(s->Label1[0]->text(), testo);
        QCOMPARE(sfondo(s->Label2[1]), kMagenta);
        QVERIFY(sfondo(s->Label2[0]) != kMagenta);
        QCOMPARE(s->Label2[1]->text(), testo); // the source keeps its caption
        s->board->dropOn(2, 1);                 // and can be used again
        QCOMPARE(s->Label1[2]->text(), testo);
        s->board->dropOn(2, 0);
        QCOMPARE(s->Label1[2]->text(), s->Label2[0]->text());

        // Click-to-place with real mouse clicks.
        clicca(s->Label2[2]);
        QCOMPARE(s->board->selected(), 2);
        clicca(s->Label1[1]);
        QCOMPARE(s->Label1[1]->text(), s->Label2[2]->text());
        QCOMPARE(sfondo(s->Label2[2]), kMagenta);
        foto(s, "flstoria1_marcate");

        // A complete scheme: new set, marks cleared. An incomplete one: message only.
        Storia1Model &m = s->model();
        clicca(s->Labnuovo);
        QVERIFY(env->dialogs.alerts.isEmpty());
        QCOMPARE(m.numesercizio(), 2);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(s->Label1[size_t(i)]->text().isEmpty());
            QVERIFY(sfondo(s->Label2[size_t(i)]) != kMagenta);
        }
        clicca(s->Labnuovo);
        QCOMPARE(env->dialogs.alerts, QStringList{QStringLiteral("Devi completare l'esercizio")});
    }

    void theWholeChainHandsOverToTheMapTest()
    {
        env->app->show(Screen::FLstoria1);
        auto *s1 = env->app->screenAs<FLstoria1>(Screen::FLstoria1);
        for (int n = 1; n <= 9; ++n) {
            risolviSchema(s1);
            clicca(s1->Labnuovo);
        }
        QCOMPARE(stored("causasem").toInt(), 15);
        QCOMPARE(stored("causacom").toInt(), 16);
        QVERIFY(!s1->isVisible());
        auto *s2 = env->app->screenAs<FLstoria2>(Screen::FLstoria2);
        QVERIFY(s2 && s2->isVisible());
        QCOMPARE(s2->model().parte(), 1);
        QCOMPARE(s2->Labseguente->text(), QStringLiteral("Date seguenti"));
        QCOMPARE(s2->Label1[0]->text(), cronologiaEvento(5));
        QCOMPARE(s2->Label3[9]->text(), QStringLiteral("25 aprile 1945"));
        foto(s2, "flstoria2_vuota");

        s2->board->dropOn(3, 0);
        QCOMPARE(s2->Label2[3]->text(), QStringLiteral("5 milioni a.f."));
        QCOMPARE(sfondo(s2->Label3[0]), kMagenta);
        risolviDate(s2);
        QCOMPARE(sfondo(s2->Label3[0]), kMagenta);
        foto(s2, "flstoria2_piena");
        clicca(s2->Labseguente);
        QCOMPARE(s2->model().parte(), 2);
        QCOMPARE(stored("sub").toInt(), 2);
        for (int r = 0; r < 10; ++r) {
            QVERIFY(s2->Label2[size_t(r)]->text().isEmpty());
            QVERIFY(sfondo(s2->Label3[size_t(r)]) != kMagenta);
        }
        QCOMPARE(s2->Label3[0]->text(), QStringLiteral("45 000 a.fa"));
        clicca(s2->Label3[4]);
        QCOMPARE(s2->board->selected(), 4);
        foto(s2, "flstoria2_seconda");
        clicca(s2->Label2[4]);
        QCOMPARE(s2->Label2[4]->text(), QStringLiteral("1492"));
        QCOMPARE(sfondo(s2->Label3[4]), kMagenta);
        risolviDate(s2);
        clicca(s2->Labseguente);
        QCOMPARE(stored("cronolog").toInt(), 20);
        QCOMPARE(stored("arrivo").toInt(), 9);
        QVERIFY(!s2->isVisible());
        QVERIFY(env->app->screen(Screen::FLcartge) && env->app->screen(Screen::FLcartge)->isVisible());
        QVERIFY(env->dialogs.alerts.isEmpty());
    }

    void escoOnTheChronologyEndsTheProgram()
    {
        st().tipoavvio = kAvvioRipresa;
        env->app->state().rsclasse->edit();
        env->app->state().rsclasse->setField(QStringLiteral("arrivo"), 8);
        env->app->state().rsclasse->setField(QStringLiteral("sub"), 2);
        env->app->state().rsclasse->setField(QStringLiteral("cronolog"), 7);
        QVERIFY(env->app->state().rsclasse->update());
        env->app->show(Screen::FLstoria2);
        auto *s2 = env->app->screenAs<FLstoria2>(Screen::FLstoria2);
        QCOMPARE(s2->model().parte(), 2);
        QCOMPARE(s2->Label1[0]->text(), cronologiaEvento(6));
        clicca(s2->Labesco);
        QCOMPARE(env->exit.ended, 1);
    }
};

QTEST_MAIN(TstFLstoria)
#include "tst_flstoria.moc"
