// The map test's screen, offscreen: controls, the two layouts, the blinking number, list
// clicks and the hand-over to the start screen; the map's numbered circles where the
// picture has them on every display and at larger text. With QUORVANE_SHOTS=<dir> it also
// saves pictures of both layouts for a look.
#include "startup/datafolder.h"
#include "storage/database.h"
#include "support/controls.h"
#include "support/displays.h"
#include "support/fakes.h"
#include "ui/screens/flcartge.h"
#include "ui/widgets/clicklabel.h"

#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QtTest>
#include <cmath>

using namespace qv;
using qv::test::control;
using qv::ui::ClickLabel;
using qv::ui::FLcartge;
using qv::ui::Presentation;

Q_DECLARE_METATYPE(qv::ui::Presentation)

namespace {

// The lab computer's display first (the tests without a display of their own take it),
// then the smallest and the largest, and a lab display that the desktop scales by 150 %.
struct Monitor {
    const char *name;
    QSize pixels;
    double scale; // the desktop's scaling: the program's pixels are this many of the display's
};
const Monitor kDisplays[] = {{"1024x768", {1024, 768}, 1},    {"800x600", {800, 600}, 1},
                             {"1920x1080", {1920, 1080}, 1}, {"2560x1440", {2560, 1440}, 1},
                             {"1024x768-scala150", {1536, 1152}, 1.5}};

// A numbered circle of a map as the asset tool draws it, in the picture's pixels.
struct Circle {
    int number;
    QPointF centre;
    int radius;
};

QScreen *screenOf(int display)
{
    for (QScreen *s : QGuiApplication::screens())
        if (s->name() == QLatin1String(kDisplays[display].name))
            return s;
    return nullptr;
}

bool dark(QRgb c) { return qGray(c) < 90; }
bool white(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

} // namespace

class TstFLcartge : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;
    QHash<QString, QList<Circle>> circles; // by map file

