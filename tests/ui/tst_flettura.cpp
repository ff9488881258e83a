// FLETTURA on screen: a new pupil clicks through both passages to the hand-over to
// FLgrasem; the texts fit their labels and the options sit beside their boxes.
#include "battery/comprehension/letturacontent.h"
#include "startup/datafolder.h"
#include "storage/database.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "ui/screens/flettura.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/textpane.h"

#include <QAccessible>
#include <QScrollBar>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;
using qv::test::controlRow;

namespace {
const int kChiave[35] = {0, 4, 3, 2, 1, 3, 2, 2, 4, 1, 3, 1, 4, 2, 3, 3, 1, 2, 1, 4,
                         4, 3, 3, 1, 3, 3, 2, 1, 2, 3, 1, 1, 4, 3, 2};

// The text of a plain-text label is not cut off.
bool fits(QLabel *l)
{
    const QMargins m = l->contentsMargins();
    const int w = l->width() - m.left() - m.right();
    const QRect r = QFontMetrics(l->font()).boundingRect(QRect(0, 0, w, 10000), Qt::TextWordWrap, l->text());
    return r.height() <= l->height();
}

void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("QUORVANE_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name));
}
} // namespace

class TstFLETTURA : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    QVariant stored(const char *f)
    {
        Modquorv &st = env->app->state();
        auto rs = st.dbrisultati->openRecordset(st.tabellaclasse);
        return rs && rs->setBookmark(st.segnalibro) ? rs->field(QString::fromLatin1(f)) : QVariant();
    }

    // The class chosen and a new pupil's record made, as the start screen and name entry do.
    FLETTURA *enterAsNewPupil()
    {
        Modquorv &st = env->app->state();
        QString e;
        st.dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        if (!st.dbrisultati)
            return nullptr;
        st.tabellaclasse = QStringLiteral("prima-B");
        st.nomeclasse = QStringLiteral("Prima  B");
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        Recordset &rs = *st.rsclasse;
        rs.addNew();
        rs.setField("nome", "ROSSI ANNA");
        rs.setField("arrivo", 1);
        rs.setField("sub", 1);
        if (!rs.update() || !rs.move(0, rs.lastModified()))
            return nullptr;
        st.segnalibro = rs.bookmark();
        st.tipoavvio = kAvvioNuovo;
        env->app->show(Screen::FLETTURA);
        return env->app->screenAs<FLETTURA>(Screen::FLETTURA);
    }

    void checkQuestionOnScreen(FLETTURA *w)
    {
        const int q = w->model().domanda;
        const QList<QLabel *> labris = controlRow<QLabel>(w, "Labris");
        const QList<QCheckBox *> check1 = controlRow<QCheckBox>(w, "Check1");
        auto *riquadro = control<TextPane>(w, "LabtestoRiquadro");
        auto *riquadro2 = control<TextPane>(w, "Labtesto2Riquadro");
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(labris[i]->text(), w->model().labris(i));
            QVERIFY2(fits(labris[i]), qPrintable(QStringLiteral("question %1, Labris(%2)").arg(q).arg(i)));
        }
        for (int k = 0; k < 4; ++k) {
            QVERIFY(!check1[k]->isChecked());
            // Each box is centred on its option's row.
            const int box = check1[k]->geometry().center().y();
            const int opt = labris[k + 1]->geometry().center().y();
            QVERIFY(qAbs(box - opt) <= 4);
        }
        // At the design's text size nothing scrolls: summaries a) and b) end above the box
        // of c) and d) (as drawn: after the scaler has seen the boxes' new sizes).
        w->scaler()->sync();
        QVERIFY(!riquadro->scrolls());
        if (control<QLabel>(w, "Labtesto2")->isVisible()) {
            QCOMPARE(riquadro->geometry().bottom() + 1, riquadro2->y());
            QVERIFY(!riquadro2->scrolls());
        }
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
    }
    void cleanup() { env.reset(); }

    void clickThroughToGrammar()
    {
        FLETTURA *w = enterAsNewPupil();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("COMPRENSIONE DELLA LETTURA"));
        QVERIFY(w->width() <= 1024 && w->height() <= 768);
        auto *seguente = control<ClickLabel>(w, "Labseguente");
        auto *testo = control<QLabel>(w, "Labtesto");
        auto *testo2 = control<QLabel>(w, "Labtesto2");
        const QList<QLabel *> labris = controlRow<QLabel>(w, "Labris");
        const QList<QCheckBox *> check1 = controlRow<QCheckBox>(w, "Check1");
        QCOMPARE(labris.size(), 5);
        QCOMPARE(check1.size(), 4);
        QCOMPARE(seguente->text(), QStringLiteral("       Domanda seguente"));
        QCOMPARE(control<ClickLabel>(w, "Labesco")->text(), QStringLiteral("Esco"));
        QVERIFY(!testo2->isVisible());
        QVERIFY(testo->text().startsWith(QStringLiteral("Una giornata sul peschereccio\n\n")));
        checkQuestionOnScreen(w);
        shot(w, "flettura_q1.png");

        // No answer: the message, and nothing moves.
        QTest::mouseClick(seguente, Qt::LeftButton);
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi fornire la risposta"});
        QCOMPARE(w->model().domanda, qint16(1));

        for (int q = 1; q <= 34; ++q) {
            QCOMPARE(w->model().domanda, qint16(q));
            // A wrong box first, then the right one: only the last stays ticked.
            const int giusta = kChiave[q] - 1;
            const int altra = (giusta + 1) % 4;
            QTest::mouseClick(check1[altra], Qt::LeftButton);
            QVERIFY(check1[altra]->isChecked());
            QTest::mouseClick(check1[giusta], Qt::LeftButton);
            QVERIFY(check1[giusta]->isChecked());
            QVERIFY(!check1[altra]->isChecked());
            QTest::mouseClick(seguente, Qt::LeftButton);
            if (q == 34)
                break;
            checkQuestionOnScreen(w);
            if (q == 12) {
                QVERIFY(testo2->isVisible());
                QCOMPARE(labris[1]->text(), QStringLiteral(" a)"));
                QVERIFY(testo->font().pointSizeF() < labris[1]->font().pointSizeF());
                // A box that shows only its letter is read out with its summary.
                for (int k = 0; k < 4; ++k)
                    QCOMPARE(QAccessible::queryAccessibleInterface(check1[k])->text(QAccessible::Name),
                             lettura::riassunti()[size_t(k)].simplified());
                shot(w, "flettura_q13.png");
            }
            if (q == 28)
                shot(w, "flettura_q29.png"); // the longest options
            if (q == 13) {
                QVERIFY(!testo2->isVisible());
                QVERIFY(testo->text().startsWith(QStringLiteral("Ieri sera")));
                QVERIFY(labris[0]->text().startsWith(" 1. "));
                QCOMPARE(stored("arrivo").toInt(), 2);
                shot(w, "flettura_brano2.png");
            }
        }
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(!w->isVisible());
        ScreenBase *next = env->app->screen(Screen::FLgrasem);
        QVERIFY(next && next->isVisible());
        QCOMPARE(stored("arrivo").toInt(), 3);
        QCOMPARE(stored("sub").toInt(), 1);
        for (const auto &[f, v] : QList<QPair<const char *, int>>{{"lessico1", 6}, {"fatti1", 3}, {"inferen1", 3},
                                                                 {"sintesi1", 1}, {"fatti2", 6}, {"inferen2", 10},
                                                                 {"scopi2", 4}, {"sintesi2", 1}})
            QCOMPARE(stored(f).toInt(), v);
        QCOMPARE(env->app->state().tipoavvio, kAvvioNuovo);
    }

    // With larger text the passage keeps its size and scrolls: Tab reaches its box (only
    // then), which has a name, and the keys move it.
    void passageScrollsWithTheKeyboard()
    {
        FLETTURA *w = enterAsNewPupil();
        QVERIFY(w && QTest::qWaitForWindowActive(w));
        auto *pane = control<TextPane>(w, "LabtestoRiquadro");
        QCOMPARE(pane->focusPolicy(), Qt::NoFocus);
        env->app->setPresentation(Presentation{150, true, false});
        QCoreApplication::processEvents();
        QVERIFY(pane->scrolls());
        QVERIFY(w->scaler()->textShare(control<QLabel>(w, "Labtesto")) > 0.99);
        QCOMPARE(QAccessible::queryAccessibleInterface(pane)->text(QAccessible::Name), QStringLiteral("Testo"));
        control<ClickLabel>(w, "Labesco")->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 20 && QApplication::focusWidget() != pane; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), pane);
        QScrollBar *bar = pane->verticalScrollBar();
        QTest::keyClick(pane, Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        QTest::keyClick(pane, Qt::Key_Home);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(pane, Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
        auto *seguente = control<ClickLabel>(w, "Labseguente");
        seguente->setFocus();
        QTest::keyClick(seguente, Qt::Key_1); // the options' keys still work from anywhere
        QVERIFY(control<QCheckBox>(w, "Check1", 0)->isChecked());
    }

    void untickThenEsco()
    {
        FLETTURA *w = enterAsNewPupil();
        QVERIFY(w);
        auto *seguente = control<ClickLabel>(w, "Labseguente");
        const QList<QCheckBox *> check1 = controlRow<QCheckBox>(w, "Check1");
        QTest::mouseClick(check1[3], Qt::LeftButton);
        QTest::mouseClick(seguente, Qt::LeftButton); // question 1 right
        QTest::mouseClick(check1[1], Qt::LeftButton);
        QTest::mouseClick(check1[1], Qt::LeftButton);   // unticked again
        QVERIFY(!check1[1]->isChecked());
        QTest::mouseClick(seguente, Qt::LeftButton);
        QCOMPARE(env->dialogs.alerts, QStringList{"Devi fornire la risposta"});
        QCOMPARE(w->model().domanda, qint16(2));
        env->clock.advanceSecs(180);
        QTest::mouseClick(control<ClickLabel>(w, "Labesco"), Qt::LeftButton);
        QCOMPARE(env->exit.ended, 1);
        // The database was closed on the way out; read the record afresh.
        Modquorv &st = env->app->state();
        st.rsclasse.reset();
        QString e;
        st.dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        QCOMPARE(stored("sub").toInt(), 2);
        QCOMPARE(stored("arrivo").toInt(), 1);
        QCOMPARE(stored("lessico1").toInt(), 1);
        QCOMPARE(stored("temlettura").toInt(), 3);
    }
};

QTEST_MAIN(TstFLETTURA)
#include "tst_flettura.moc"
