// The map test's screen, offscreen: controls, the two layouts, the blinking number, list
// clicks and the hand-over to the start screen. With QUORVANE_SHOTS=<dir> it also saves
// pictures of both layouts for a look.
#include "startup/datafolder.h"
#include "storage/database.h"
#include "support/fakes.h"
#include "ui/screens/flcartge.h"

#include <QFile>
#include <QScreen>
#include <QtTest>

using namespace qv;
using qv::ui::FLcartge;

class TstFLcartge : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    FLcartge *open(bool withMaps = true)
    {
        env = std::make_unique<test::AppEnv>();
        if (withMaps) {
            const QString made = qEnvironmentVariable("QUORVANE_BINARY_DIR") + QStringLiteral("/Perquorvane/");
            for (const char *f : {kPhysicalMapFile, kPoliticalMapFile, kBackgroundFile}) {
                QFile::remove(env->folder.file(QString::fromLatin1(f)));
                if (!QFile::copy(made + QString::fromLatin1(f), env->folder.file(QString::fromLatin1(f))))
                    return nullptr;
            }
        }
        Modquorv &st = env->app->state();
        QString e;
        st.dbrisultati = Database::open(env->folder.file(QString::fromLatin1(kResultsFile)), &e);
        st.tabellaclasse = QStringLiteral("prima-B");
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        Recordset &rs = *st.rsclasse;
        rs.addNew();
        rs.setField("nome", "NERI GIULIA");
        rs.setField("arrivo", 9);
        rs.setField("sub", 1);
        rs.update();
        rs.move(0, rs.lastModified());
        st.segnalibro = rs.bookmark();
        st.tipoavvio = kAvvioNuovo;
        env->app->show(Screen::FLcartge);
        return env->app->screenAs<FLcartge>(Screen::FLcartge);
    }
    void clickItem(QListWidget *list, int row)
    {
        QListWidgetItem *it = list->item(row);
        list->scrollToItem(it);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(it).center());
    }
    void shot(QWidget *w, const char *name)
    {
        const QString dir = qEnvironmentVariable("QUORVANE_SHOTS");
        if (!dir.isEmpty())
            w->grab().save(dir + QLatin1Char('/') + QLatin1String(name));
    }
    static bool inside(QWidget *child, QWidget *container)
    {
        const QRect r(child->mapTo(container->window(), QPoint(0, 0)), child->size());
        const QRect c(container->mapTo(container->window(), QPoint(0, 0)), container->size());
        return c.contains(r);
    }

