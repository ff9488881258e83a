// A pupil who uses only the keyboard: from the start screen through the seven tests to the
// end, every key sent to whatever has the focus, then the stored record. On the way, what a
// screen reader is told of the label buttons, the drop boxes and the option boxes.
#include "battery/analysis/analysiscontent.h"
#include "battery/comprehension/frasicontent.h"
#include "battery/comprehension/letturacontent.h"
#include "battery/geography/cartgecontent.h"
#include "storage/pupilrecord.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "ui/access/focusring.h"
#include "ui/screens/flcartge.h"
#include "ui/screens/flettura.h"
#include "ui/screens/flfrasi.h"
#include "ui/screens/flgrasem.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flogsem.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/screens/frmnome.h"
#include "ui/widgets/clicklabel.h"

#include <QAccessible>
#include <QScrollBar>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;
using qv::test::controlRow;

class TstKeyboard : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;

    static QWidget *focus() { return QApplication::focusWidget(); }
    static void key(int k)
    {
        QVERIFY(focus());
        QTest::keyClick(focus(), Qt::Key(k));
    }
    // Tab (or another key) until `w` has the focus; false after a whole round.
    static bool reach(QWidget *w, int with = Qt::Key_Tab)
    {
        for (int i = 0; i < 60 && focus() != w && focus(); ++i)
            QTest::keyClick(focus(), Qt::Key(with));
        return focus() == w;
    }
    // The screen `s` once on show, after a hand-over: the keyboard focus on one of its own
    // controls (not left on the screen that handed over), the window a window to a screen
    // reader and named as the screen, every scroll bar named; nullptr and a failure if not.
    template<class T> T *shown(Screen s)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto *w = env->app->screenAs<T>(s);
        if (!w || !w->isVisible() || !QTest::qWaitForWindowActive(w))
            return nullptr;
        QString fault;
        QAccessibleInterface *win = QAccessible::queryAccessibleInterface(w->window());
        if (!focus() || !w->isAncestorOf(focus()) || !focus()->isVisible())
            fault = QStringLiteral("the focus is on %1").arg(focus() ? focus()->objectName() + QLatin1Char(' ')
                                                                          + focus()->window()->objectName() : "nothing");
        else if (win->role() != QAccessible::Window || win->text(QAccessible::Name) != w->accessibleName())
            fault = QStringLiteral("the window is role %1 named %2").arg(win->role()).arg(win->text(QAccessible::Name));
        for (QScrollBar *b : w->template findChildren<QScrollBar *>())
            if (name(b).isEmpty())
                fault = QStringLiteral("a nameless scroll bar in %1").arg(b->parentWidget()->parentWidget()->objectName());
        if (fault.isEmpty())
            return w;
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(w->objectName(), fault)), __FILE__, __LINE__);
        return nullptr;
    }
    static QString name(QObject *o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }

    // The option tests: the right option by digit, by letter, or by arrows and Enter.
    template<class Screen_, size_t N>
    void options(Screen_ *s, const std::array<qint16, N> &answers, int questions)
    {
        for (int q = 1; q <= questions; ++q) {
            const int k = answers[size_t(q)] - 1;
            switch (q % 3) {
            case 0: key(Qt::Key_1 + k); break;
            case 1: key(Qt::Key_A + k); break;
            default:
                QVERIFY(reach(control<QCheckBox>(s, "Check1", 0)));
                for (int i = 0; i < k; ++i)
                    key(Qt::Key_Down);
                QCOMPARE(focus(), control<QCheckBox>(s, "Check1", k));
                key(Qt::Key_Return);
            }
            QVERIFY2(control<QCheckBox>(s, "Check1", k)->isChecked(), qPrintable(QString::number(q)));
            QVERIFY(reach(control<ClickLabel>(s, "Labseguente")));
            key(Qt::Key_Return);
        }
    }
    // A drag-and-drop test: each source picked with Enter, the focus moved to its box with
    // the arrows, placed with Enter.
    void place(const QList<QLabel *> &sources, const QList<QLabel *> &boxes, const QStringList &want)
    {
        for (int r = 0; r < want.size(); ++r) {
            auto src = std::find_if(sources.begin(), sources.end(), [&](QLabel *l) { return l->text().trimmed() == want[r].trimmed(); });
            QVERIFY2(src != sources.end(), qPrintable(want[r]));
            QVERIFY(reach(*src));
            key(Qt::Key_Return);
            // A screen reader hears what is carried and where Enter puts it.
            QVERIFY(QAccessible::queryAccessibleInterface(*src)->text(QAccessible::Description).contains(want[r].simplified()));
            QCOMPARE(QAccessible::queryAccessibleInterface(focus())->text(QAccessible::Description),
                     QStringLiteral("Premi Invio per mettere qui «%1».").arg(want[r].simplified()));
            QLabel *box = boxes[r];
            const int dir = box->y() < focus()->y() ? Qt::Key_Up : Qt::Key_Down;
            QVERIFY(reach(box, dir) || reach(box, dir == Qt::Key_Up ? Qt::Key_Down : Qt::Key_Up));
            key(Qt::Key_Return);
            QCOMPARE(box->text().trimmed(), want[r].trimmed());
            QCOMPARE(name(box), QStringLiteral("casella %1: %2").arg(r + 1).arg(want[r].simplified()));
        }
    }
    template<class Analysis>
    void analysis(Analysis *s, const QList<AnalysisSentence> &sentences)
    {
        for (const AnalysisSentence &f : sentences) {
            QCOMPARE(name(control<QLabel>(s, "Label2", 2)), QStringLiteral("casella 3, vuota"));
            place(controlRow<QLabel>(s, "Label1"), controlRow<QLabel>(s, "Label2"), f.categorie);
            QVERIFY(reach(control<ClickLabel>(s, "Labseguente")));
            key(Qt::Key_Return);
        }
    }
    static void row(QListWidget *list, const QString &want)
    {
        QVERIFY(reach(list));
        key(Qt::Key_Home);
        while (list->currentItem() && list->currentItem()->text().trimmed() != want.trimmed() && list->currentRow() < list->count() - 1)
            key(Qt::Key_Down);
        QCOMPARE(list->currentItem()->text().trimmed(), want.trimmed());
        key(Qt::Key_Return);
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
    }
    void cleanup() { env.reset(); }

    void wholeRoadWithKeysOnly()
    {
        env->app->show(Screen::FLINIZIO);
        auto *start = shown<FLINIZIO>(Screen::FLINIZIO);
        QVERIFY(start);
        QCOMPARE(focus(), control<ClickLabel>(start, "LabAVVIO"));
        // A label button to a screen reader; the focus frame around it.
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control<ClickLabel>(start, "LabAVVIO"));
        QCOMPARE(a->role(), QAccessible::Button);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Avvio le Prove di livello"));
        QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QWidget *ring = env->app->findChild<FocusRing *>()->frame();
        QVERIFY(ring && ring->geometry().contains(control<ClickLabel>(start, "LabAVVIO")->geometry()));
        key(Qt::Key_Return);
        QCOMPARE(focus(), control<ClickLabel>(start, "Label1", 0));
        key(Qt::Key_Right);
        QTest::keyClick(focus(), Qt::Key_Tab);
        QCOMPARE(focus(), control<ClickLabel>(start, "Label1", 2));
        key(Qt::Key_Space);
        QCOMPARE(focus(), control<ClickLabel>(start, "Labinizio"));
        key(Qt::Key_Enter);

        auto *nome = shown<FrmNOME>(Screen::FrmNOME);
        QVERIFY(nome);
        QVERIFY(!name(nome->window()).contains(QStringLiteral("Form1")));
        QCOMPARE(focus(), control<QLineEdit>(nome, "Text1"));
        QCOMPARE(name(control<QLineEdit>(nome, "Text1")), QStringLiteral("Cognome"));
        QTest::keyClicks(focus(), "Verdi");
        key(Qt::Key_Return);
        QCOMPARE(name(focus()), QStringLiteral("Nome"));
        QTest::keyClicks(focus(), "Anna");
        key(Qt::Key_Return);

        auto *lettura = shown<FLETTURA>(Screen::FLETTURA);
        QVERIFY(lettura);
        // Alt+F4 or the title bar's close: the test stays on screen.
        QVERIFY(lettura->window()->windowHandle());
        lettura->window()->windowHandle()->close();
        QVERIFY(lettura->isVisible());
        QCOMPARE(name(control<QCheckBox>(lettura, "Check1", 1)), control<QLabel>(lettura, "Labris", 2)->text().simplified());
        options(lettura, lettura::soluzioni(), lettura::kDomande);
        auto *gram = shown<FLgrasem>(Screen::FLgrasem);
        QVERIFY(gram);
        analysis(gram, grammaticaSentences());
        auto *logica = shown<FLogsem>(Screen::FLogsem);
        QVERIFY(logica);
        analysis(logica, logicaSentences());
        auto *frasi = shown<FLfrasi>(Screen::FLfrasi);
        QVERIFY(frasi);
        options(frasi, frasi::soluzioni(), frasi::kDomande);

        auto *cause = shown<FLstoria1>(Screen::FLstoria1);
        QVERIFY(cause);
        for (int set = 1; set <= 9; ++set) {
            QStringList want;
            for (int k = 1; k <= cause->model().caselle(); ++k)
                want << cause->model().chiave(k);
            place(controlRow<QLabel>(cause, "Label2"), controlRow<QLabel>(cause, "Label1"), want);
            QVERIFY(reach(control<ClickLabel>(cause, "Labnuovo")));
            key(Qt::Key_Return);
        }
        auto *crono = shown<FLstoria2>(Screen::FLstoria2);
        QVERIFY(crono);
        for (int half = 0; half < 2; ++half) {
            QStringList want;
            for (int r = 0; r < 10; ++r)
                want << crono->model().chiave(r);
            place(controlRow<QLabel>(crono, "Label3"), controlRow<QLabel>(crono, "Label2"), want);
            QVERIFY(reach(control<ClickLabel>(crono, "Labseguente")));
            key(Qt::Key_Return);
        }

        auto *carte = shown<FLcartge>(Screen::FLcartge);
        QVERIFY(carte);
        for (const Item &luogo : fisicaItems()) {
            row(control<QListWidget>(carte, "List2"), luogo.chiave);
            QVERIFY(reach(control<QPushButton>(carte, "cmdelemseg")));
            key(Qt::Key_Return);
        }
        const QList<Item> &politica = politicaItems();
        for (int n = 1; n <= kRegioni; ++n) {
            row(control<QListWidget>(carte, "List2"), politica.at(n - 1).chiave);
            row(control<QListWidget>(carte, "List1"), politica.at(capoluogoItem(n) - 1).chiave);
            QVERIFY(reach(control<QPushButton>(carte, "cmdelemseg")));
            key(Qt::Key_Return);
        }
        QVERIFY(shown<FLINIZIO>(Screen::FLINIZIO));

        // Every answer right: each score field holds its test's item count.
        QHash<QString, int> want{{"arrivo", kArrivoComplete}, {"sub", kSubComplete}};
        for (const QString &prova : itemTests())
            for (const Item &i : testItems(prova))
                ++want[i.categoria];
        auto rs = env->app->state().dbrisultati->openRecordset("prima-C");
        QVERIFY(rs->setBookmark(env->app->state().segnalibro));
        QCOMPARE(rs->field("nome").toString(), QStringLiteral("VERDI ANNA"));
        for (auto it = want.cbegin(); it != want.cend(); ++it)
            QVERIFY2(rs->field(it.key()).toInt() == it.value(), qPrintable(it.key()));
    }
};

QTEST_MAIN(TstKeyboard)
#include "tst_keyboard.moc"
