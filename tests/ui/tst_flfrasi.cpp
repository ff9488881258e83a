// FLfrasi on screen: a pupil arriving from the logical-analysis test clicks through the
// twelve questions to the hand-over to FLstoria1; texts fit, boxes sit on their rows.
#include "startup/datafolder.h"
#include "storage/database.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "ui/screens/flfrasi.h"
#include "ui/widgets/clicklabel.h"

#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;
using qv::test::controlRow;

namespace {
const int kChiave[13] = {0, 3, 1, 2, 4, 2, 4, 3, 2, 4, 3, 2, 4};

bool fits(QLabel *l)
{
    const QRect r = QFontMetrics(l->font()).boundingRect(QRect(0, 0, l->width(), 10000), Qt::TextWordWrap, l->text());
    return r.height() <= l->height();
}
} // namespace

class TstFLfrasi : public QObject {
    Q_OBJECT

private slots:
    void clickThroughToCausalSchemes()
    {
        test::AppEnv env;
        QVERIFY(env.folder.ok());
        Modquorv &st = env.app->state();
        QString e;
        st.dbrisultati = Database::open(env.folder.file(QString::fromLatin1(kResultsFile)), &e);
        QVERIFY2(st.dbrisultati, qPrintable(e));
        st.tabellaclasse = QStringLiteral("prima-D");
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        Recordset &rs = *st.rsclasse;
        rs.addNew();
        rs.setField("nome", "ROSSI ANNA");
        rs.setField("arrivo", 6);
        rs.setField("sub", 1);
        QVERIFY(rs.update() && rs.move(0, rs.lastModified()));
        st.segnalibro = rs.bookmark();
        st.tipoavvio = kAvvioNuovo;

        env.app->show(Screen::FLfrasi);
        auto *w = env.app->screenAs<FLfrasi>(Screen::FLfrasi);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("COMPRENSIONE DI FRASI"));
        auto *premessa = control<QLabel>(w, "Label1");
        auto *seguente = control<ClickLabel>(w, "Labseguente");
        const QList<QLabel *> label2 = controlRow<QLabel>(w, "Label2");
        const QList<QCheckBox *> check1 = controlRow<QCheckBox>(w, "Check1");
        QCOMPARE(label2.size(), 4);
        QCOMPARE(check1.size(), 4);
        QCOMPARE(premessa->text(), QStringLiteral(" Non tutti i gatti sono grigi, vuol dire che"));
        QCOMPARE(seguente->text(), QStringLiteral("Domanda seguente"));
        QCOMPARE(control<QLabel>(w, "Label6")->text(), QStringLiteral("1"));
        QCOMPARE(control<QLabel>(w, "Label9")->text(), QStringLiteral("4"));
        QCOMPARE(check1[3]->text(), QStringLiteral("4"));
        const QString dir = qEnvironmentVariable("QUORVANE_SHOTS");
        if (!dir.isEmpty())
            w->grab().save(QDir(dir).filePath("flfrasi_q1.png"));

        QTest::mouseClick(check1[2], Qt::LeftButton);
        if (!dir.isEmpty())
            w->grab().save(QDir(dir).filePath("flfrasi_q1_ticked.png"));
        QTest::mouseClick(check1[2], Qt::LeftButton);
        for (int q = 1; q <= 12; ++q) {
            QCOMPARE(w->model().domanda, qint16(q));
            QVERIFY2(fits(premessa), qPrintable(premessa->text()));
            for (int k = 0; k < 4; ++k) {
                QVERIFY2(fits(label2[k]), qPrintable(label2[k]->text()));
                QVERIFY(!check1[k]->isChecked());
                QVERIFY(qAbs(check1[k]->geometry().center().y() - label2[k]->geometry().center().y()) <= 4);
            }
            QTest::mouseClick(check1[kChiave[q] % 4], Qt::LeftButton);
            QTest::mouseClick(check1[kChiave[q] - 1], Qt::LeftButton);
            QTest::mouseClick(seguente, Qt::LeftButton);
        }
        QVERIFY(env.dialogs.alerts.isEmpty());
        QVERIFY(!w->isVisible());
        QVERIFY(env.app->screen(Screen::FLstoria1));
        auto own = st.dbrisultati->openRecordset(st.tabellaclasse);
        QVERIFY(own->setBookmark(st.segnalibro));
        QCOMPARE(own->field("frasi1").toInt(), 12);
        QCOMPARE(own->field("arrivo").toInt(), 7);
        QCOMPARE(own->field("sub").toInt(), 1);
    }
};

QTEST_MAIN(TstFLfrasi)
#include "tst_flfrasi.moc"
