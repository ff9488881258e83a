// The two analysis screens with their real controls: layout and legibility, drops through
// the board (programmatic and click-to-place with mouse clicks), the check of a sentence,
// the hand-over FLgrasem -> FLogsem -> FLfrasi, and "Esco".
#include "battery/analysis/analysiscontent.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"
#include "ui/screens/flgrasem.h"
#include "ui/screens/flogsem.h"

#include <QScreen>
#include <QtTest>

using namespace qv;
using namespace qv::ui;

namespace {

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
        QCOMPARE(s->Label6[size_t(k)]->text(), frase.elementi.at(k));
        const int c = int(categorie.indexOf(frase.categorie.at(k)));
        if (k < n - 1) {
            s->board->dropOn(k, c);
        } else {
            clicca(s->Label1[size_t(c)]);
            QCOMPARE(s->board->selected(), c);
            clicca(s->Label2[size_t(k)]);
        }
        QCOMPARE(s->Label2[size_t(k)]->text(), frase.categorie.at(k));
        QCOMPARE(s->model().box(k), frase.categorie.at(k));
    }
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
        QCOMPARE(s->Label4->text(), QString("Clicca sulle caselle azzurre e, tenendo premuto il tasto del mouse,  "
                                            "trascinale  nelle caselle grigie."));
        QCOMPARE(s->Labseguente->text(), QString("Frase seguente"));
        QCOMPARE(s->Labesco->text(), QString("Esco"));
        QVERIFY(s->findChild<QLabel *>("Label2_9") == s->Label2[9]);
        QVERIFY(s->findChild<QLabel *>("Label1_7") == s->Label1[7]);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(s->Label1[size_t(i)]->text(), grammaticaCategorie().at(i));
            QCOMPARE(sfondo(s->Label1[size_t(i)]), QColor(204, 255, 255));
            QVERIFY(s->Label1[size_t(i)]->font().pointSize() >= 14);
            QVERIFY(fits(s->Label2[0], grammaticaCategorie().at(i)));
        }
        QCOMPARE(sfondo(s->Label6[0]), QColor(255, 192, 192));
        QCOMPARE(sfondo(s), QColor(192, 192, 192));
        QCOMPARE(s->Label6[0]->text(), QString("Il"));
        QCOMPARE(s->Label6[7]->text(), QString("nonna"));
        QVERIFY(s->Label6[8]->text().isEmpty() && s->Label6[8]->isVisible()); // rows past the sentence stay
        for (const AnalysisSentence &f : grammaticaSentences())
            for (const QString &e : f.elementi)
                QVERIFY2(fits(s->Label6[0], e), qPrintable(e));
        QVERIFY(s->Label6[0]->font().pointSize() >= 14);
        QVERIFY(s->Label2[0]->font().pointSize() >= 14);
        for (QWidget *w : s->findChildren<QWidget *>())
            QVERIFY2(w->isHidden() || s->rect().contains(w->geometry()), qPrintable(w->objectName()));
        QVERIFY(env->dialogs.alerts.isEmpty());
        foto(s, "flgrasem_vuota");
    }

    void incompleteSentenceAndEsco()
    {
        env->app->show(Screen::FLgrasem);
        auto *s = env->app->screenAs<FLgrasem>(Screen::FLgrasem);
        s->board->dropOn(0, 0);
        s->board->dropOn(9, 2); // past the sentence: shown, not needed, not scored
        QCOMPARE(s->Label2[9]->text(), QString("Verbo"));
        clicca(s->Labseguente);
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi completare l'esercizio"});
        QCOMPARE(s->Label6[0]->text(), QString("Il"));
        QCOMPARE(s->Label2[0]->text(), QString("Articolo"));
        risolvi(s, grammaticaSentences().at(0), grammaticaCategorie());
        foto(s, "flgrasem_piena");
        clicca(s->Labseguente);
        QCOMPARE(s->model().punti(), qint16(8));
        QCOMPARE(s->Label6[0]->text(), QString("Ieri"));
        QVERIFY(s->Label2[9]->text().isEmpty());
        env->clock.advanceSecs(75);
        clicca(s->Labesco);
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
            clicca(g->Labseguente);
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
        QCOMPARE(l->Label4->text(), QString("Clicca sulle caselle azzurre e, tenendo premuto il tasto del mouse, "
                                            "trascinale  nelle caselle grigie."));
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(l->Label1[size_t(i)]->text(), logicaCategorie().at(i));
            QCOMPARE(sfondo(l->Label1[size_t(i)]), QColor(192, 192, 255));
            QVERIFY(fits(l->Label2[0], logicaCategorie().at(i)));
            QVERIFY(fits(l->Label1[size_t(i)], logicaCategorie().at(i)));
        }
        for (const AnalysisSentence &f : logicaSentences())
            for (const QString &e : f.elementi)
                QVERIFY2(fits(l->Label6[0], e), qPrintable(e));
        QCOMPARE(sfondo(l->Label6[0]), QColor(255, 224, 192));
        QVERIFY(sfondo(l->Label2[0]) != QColor(192, 192, 192));
        QCOMPARE(l->Label6[0]->text(), logicaSentences().at(0).elementi.at(0));
        foto(l, "flogsem_vuota");
        for (int n = 0; n < 6; ++n) {
            risolvi(l, logicaSentences().at(n), logicaCategorie());
            if (n == 0)
                foto(l, "flogsem_piena");
            clicca(l->Labseguente);
            if (n == 0) {
                QCOMPARE(sfondo(l->Label2[0]), QColor(192, 192, 192)); // silver from the change on
                QVERIFY(l->Label2[0]->text().isEmpty());
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
        QCOMPARE(l->Label6[0]->text(), logicaSentences().at(2).elementi.at(0));
        QCOMPARE(l->model().punti(), qint16(11));
    }
};

QTEST_MAIN(TstFLgrasem)
#include "tst_flgrasem.moc"