    // On display `display`; with `look`, the pupil has read-aloud and that presentation.
    FLcartge *open(bool withMaps = true, int display = 0, std::optional<Presentation> look = {})
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
        if (ui::ScreenBase *w = env->app->load(Screen::FLcartge))
            w->window()->setScreen(screenOf(display));
        if (look)
            st.strumenti = PupilTools{true, false, look->textPercent, look->readableFont, look->highContrast};
        env->app->show(Screen::FLcartge);
        if (look)
            env->app->setPresentation(*look);
        return env->app->screenAs<FLcartge>(Screen::FLcartge);
    }
    template <class T>
    T *c(FLcartge *s, const char *name)
    {
        return control<T>(s, QString::fromLatin1(name));
    }
    QListWidget *list(FLcartge *s, const char *name) { return c<QListWidget>(s, name); }
    QLabel *label(FLcartge *s, const char *name) { return c<QLabel>(s, name); }
    void clickItem(QListWidget *list, int row)
    {
        QListWidgetItem *it = list->item(row);
        list->scrollToItem(it);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(it).center());
    }
    void next(FLcartge *s) { QTest::mouseClick(c<QPushButton>(s, "cmdelemseg"), Qt::LeftButton); }
    // Every physical feature answered: the political map.
    void toPolitical(FLcartge *s)
    {
        for (int i = 0; i < 22; ++i) {
            clickItem(list(s, "List2"), i);
            next(s);
        }
    }
    // The screen with its maps on `display` in `presentation`, on the political map when asked
    // (the physical one's 22 names answered first), laid out.
    FLcartge *openOn(int display, const Presentation &presentation, bool political)
    {
        FLcartge *s = open(true, display, presentation);
        if (s && political)
            toPolitical(s);
        QCoreApplication::processEvents();
        return s;
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
    void initTestCase()
    {
        // The circles as the asset tool placed them on the maps it made for the tests.
        QProcess tool;
        tool.start(qEnvironmentVariable("QUORVANE_BINARY_DIR") + QStringLiteral("/mkassets"),
                   {QStringLiteral("--markers"), qEnvironmentVariable("QUORVANE_SOURCE_DIR") + QStringLiteral("/data/geo")});
        QVERIFY(tool.waitForFinished(120000) && tool.exitCode() == 0);
        for (const QByteArray &line : tool.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 7)
                circles[QString::fromLatin1(f[0]) + QStringLiteral(".bmp")]
                    << Circle{f[1].toInt(), QPointF(f[4].toDouble(), f[5].toDouble()), f[6].toInt()};
        }
        QCOMPARE(circles.value(QString::fromLatin1(kPhysicalMapFile)).size(), 22);
        QCOMPARE(circles.value(QString::fromLatin1(kPoliticalMapFile)).size(), 20);
        QCOMPARE(QGuiApplication::screens().size(), int(std::size(kDisplays)));
        for (int d = 0; d < int(std::size(kDisplays)); ++d)
            QCOMPARE(screenOf(d)->devicePixelRatio(), kDisplays[d].scale);
    }
    void cleanup() { env.reset(); }

    void physicalLayout()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QVERIFY(s->isVisible());
        QCOMPARE(s->windowTitle(), QStringLiteral("GEOGRAFIA  (carte)  "));
        QCOMPARE(s->geometry(), s->screen()->geometry()); // the whole display
        QLabel *image = label(s, "Image1"), *numero = label(s, "Labnumero");
        QListWidget *names = list(s, "List2");
        auto *frame2 = c<QFrame>(s, "Frame2");
        // The map drawn at the size shown: as large as its box.
        const QSize map = image->pixmap().size(), box = image->size();
        QVERIFY(qAbs(map.width() - box.width()) <= 2 && qAbs(map.height() - box.height()) <= 2);
        QVERIFY(inside(image, c<QFrame>(s, "Frame1")));
        QCOMPARE(numero->text(), QStringLiteral("1"));
        QCOMPARE(label(s, "Label3")->text(), QStringLiteral("?"));
        QCOMPARE(numero->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(label(s, "Label4")->isVisible());
        QVERIFY(!list(s, "List1")->isVisible());
        QVERIFY(!label(s, "Label1")->isVisible());
        QCOMPARE(names->count(), 22);
        shot(s, "flcartge_fisica.png");
        // All 22 names in sight without scrolling.
        names->doItemsLayout();
        for (int i = 0; i < 22; ++i)
            QVERIFY2(names->viewport()->rect().contains(names->visualItemRect(names->item(i))), qPrintable(names->item(i)->text()));
        for (const char *name : {"Label4", "Label2", "List2", "Labnumero"})
            QVERIFY2(inside(c<QWidget>(s, name), frame2), name);
        QVERIFY(inside(c<QPushButton>(s, "cmdesco"), c<QFrame>(s, "Frame3")));
        QVERIFY(s->rect().contains(frame2->geometry()) && s->rect().contains(c<QFrame>(s, "Frame3")->geometry()));
        QVERIFY(!c<QFrame>(s, "Frame1")->geometry().intersects(frame2->geometry()));
        clickItem(names, 8);
        QCOMPARE(label(s, "Label2")->text(), QStringLiteral("Isola d'Elba"));
    }

    void answeringMovesOnAndClearsTheChoice()
    {
        FLcartge *s = open();
        QVERIFY(s);
        next(s);
        QCOMPARE(env->dialogs.alerts, QStringList{QStringLiteral("Devi dare una risposta")});
        clickItem(list(s, "List2"), 0);
        QCOMPARE(list(s, "List2")->selectedItems().size(), 1);
        next(s);
        QCOMPARE(label(s, "Labnumero")->text(), QStringLiteral("2"));
        QVERIFY(label(s, "Label2")->text().isEmpty());
        QVERIFY(list(s, "List2")->selectedItems().isEmpty());
        QCOMPARE(s->model().punti, qint16(1));
    }

    // The number blinks in its place: the "?" beside it does not move while it is hidden.
    void numberBlinks()
    {
        FLcartge *s = open();
        QVERIFY(s);
        auto *timer = c<QTimer>(s, "Timer1");
        QLabel *numero = label(s, "Labnumero"), *question = label(s, "Label3");
        QCOMPARE(timer->interval(), 300);
        QVERIFY(timer->isActive());
        const QRect place = question->geometry();
        QTRY_VERIFY_WITH_TIMEOUT(!numero->isVisible(), 2000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(question->geometry(), place);
        QTRY_VERIFY_WITH_TIMEOUT(numero->isVisible(), 2000);
        QVERIFY(question->isVisible());
    }

    void politicalLayoutAndEnd()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QLabel *image = label(s, "Image1"), *town = label(s, "Label1"), *region = label(s, "Label2");
        QListWidget *regions = list(s, "List2"), *towns = list(s, "List1");
        const QImage physical = image->pixmap().toImage();
        toPolitical(s);
        QVERIFY(!label(s, "Label4")->isVisible());
        QVERIFY(towns->isVisible());
        QVERIFY(town->isVisible());
        QCOMPARE(regions->count(), 20);
        QCOMPARE(towns->count(), 20);
        QCOMPARE(label(s, "Labnumero")->text(), QStringLiteral("1"));
        QCOMPARE(region->text(), QStringLiteral("Scegli sia la regione che il capoluogo"));
        QVERIFY(image->pixmap().toImage() != physical);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(town->geometry().bottom() < region->geometry().top());
        QVERIFY(regions->geometry().right() < towns->geometry().left());
        QVERIFY(inside(towns, c<QFrame>(s, "Frame2")));
        QVERIFY(inside(regions, c<QFrame>(s, "Frame2")));
        shot(s, "flcartge_prompt.png");
        for (QListWidget *l : {towns, regions}) {
            l->doItemsLayout();
            for (int i = 0; i < 20; ++i)
                QVERIFY2(l->viewport()->rect().contains(l->visualItemRect(l->item(i))), qPrintable(l->item(i)->text()));
        }
        // The prompt is no answer: a chief town alone is not enough.
        clickItem(towns, 0);
        next(s);
        QCOMPARE(env->dialogs.alerts.last(), QStringLiteral("Devi dare due risposte"));
        clickItem(regions, 0);
        QCOMPARE(town->text(), QStringLiteral("Aosta"));
        QCOMPARE(region->text(), QStringLiteral("Valle d'Aosta"));
        shot(s, "flcartge_politica.png");
        for (int i = 0; i < 20; ++i) {
            clickItem(regions, i);
            clickItem(towns, i);
            next(s);
        }
        QVERIFY(env->dialogs.alerts.last().startsWith(QStringLiteral("IL TEST E' FINITO......")));
        QVERIFY(!s->isVisible());
        QVERIFY(!c<QTimer>(s, "Timer1")->isActive());
        QVERIFY(env->app->screen(Screen::FLINIZIO) && env->app->screen(Screen::FLINIZIO)->isVisible());
    }

    void missingMapIsSaidInItalian()
    {
        FLcartge *s = open(false);
        QVERIFY(s);
        QVERIFY(label(s, "Image1")->pixmap().isNull());
        QVERIFY(label(s, "Image1")->text().contains(QStringLiteral("itafis3.bmp")));
        QCOMPARE(list(s, "List2")->count(), 22);
    }

    void escoEndsTheProgram()
    {
        FLcartge *s = open();
        QVERIFY(s);
        QTest::mouseClick(c<QPushButton>(s, "cmdesco"), Qt::LeftButton);
        QCOMPARE(env->exit.ended, 1);
    }

    // Every name of the lists whole, its padding included, on the small displays at larger
    // text in either face: none ends in "…" for want of room beside the other list.
    void namesShowWhole_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<Presentation>("presentation");
        QTest::addColumn<bool>("political");
        for (int d : {0, 1})
            for (const Presentation &p : {Presentation{}, Presentation{150, false, false}, Presentation{150, true, true}})
                for (bool political : {false, true})
                    QTest::addRow("%s-%d%s-%s", kDisplays[d].name, p.textPercent, p.readableFont ? "-leggibile" : "",
                                  political ? "politica" : "fisica")
                        << d << p << political;
    }
    void namesShowWhole()
    {
        QFETCH(int, display);
        QFETCH(Presentation, presentation);
        QFETCH(bool, political);
        FLcartge *s = openOn(display, presentation, political);
        QVERIFY(s);
        const int padding = 2 * s->scaler()->look().px(4);
        for (QListWidget *l : {list(s, "List2"), list(s, "List1")}) {
            if (!l->isVisible())
                continue;
            l->doItemsLayout();
            const QFontMetrics fm(l->font());
            for (int i = 0; i < l->count(); ++i) {
                const QRect r = l->visualItemRect(l->item(i));
                QVERIFY2(fm.horizontalAdvance(l->item(i)->text()) + padding <= r.width() && r.right() <= l->viewport()->width(),
                         qPrintable(QStringLiteral("%1: %2 in %3 px").arg(l->item(i)->text()).arg(fm.horizontalAdvance(l->item(i)->text())).arg(r.width())));
            }
        }
    }

    // The map keeps its circles where the picture has them on every display, at larger
    // text (the map drawn smaller) and on a display scaled by 150 %: a click on a circle's
    // centre lands on the map, not on "Ascolta" or anything else, and there the screen
    // shows that circle's white disc and its number's dark strokes.
    void circlesLieWhereDrawn_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<Presentation>("presentation");
        QTest::addColumn<bool>("political");
        for (int d = 0; d < int(std::size(kDisplays)); ++d)
            for (int percent : {100, 150})
                for (bool political : {false, true})
                    QTest::addRow("%s-%d-%s", kDisplays[d].name, percent, political ? "politica" : "fisica")
                        << d << Presentation{percent, false, false} << political;
    }
    void circlesLieWhereDrawn()
    {
        QFETCH(int, display);
        QFETCH(Presentation, presentation);
        QFETCH(bool, political);
        FLcartge *s = openOn(display, presentation, political);
        QVERIFY(s);
        QCOMPARE(QRect(s->mapToGlobal(QPoint()), s->size()), screenOf(display)->geometry());
        QLabel *image = label(s, "Image1");
        QVERIFY(c<ClickLabel>(s, "Labascolta")->isVisible());
        const QString file = QString::fromLatin1(political ? kPoliticalMapFile : kPhysicalMapFile);
        const QImage picture(env->folder.file(file));
        const QImage screen = s->grab().toImage();
        const qreal ratio = screen.devicePixelRatio();
        QCOMPARE(ratio, kDisplays[display].scale);
        // The picture drawn whole, undistorted, centred in its box.
        const QSizeF drawn = image->pixmap().deviceIndependentSize();
        const qreal k = drawn.height() / picture.height();
        QVERIFY(qAbs(drawn.width() / picture.width() - k) < 0.01);
        const QPointF origin = QPointF(image->mapTo(s, QPoint())) + QPointF(image->width() - drawn.width(), image->height() - drawn.height()) / 2;
        for (const Circle &circle : circles.value(file)) {
            const QPointF at = origin + circle.centre * k;
            const QString what = QStringLiteral("%1 at %2,%3").arg(circle.number).arg(at.x()).arg(at.y());
            QVERIFY2(s->childAt(at.toPoint()) == image, qPrintable(what + QStringLiteral(": under another control")));
            const QPointF p = at * ratio;
            const qreal r = (circle.radius - 2) * k * ratio;
            int darkPx = 0, whitePx = 0;
            for (int y = int(p.y() - r); y <= int(p.y() + r); ++y)
                for (int x = int(p.x() - r); x <= int(p.x() + r); ++x)
                    if (QLineF(p, QPointF(x, y)).length() <= r && screen.rect().contains(x, y)) {
                        darkPx += dark(screen.pixel(x, y));
                        whitePx += white(screen.pixel(x, y));
                    }
            QVERIFY2(darkPx >= 3 && whitePx >= r * r, qPrintable(what + QStringLiteral(": %1 dark, %2 white").arg(darkPx).arg(whitePx)));
        }
    }
};

// The displays side by side on the offscreen platform, before the application starts.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    QList<test::TestDisplay> displays;
    for (const Monitor &d : kDisplays)
        displays << test::TestDisplay{QString::fromLatin1(d.name), d.pixels, d.scale};
    if (!test::useDisplays(dir, displays))
        return 1;
    QApplication app(argc, argv);
    TstFLcartge t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_flcartge.moc"