private slots:
    void cleanup() { env.reset(); }

    void physicalLayout()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QVERIFY(s->isVisible());
        QCOMPARE(s->windowTitle(), QStringLiteral("GEOGRAFIA  (carte)  "));
        QCOMPARE(s->geometry(), s->screen()->geometry()); // the whole display
        for (const char *name : {"Image1", "Label4", "Labnumero", "Label3", "Label2", "Label1", "List2", "List1",
                                 "cmdelemseg", "cmdesco", "Frame1", "Frame2", "Frame3"})
            QVERIFY2(s->findChild<QWidget *>(QString::fromLatin1(name)), name);
        // The map drawn at the size shown: as large as its box.
        const QSize map = s->Image1->pixmap().size(), box = s->Image1->size();
        QVERIFY(qAbs(map.width() - box.width()) <= 2 && qAbs(map.height() - box.height()) <= 2);
        QVERIFY(inside(s->Image1, s->Frame1));
        QCOMPARE(s->Labnumero->text(), QStringLiteral("1"));
        QCOMPARE(s->Label3->text(), QStringLiteral("?"));
        QCOMPARE(s->Labnumero->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(s->Label4->isVisible());
        QVERIFY(!s->List1->isVisible());
        QVERIFY(!s->Label1->isVisible());
        QCOMPARE(s->List2->count(), 22);
        shot(s, "flcartge_fisica.png");
        // All 22 names in sight without scrolling.
        s->List2->doItemsLayout();
        for (int i = 0; i < 22; ++i)
            QVERIFY2(s->List2->viewport()->rect().contains(s->List2->visualItemRect(s->List2->item(i))),
                     qPrintable(s->List2->item(i)->text()));
        for (QWidget *w : {static_cast<QWidget *>(s->Label4), static_cast<QWidget *>(s->Label2),
                           static_cast<QWidget *>(s->List2), static_cast<QWidget *>(s->Labnumero)})
            QVERIFY(inside(w, s->Frame2));
        QVERIFY(inside(s->cmdesco, s->Frame3));
        QVERIFY(s->rect().contains(s->Frame2->geometry()) && s->rect().contains(s->Frame3->geometry()));
        QVERIFY(!s->Frame1->geometry().intersects(s->Frame2->geometry()));
        clickItem(s->List2, 8);
        QCOMPARE(s->Label2->text(), QStringLiteral("Isola d'Elba"));
    }

    void answeringMovesOnAndClearsTheChoice()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QTest::mouseClick(s->cmdelemseg, Qt::LeftButton);
        QCOMPARE(env->dialogs.alerts, QStringList{QStringLiteral("Devi dare una risposta")});
        clickItem(s->List2, 0);
        QCOMPARE(s->List2->selectedItems().size(), 1);
        QTest::mouseClick(s->cmdelemseg, Qt::LeftButton);
        QCOMPARE(s->Labnumero->text(), QStringLiteral("2"));
        QVERIFY(s->Label2->text().isEmpty());
        QVERIFY(s->List2->selectedItems().isEmpty());
        QCOMPARE(s->model().punti, qint16(1));
    }

    void numberBlinks()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QCOMPARE(s->Timer1->interval(), 300);
        QVERIFY(s->Timer1->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!s->Labnumero->isVisible(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(s->Labnumero->isVisible(), 2000);
        QVERIFY(s->Label3->isVisible());
    }

    void politicalLayoutAndEnd()
    {
        FLcartge *s = open();
        QVERIFY(s);
        const QImage physical = s->Image1->pixmap().toImage();
        for (int i = 0; i < 22; ++i) {
            clickItem(s->List2, i);
            QTest::mouseClick(s->cmdelemseg, Qt::LeftButton);
        }
        QVERIFY(!s->Label4->isVisible());
        QVERIFY(s->List1->isVisible());
        QVERIFY(s->Label1->isVisible());
        QCOMPARE(s->List2->count(), 20);
        QCOMPARE(s->List1->count(), 20);
        QCOMPARE(s->Labnumero->text(), QStringLiteral("1"));
        QCOMPARE(s->Label2->text(), QStringLiteral("Scegli sia la regione che il capoluogo"));
        QVERIFY(s->Image1->pixmap().toImage() != physical);
        QVERIFY(s->Label1->geometry().bottom() < s->Label2->geometry().top());
        QVERIFY(s->List2->geometry().right() < s->List1->geometry().left());
        QVERIFY(inside(s->List1, s->Frame2));
        QVERIFY(inside(s->List2, s->Frame2));
        shot(s, "flcartge_prompt.png");
        for (QListWidget *l : {s->List1, s->List2}) {
            l->doItemsLayout();
            for (int i = 0; i < 20; ++i)
                QVERIFY2(l->viewport()->rect().contains(l->visualItemRect(l->item(i))), qPrintable(l->item(i)->text()));
        }
        // The prompt is no answer: a chief town alone is not enough.
        clickItem(s->List1, 0);
        QTest::mouseClick(s->cmdelemseg, Qt::LeftButton);
        QCOMPARE(env->dialogs.alerts.last(), QStringLiteral("Devi dare due risposte"));
        clickItem(s->List2, 0);
        QCOMPARE(s->Label1->text(), QStringLiteral("Aosta"));
        QCOMPARE(s->Label2->text(), QStringLiteral("Valle d'Aosta"));
        shot(s, "flcartge_politica.png");
        for (int i = 0; i < 20; ++i) {
            clickItem(s->List2, i);
            clickItem(s->List1, i);
            QTest::mouseClick(s->cmdelemseg, Qt::LeftButton);
        }
        QVERIFY(env->dialogs.alerts.last().startsWith(QStringLiteral("IL TEST E' FINITO......")));
        QVERIFY(!s->isVisible());
        QVERIFY(!s->Timer1->isActive());
        QVERIFY(env->app->screen(Screen::FLINIZIO) && env->app->screen(Screen::FLINIZIO)->isVisible());
    }

    void missingMapIsSaidInItalian()
    {
        FLcartge *s = open(false);
        QVERIFY(s);
        QVERIFY(s->Image1->pixmap().isNull());
        QVERIFY(s->Image1->text().contains(QStringLiteral("itafis3.bmp")));
        QCOMPARE(s->List2->count(), 22);
    }

    void escoEndsTheProgram()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QTest::mouseClick(s->cmdesco, Qt::LeftButton);
        QCOMPARE(env->exit.ended, 1);
    }
};

QTEST_MAIN(TstFLcartge)
#include "tst_flcartge.moc"
