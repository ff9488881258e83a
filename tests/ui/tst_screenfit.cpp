// Every pupil screen on three displays (1366 × 768, 1920 × 1080, 2560 × 1440, three screens
// of one offscreen platform) at 100, 125 and 150 % text, and with the readable font in high
// contrast: the screen fills its display keeping the design's proportions, every visible
// label's text fits its box, no two visible controls overlap unless one is meant to lie
// on the other, every arrow still joins its boxes, and at larger text (in either face) every
// text keeps at least 90 % of its larger size; the causal schemes in each of their sets, empty
// and with every box filled. On a lab computer's 1024 × 768 and on 800 × 600, every name of
// the map test's lists within reach of the mouse and the keys.
// With QUORVANE_SCREENSHOTS=<dir> a picture of each.
#include "startup/datafolder.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/controls.h"
#include "support/displays.h"
#include "support/fakes.h"
#include "support/screenshots.h"
#include "ui/access/contrastcolours.h"
#include "ui/access/focusring.h"
#include "ui/access/look.h"
#include "ui/access/screenscaler.h"
#include "ui/screenbase.h"
#include "ui/screens/flcartge.h"
#include "ui/screens/flettura.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flstoria1.h"
#include "ui/screens/flstoria2.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/dragdropboard.h"
#include "ui/widgets/lineshape.h"
#include "ui/widgets/rowpane.h"

#include <QFile>
#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;
using qv::test::controlRow;

Q_DECLARE_METATYPE(qv::Screen)
Q_DECLARE_METATYPE(qv::ui::Presentation)

namespace {

const QList<QSize> kDisplays = {{1366, 768}, {1920, 1080}, {2560, 1440}};
// A lab computer's display and a smaller one, after those: the map test's lists there.
const QList<QSize> kSmallDisplays = {{1024, 768}, {800, 600}};
const QList<std::pair<const char *, Presentation>> kLooks = {
    {"100", {}}, {"125", {125, false, false}}, {"150", {150, false, false}}, {"150-readable-contrast", {150, true, true}}};

// Where a label lays out its text.
QRect textArea(const QLabel *l)
{
    QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    if (l->indent() > 0)
        r.setLeft(r.left() + l->indent());
    return r;
}

QString cutText(QWidget *screen)
{
    for (auto *l : screen->findChildren<QLabel *>()) {
        if (!l->isVisibleTo(screen) || l->text().isEmpty() || !l->pixmap().isNull())
            continue;
        const QRect area = textArea(l);
        const QRect need = QFontMetrics(l->font()).boundingRect(
            QRect(0, 0, area.width(), 100000), Qt::AlignLeft | (l->wordWrap() ? Qt::TextWordWrap : 0), l->text());
        if (need.width() > area.width() || need.height() > area.height())
            return QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                .arg(l->objectName(), l->text().left(40))
                .arg(need.width()).arg(need.height()).arg(area.width()).arg(area.height());
    }
    for (auto *b : screen->findChildren<QPushButton *>()) {
        const int need = QFontMetrics(b->font()).horizontalAdvance(b->text().section(QLatin1Char('\n'), 0, 0));
        if (b->isVisibleTo(screen) && need > b->contentsRect().width())
            return QStringLiteral("%1: %2 > %3").arg(b->objectName()).arg(need).arg(b->width());
    }
    return {};
}

// Controls meant to lie on others: the arrows of the causal schemes are drawn over the
// boxes they join (their boxes include a margin for the line's width); the map test's
// listen button lies on the map's south-west corner, the African coast, where no
// place is numbered.
bool meantToOverlap(const QWidget *a, const QWidget *b)
{
    if (qobject_cast<const LineShape *>(a) || qobject_cast<const LineShape *>(b))
        return true;
    const QSet<QString> pair{a->objectName(), b->objectName()};
    return pair == QSet<QString>{QStringLiteral("Frame1"), QStringLiteral("Labascolta")};
}

// Texts allowed to keep less than 90 % of the larger size, with the reason.
struct Smaller {
    const char *screen;
    const char *name; // the start of the control's name
    const char *reason;
    bool readableOnly = false; // only in the readable face
};
const Smaller kMayStaySmaller[] = {
    {"FLINIZIO", "", "the start screen always shows the default presentation"},
};

// Whether `w` of `screen` stands in one of the exception tables below (in the readable face
// or not).
template <size_t N>
bool listed(const Smaller (&table)[N], const QString &screen, const QWidget *w, bool readable)
{
    return std::any_of(std::begin(table), std::end(table), [&](const Smaller &s) {
        return screen == QLatin1String(s.screen) && (readable || !s.readableOnly)
               && (!*s.name || w->objectName().startsWith(QLatin1String(s.name)));
    });
}

// Every text drawn at less than 90 % of the size the presentation asks for.
QString shrunkTexts(ScreenBase *screen, const QString &name)
{
    const bool readable = screen->scaler()->presentation().readableFont;
    QStringList out;
    for (auto *w : screen->findChildren<QWidget *>()) {
        QString text;
        if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().isNull())
            text = l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            text = b->text();
        const qreal share = screen->scaler()->textShare(w);
        if (!text.isEmpty() && w->isVisibleTo(screen) && share < 0.9 && !listed(kMayStaySmaller, name, w, readable))
            out << QStringLiteral("%1 \"%2\" at %3 %").arg(w->objectName(), text.simplified().left(30)).arg(int(share * 100));
    }
    return out.join(QStringLiteral("; "));
}

// A line that no longer joins what it joined: every arrow's shaft and heads have an end on
// a box's edge (a box that moved without its arrows leaves them in a gap or inside it).
QString looseLine(QWidget *screen)
{
    const int near = std::max(3, int(std::lround(6 * static_cast<ScreenBase *>(screen)->scaler()->factor())));
    auto onEdge = [near](const QRect &r, QPoint p) {
        return r.adjusted(-near, -near, near, near).contains(p) && !r.adjusted(near, near, -near, -near).contains(p);
    };
    for (auto *line : screen->findChildren<LineShape *>()) {
        if (!line->isVisibleTo(screen))
            continue;
        const QLine l = line->line();
        bool joined = false;
        for (auto *box : screen->findChildren<QLabel *>())
            joined = joined || (box->isVisibleTo(screen) && box->parentWidget() == line->parentWidget()
                                && (onEdge(box->geometry(), l.p1()) || onEdge(box->geometry(), l.p2())));
        if (!joined)
            return line->objectName();
    }
    return {};
}

QString overlap(QWidget *screen)
{
    QList<QWidget *> shown;
    for (auto *w : screen->findChildren<QWidget *>())
        if (w->isVisibleTo(screen) && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            shown << w;
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j) {
            QWidget *a = shown[i];
            QWidget *b = shown[j];
            if (a->parentWidget() == b->parentWidget() && a->geometry().intersects(b->geometry()) && !meantToOverlap(a, b))
                return a->objectName() + QStringLiteral(" / ") + b->objectName();
        }
    return {};
}


// High contrast. A colour's name as a pupil would say it, coarsely, by hue.
QString colourName(const QColor &c)
{
    if (c.valueF() < 0.2 || c.hsvSaturationF() < 0.1)
        return c.valueF() < 0.2 ? QStringLiteral("nero") : c.valueF() > 0.97 ? QStringLiteral("bianco") : QStringLiteral("grigio");
    static const std::pair<int, const char *> hues[] = {
        {20, "rosso"}, {45, "arancione"}, {70, "giallo"}, {160, "verde"}, {250, "azzurro"}, {330, "magenta"}, {361, "rosso"}};
    return QString::fromLatin1(std::find_if(std::begin(hues), std::end(hues), [&](auto &h) { return c.hsvHue() < h.first; })->second);
}

// Told apart at a glance: some channel differs by `by` or more.
bool apart(const QColor &a, const QColor &b, int by)
{
    return std::abs(a.red() - b.red()) >= by || std::abs(a.green() - b.green()) >= by || std::abs(a.blue() - b.blue()) >= by;
}

// Boxes whose design colours may meet another's in high contrast, with the reason.
const Smaller kMayMerge[] = {
    {"FLstoria2", "Label1_", "the events' rows are pale for decoration only"},
};

// What a control shows, in the design (from its palette, style sheet included) and as drawn.
struct Shown {
    QString name;
    QWidget *w;
    bool ownBack; // paints a background of its own (a box), not its parent's
    QColor designBack, designInk;
    QColor back, ink; // as drawn: the colour most of its inner outline shows; the text's pixel
                      // that stands out most from it
};


bool paintsOwnBack(const QWidget *w)
{
    const QString sheet = w->styleSheet();
    return w->autoFillBackground() || (sheet.contains(QLatin1String("background")) && !sheet.contains(QLatin1String("transparent")));
}

// Every visible label, and every box with its own background, of the screen.
QList<Shown> designColours(QWidget *screen)
{
    QList<Shown> out;
    for (auto *f : screen->findChildren<QFrame *>()) {
        auto *l = qobject_cast<QLabel *>(f);
        if (!f->isVisibleTo(screen) || f->objectName().isEmpty() || f->objectName().startsWith(QLatin1String("qt_"))
            || f->contentsRect().width() < 4 || f->contentsRect().height() < 4 || (l && !l->pixmap().isNull())
            || (!l && !paintsOwnBack(f)))
            continue;
        out << Shown{f->objectName(), f, paintsOwnBack(f), f->palette().color(f->backgroundRole()), f->palette().color(f->foregroundRole()), {}, {}};
    }
    return out;
}

void drawnColours(QWidget *screen, QList<Shown> &shown)
{
    const QImage img = screen->grab().toImage();
    for (Shown &s : shown) {
        const QRect r = s.w->contentsRect().adjusted(1, 1, -1, -1).translated(s.w->mapTo(screen, QPoint(0, 0))).intersected(img.rect());
        QHash<QRgb, int> ring;
        for (int x = r.left(); x <= r.right(); ++x)
            ++ring[img.pixel(x, r.top())], ++ring[img.pixel(x, r.bottom())];
        for (int y = r.top(); y <= r.bottom(); ++y)
            ++ring[img.pixel(r.left(), y)], ++ring[img.pixel(r.right(), y)];
        s.back = QColor(std::max_element(ring.begin(), ring.end()).key());
        s.ink = s.back;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (const QColor c(img.pixel(x, y)); contrastRatio(c, s.back) > contrastRatio(s.ink, s.back))
                    s.ink = c;
    }
}

} // namespace

class TstScreenFit : public QObject {
    Q_OBJECT

    // A pupil of class B starting the battery, or resuming it at set `sub` of the causal
    // schemes; for the map test, the maps the asset tool made.
    static void preparePupil(test::AppEnv &env, int sub = 1)
    {
        const QString made = qEnvironmentVariable("QUORVANE_BINARY_DIR") + QStringLiteral("/Perquorvane/");
        for (const char *f : {kPhysicalMapFile, kPoliticalMapFile}) {
            QFile::remove(env.folder.file(QString::fromLatin1(f)));
            QFile::copy(made + QString::fromLatin1(f), env.folder.file(QString::fromLatin1(f)));
        }
        Modquorv &st = env.app->state();
        QString e;
        st.dbrisultati = Database::open(env.folder.file(QString::fromLatin1(kResultsFile)), &e);
        st.tabellaclasse = QStringLiteral("prima-B");
        st.nomeclasse = QStringLiteral("Prima  B");
        st.rsclasse = st.dbrisultati->openRecordset(st.tabellaclasse);
        Recordset &rs = *st.rsclasse;
        rs.addNew();
        rs.setField("nome", "NERI GIULIA");
        rs.setField("arrivo", 1);
        rs.setField("sub", sub);
        rs.update();
        rs.move(0, rs.lastModified());
        st.segnalibro = rs.bookmark();
        st.tipoavvio = sub > 1 ? kAvvioRipresa : kAvvioNuovo;
    }

    // The screen shown on `display` with the pupil's tools as the teacher sets them, the
    // "Ascolta" buttons shown too; the start screen sets the default back, so the
    // presentation is set after.
    static ScreenBase *showOn(test::AppEnv &env, qv::Screen screen, int display, const Presentation &presentation,
                              int sub = 1)
    {
        if (screen != Screen::FLINIZIO)
            preparePupil(env, sub);
        ScreenBase *w = env.app->load(screen);
        if (!w)
            return nullptr;
        w->window()->setScreen(QGuiApplication::screens().at(display)); // the pupils' window, in the program
        env.app->state().strumenti =
            PupilTools{true, true, presentation.textPercent, presentation.readableFont, presentation.highContrast};
        env.app->show(screen);
        env.app->setPresentation(presentation);
        QCoreApplication::processEvents();
        return w;
    }

    // The larger text is kept, in either face. The size asked is the design's point size
    // × the text factor, in either face: at one point size the readable face's letters are
    // about as tall as the design face's (its small letters 16 px against 15 at 21 pt, though
    // its font reports nearly twice that), its lines half as tall again, its words a fifth wider.
    static void check(ScreenBase *w, const QString &name, qv::Screen screen)
    {
        QCoreApplication::processEvents();
        // Rows that reach past their box show its scroll bar (it comes with the events that
        // follow), or what lies below is out of reach.
        for (auto *box : w->findChildren<QScrollArea *>())
            if (box->isVisibleTo(w) && box->widget() && box->widget()->height() > box->viewport()->height())
                QTRY_VERIFY2(box->verticalScrollBar()->isVisible(), qPrintable(name + QStringLiteral(": no bar ") + box->objectName()));
        test::screenshot(w, name);
        const QString cut = cutText(w);
        QVERIFY2(cut.isEmpty(), qPrintable(name + QStringLiteral(": cut ") + cut));
        const QString both = overlap(w);
        QVERIFY2(both.isEmpty(), qPrintable(name + QStringLiteral(": overlap ") + both));
        const QString loose = looseLine(w);
        QVERIFY2(loose.isEmpty(), qPrintable(name + QStringLiteral(": loose ") + loose));
        const Presentation &p = w->scaler()->presentation();
        if (p.textPercent > 100) {
            const QString small = shrunkTexts(w, QString::fromLatin1(screenName(screen)));
            QVERIFY2(small.isEmpty(), qPrintable(name + QStringLiteral(": smaller ") + small));
        }
    }

private slots:
    // The scaler's one job: the body on the canvas (the design's proportions, centred, bars
    // beside it) and the look applied; a presentation changed while the screen is hidden is
    // there when it is shown, and the screen hears of it to set its own lengths.
    void bodyKeptOnTheCanvas_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("canvas");
        QTest::newRow("design") << QSize(1016, 730) << QRect(0, 0, 1016, 730);
        QTest::newRow("twice") << QSize(2032, 1460) << QRect(0, 0, 2032, 1460);
        QTest::newRow("wider") << QSize(1920, 1080) << QRect(208, 0, 1503, 1080);
        QTest::newRow("taller") << QSize(1024, 1024) << QRect(0, 144, 1024, 736);
    }
    void bodyKeptOnTheCanvas()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, canvas);
        QWidget screen;
        ScreenScaler scaler(&screen, QSize(1016, 730));
        auto *body = new QWidget(&screen);
        auto *label = new QLabel(QStringLiteral("Testo"), body);
        setDesignText(label, 12);
        auto *pane = new RowPane(QStringLiteral("Riquadro"), QStringLiteral("Righe"), body);
        QList<Look> relaid;
        scaler.setBody(body, [&relaid](const Look &l) { relaid << l; });
        screen.resize(window);
        screen.show();
        QCOMPARE(body->geometry(), canvas);
        QCOMPARE(scaler.canvas(), canvas);
        const qreal f = canvas.width() / 1016.0;
        QVERIFY(qAbs(label->font().pointSizeF() - 12 * f) < 0.01);
        QVERIFY(!relaid.isEmpty() && relaid.last() == scaler.look());
        QCOMPARE(pane->verticalScrollBar()->sizeHint().width(), scaler.look().px(20)); // grows with the display
        screen.hide();
        scaler.setPresentation(Presentation{150, false, false});
        screen.show();
        QVERIFY(qAbs(label->font().pointSizeF() - 18 * f) < 0.01);
        QCOMPARE(relaid.last().presentation.textPercent, 150);
        QVERIFY(scaler.textShare(label) > 0.99);
        label->setFont(QFont(label->font().family(), 9)); // shrunk by someone else: seen as such
        QVERIFY(scaler.textShare(label) < 0.99);
    }

    // The look of a laid-out screen, and back: text at its design size × the display's factor
    // × the pupil's share in the pupil's face (decoration at the display's size alone), design
    // colours in the default presentation and mapped in high contrast, a text on a box taking
    // the box's mapped colour as its background; nothing of high contrast left after it.
    void lookAppliesPresentation_data()
    {
        QTest::addColumn<qreal>("factor");
        QTest::addColumn<Presentation>("presentation");
        QTest::newRow("100") << 1.0 << Presentation{};
        QTest::newRow("150-wide") << 1.5 << Presentation{150, false, false};
        QTest::newRow("125-readable") << 1.0 << Presentation{125, true, false};
        QTest::newRow("contrast") << 2.0 << Presentation{100, false, true};
    }
    void lookAppliesPresentation()
    {
        QFETCH(qreal, factor);
        QFETCH(Presentation, presentation);
        const QColor paper(0xdc, 0xeb, 0xff), ink(0x80, 0x00, 0x80);
        QWidget screen;
        auto *box = new QFrame(&screen);
        setDesignBack(box, paper);
        auto *text = new QLabel(QStringLiteral("Testo"), box);
        setDesignText(text, 16, true);
        setDesignInk(text, ink);
        auto *decoration = new QLabel(QStringLiteral("STORIA"), &screen);
        setDecorationText(decoration, 30);
        const Look look{factor, presentation};
        applyLook(&screen, look);
        QCOMPARE(text->font().pointSizeF(), 16 * factor * presentation.textPercent / 100.0);
        QCOMPARE(text->font().bold(), true);
        QCOMPARE(text->font().family() == QLatin1String("OpenDyslexic"), presentation.readableFont);
        QCOMPARE(decoration->font().pointSizeF(), 30 * factor);
        QCOMPARE(decoration->font().family(), QStringLiteral("Liberation Sans"));
        const QColor back = presentation.highContrast ? contrastBack(paper) : paper;
        QCOMPARE(box->palette().color(QPalette::Window), back);
        QCOMPARE(text->palette().color(QPalette::WindowText), presentation.highContrast ? contrastText(back, ink) : ink);
        if (presentation.highContrast)
            QVERIFY(contrastRatio(text->palette().color(QPalette::WindowText), back) >= 7);
        applyLook(&screen, Look{factor, {}});
        QCOMPARE(box->palette().color(QPalette::Window), paper);
        QCOMPARE(text->palette().color(QPalette::WindowText), ink);
        QCOMPARE(text->font().pointSizeF(), 16 * factor);
    }

    void fitsEveryDisplay_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<Presentation>("presentation");
        QTest::addColumn<qv::Screen>("screen");
        const QList<qv::Screen> screens = {Screen::FLINIZIO, Screen::FrmNOME,  Screen::FLETTURA,
                                           Screen::FLgrasem, Screen::FLogsem,  Screen::FLfrasi,
                                           Screen::FLstoria1, Screen::FLstoria2, Screen::FLcartge};
        for (int d = 0; d < kDisplays.size(); ++d)
            for (const auto &look : kLooks)
                for (qv::Screen s : screens)
                    QTest::addRow("%s-%dx%d-%s", screenName(s), kDisplays[d].width(), kDisplays[d].height(), look.first)
                        << d << look.second << s;
    }

    void fitsEveryDisplay()
    {
        QFETCH(int, display);
        QFETCH(Presentation, presentation);
        QFETCH(qv::Screen, screen);
        QCOMPARE(QGuiApplication::screens().size(), kDisplays.size() + kSmallDisplays.size());
        QScreen *on = QGuiApplication::screens().at(display);

        test::AppEnv env;
        QVERIFY(env.folder.ok());
        ScreenBase *w = showOn(env, screen, display, presentation);
        QVERIFY(w && w->isVisible());
        QCOMPARE(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()), on->geometry());

        // The design's proportions: the drawing as large as the display allows, centred.
        const QRect canvas = w->scaler()->canvas();
        QVERIFY(qAbs(canvas.width() * 730.0 / 1016.0 - canvas.height()) <= 1.5);
        QVERIFY(canvas.width() == w->width() || canvas.height() == w->height());
        QVERIFY(w->rect().contains(canvas));

        const QString name = QString::fromLatin1(QTest::currentDataTag());
        if (screen == Screen::FLINIZIO) {
            auto *s = static_cast<FLINIZIO *>(w);
            auto *avvio = control<QLabel>(s, QStringLiteral("LabAVVIO"));
            QTest::mouseClick(avvio, Qt::LeftButton, {}, avvio->rect().center());
            check(w, name + QStringLiteral("-classi"), screen);
            auto *classe = control<QLabel>(s, QStringLiteral("Label1"), 1);
            QTest::mouseClick(classe, Qt::LeftButton, {}, classe->rect().center());
        }
        check(w, name, screen);
    }

    // The causal schemes in each of their nine sets on the smallest display and a wide one,
    // as they come (in a fixed order) and with each box holding a statement, which must fit
    // there at its size too.
    void everySetFits_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<Presentation>("presentation");
        QTest::addColumn<int>("set");
        for (int d : {0, 1})
            for (const auto &look : kLooks)
                for (int set = 1; set <= 9; ++set)
                    QTest::addRow("%dx%d-%s-%d", kDisplays[d].width(), kDisplays[d].height(), look.first, set)
                        << d << look.second << set;
    }
    void everySetFits()
    {
        QFETCH(int, display);
        QFETCH(Presentation, presentation);
        QFETCH(int, set);
        test::AppEnv env;
        auto *s = static_cast<FLstoria1 *>(showOn(env, Screen::FLstoria1, display, presentation, set));
        QVERIFY(s);
        s->model().setSeedSource([] { return 7u; });
        s->activate();
        QCOMPARE(s->model().numesercizio(), set);
        const QString name = QStringLiteral("FLstoria1-") + QString::fromLatin1(QTest::currentDataTag());
        check(s, name, Screen::FLstoria1);
        for (int i = 0; i < s->model().caselle(); ++i)
            s->board->dropOn(i, i);
        check(s, name + QStringLiteral("-piene"), Screen::FLstoria1);
    }

    // Every pupil screen in high contrast, as drawn: every text at 7:1 or more on what lies
    // behind it; boxes whose design colours differ still differ; a box, or a text on the
    // black screen, keeps its colour's name (an instruction's "caselle azzurre") unless it turns
    // black, the screen's own colour.
    void contrastKeepsColours_data()
    {
        QTest::addColumn<qv::Screen>("screen");
        for (qv::Screen s : {Screen::FrmNOME, Screen::FLETTURA, Screen::FLgrasem, Screen::FLogsem, Screen::FLfrasi,
                             Screen::FLstoria1, Screen::FLstoria2, Screen::FLcartge})
            QTest::newRow(screenName(s)) << s;
    }

    void contrastKeepsColours()
    {
        QFETCH(qv::Screen, screen);
        // The screen as designed, then as a pupil with high contrast meets it from the start;
        // one thing placed in both (a filled box, a used statement's or date's mark) and the
        // timers stopped for a still picture (the credit line lights no other word meanwhile).
        auto open = [&](test::AppEnv &env, bool contrast) {
            preparePupil(env);
            ScreenBase *w = env.app->load(screen);
            w->window()->setScreen(QGuiApplication::screens().at(0));
            env.app->state().strumenti = PupilTools{true, true, 100, false, contrast}; // "Ascolta" shown too
            env.app->show(screen);
            env.app->setPresentation({100, false, contrast});
            if (auto *board = w->findChild<DragDropBoard *>()) {
                board->clickSource(0);
                board->clickTarget(0);
            }
            QCoreApplication::processEvents();
            for (auto *t : w->findChildren<QTimer *>())
                t->stop();
            return w;
        };
        QList<Shown> shown;
        {
            test::AppEnv env;
            shown = designColours(open(env, false));
        }
        QVERIFY(shown.size() > 3);
        test::AppEnv env;
        ScreenBase *w = open(env, true);
        test::screenshot(w, QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral("-contrast"));
        for (Shown &s : shown)
            QVERIFY2((s.w = w->findChild<QFrame *>(s.name)), qPrintable(s.name));
        drawnColours(w, shown);
        for (const Shown &s : shown) {
            auto *l = qobject_cast<QLabel *>(s.w);
            const QString what = QStringLiteral("%1: %2 on %3, design %4 on %5")
                                     .arg(s.w->objectName(), s.ink.name(), s.back.name(), s.designInk.name(), s.designBack.name());
            if (!l || !l->text().isEmpty())
                QVERIFY2(contrastRatio(s.ink, s.back) >= 7, qPrintable(what));
            if (s.ownBack && colourName(s.back) != QLatin1String("nero"))
                QVERIFY2(colourName(s.back) == colourName(s.designBack), qPrintable(what));
            if (s.back == Qt::black && l && !l->text().isEmpty() && s.designInk.hsvSaturationF() > 0.3 && s.designInk.valueF() > 0.3)
                QVERIFY2(colourName(s.ink) == colourName(s.designInk), qPrintable(what));
        }
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        for (const Shown &a : shown)
            for (const Shown &b : shown)
                if (&a < &b && a.ownBack && b.ownBack && apart(a.designBack, b.designBack, 24)
                    && !listed(kMayMerge, tag, a.w, false) && !listed(kMayMerge, tag, b.w, false))
                    QVERIFY2(apart(a.back, b.back, 40),
                             qPrintable(QStringLiteral("%1 %2 and %3 %4 both %5")
                                            .arg(a.w->objectName(), a.designBack.name(), b.w->objectName(),
                                                 b.designBack.name(), a.back.name())));
    }

    // The focus frame on every display, in either presentation: drawn whole beside a control
    // at the edge of its scrolling box, in a colour apart from the control's own edge (in high
    // contrast every border is yellow or white), and thicker on a larger display.
    void focusFrameStandsOut_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<bool>("contrast");
        for (int d : {0, int(kDisplays.size()) - 1}) // the smallest display and the largest
            for (bool contrast : {false, true})
                QTest::addRow("%dx%d%s", kDisplays[d].width(), kDisplays[d].height(), contrast ? "-contrast" : "")
                    << d << contrast;
    }

    void focusFrameStandsOut()
    {
        QFETCH(int, display);
        QFETCH(bool, contrast);
        test::AppEnv env;
        auto *w = static_cast<FLETTURA *>(showOn(env, Screen::FLETTURA, display, {100, false, contrast}));
        QVERIFY(w && QTest::qWaitForWindowActive(w->window()));
        const int least = FocusRing::kWidth * kDisplays[display].height() / 768;
        for (QWidget *c : {control<QWidget>(w, QStringLiteral("Check1"), 0), control<QWidget>(w, QStringLiteral("Labseguente"))}) {
            c->setFocus(Qt::TabFocusReason);
            w->scaler()->sync();
            QCoreApplication::processEvents();
            QWidget *ring = env.app->findChild<FocusRing *>()->frame();
            QVERIFY(ring);
            const int t = (ring->width() - c->width()) / 2;
            QVERIFY2(t >= least, qPrintable(QStringLiteral("%1: %2 px").arg(c->objectName()).arg(t)));
            const QRect r(c->mapTo(w, QPoint(0, 0)), c->size());
            const QImage shot = w->grab().toImage();
            const QColor frame = shot.pixelColor(r.left() - 1 - t / 4, r.center().y());
            const QColor edge = shot.pixelColor(r.left() + 1, r.center().y());
            const QString what = QStringLiteral("%1: frame %2, edge %3").arg(c->objectName(), frame.name(), edge.name());
            QVERIFY2(frame == FocusRing::colourFor(c), qPrintable(what));
            QVERIFY2(apart(frame, edge, 60), qPrintable(what));
        }
    }

    // Rows laid out by a layout in a box of rows: the rows' widget as tall as the layout needs
    // across the box (no taller than the box when they fit), so the bar comes and goes with
    // the texts, at once after a text changes.
    void laidOutRowsScrollAsTheyNeed_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("short") << 3 << false;
        QTest::newRow("long") << 400 << true;
    }
    void laidOutRowsScrollAsTheyNeed()
    {
        QFETCH(int, words);
        QFETCH(bool, scrolls);
        QWidget w;
        auto *pane = new RowPane(QStringLiteral("Riquadro"), QStringLiteral("Righe"), &w);
        pane->setGeometry(0, 0, 400, 300);
        auto *grid = new QGridLayout(pane->rows());
        QList<QLabel *> rows;
        for (int r = 0; r < 3; ++r) {
            rows << new QLabel(QStringLiteral("Riga"), pane->rows());
            rows.last()->setWordWrap(true);
            grid->addWidget(rows.last(), r, 0);
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        rows[1]->setText(QStringList(words, QStringLiteral("parola")).join(QLatin1Char(' ')));
        QTRY_COMPARE(pane->scrolls(), scrolls);
        QTRY_VERIFY(pane->rows()->height() >= grid->totalHeightForWidth(pane->viewport()->width()));
        QCOMPARE(pane->rows()->height() > pane->viewport()->height(), scrolls);
        QVERIFY(rows[2]->geometry().bottom() < pane->rows()->height());
    }

    // At larger text the chronology's events scroll: the keyboard brings the box it reaches
    // into view and places a date there, a drag held near an edge scrolls, the dates stay.
    void chronologyScrolls()
    {
        test::AppEnv env;
        auto *s = static_cast<FLstoria2 *>(showOn(env, Screen::FLstoria2, 0, {150, false, false}));
        QVERIFY(s);
        auto *pane = control<RowPane>(s, QStringLiteral("Riquadrofatti"));
        auto *date = control<QLabel>(s, QStringLiteral("Label3"), 3);
        auto *last = control<QLabel>(s, QStringLiteral("Label2"), 9);
        QScrollBar *bar = pane->verticalScrollBar();
        QVERIFY(pane->scrolls() && bar->isVisible());
        QCOMPARE(bar->value(), 0);
        date->setFocus();
        QTest::keyClick(date, Qt::Key_Return);
        for (int r = 0; r < 9; ++r)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), last);
        const QRect box(last->mapTo(pane->viewport(), QPoint()), last->size());
        QVERIFY(pane->viewport()->rect().contains(box));
        QTest::keyClick(last, Qt::Key_Return);
        QCOMPARE(last->text(), date->text());
        QVERIFY(date->visibleRegion().boundingRect() == date->rect());

        // Near an edge, within the box's width, the rows scroll that way; elsewhere not.
        const int h = pane->height(), bottom = bar->value();
        const struct { QPoint at; int sign; } steps[] = {
            {{100, h / 2}, 0}, {{100, 2}, -1}, {{100, -10}, -1}, {{-5, 2}, 0}, {{100, -h}, 0}, {{100, h - 2}, 1}};
        for (const auto &step : steps) {
            bar->setValue(bottom / 2);
            const int moved = pane->scrollToward(step.at);
            QVERIFY2((moved > 0) - (moved < 0) == step.sign, qPrintable(QStringLiteral("%1,%2").arg(step.at.x()).arg(step.at.y())));
        }
        // While a date is dragged and the pointer held at the bottom edge, and only then.
        bar->setValue(0);
        QCursor::setPos(pane->mapToGlobal(QPoint(100, h - 2)));
        emit s->board->dragStarted(0);
        QTRY_VERIFY(bar->value() > 0);
        emit s->board->dragEnded(0);
        const int stopped = bar->value();
        QTest::qWait(150);
        QCOMPARE(bar->value(), stopped);
    }

    // The reading test's options scroll in the readable face: the keyboard brings the last
    // into view, and the first back with the question over it.
    void questionComesBackWithTheFirstOption()
    {
        test::AppEnv env;
        auto *s = static_cast<FLETTURA *>(showOn(env, Screen::FLETTURA, 0, {150, true, false}));
        QVERIFY(s);
        auto *pane = control<RowPane>(s, QStringLiteral("Riquadrodomanda"));
        QScrollBar *bar = pane->verticalScrollBar();
        QVERIFY(pane->scrolls() && bar->value() == 0);
        const auto inView = [pane](QWidget *w) {
            const QRect r(w->mapTo(pane->viewport(), QPoint()), w->size());
            return pane->viewport()->rect().contains(r);
        };
        const QList<QWidget *> boxes = controlRow<QWidget>(s, QStringLiteral("Check1"));
        QWidget *first = control<QWidget>(s, QStringLiteral("Labris"), 0);
        boxes[3]->setFocus();
        QVERIFY(bar->value() > 0 && inView(boxes[3]) && !inView(first));
        boxes[0]->setFocus();
        QCOMPARE(bar->value(), 0);
        QVERIFY(inView(first));
    }

    // At larger text the map test's column is wider, beside the whole map drawn smaller:
    // on both maps, in both faces, every text keeps its size, the lists' names too, the
    // lists lie in the column and "Ascolta" on the map's lower left quarter.
    void mapColumnAtLargerText_data()
    {
        QTest::addColumn<bool>("political");
        QTest::addColumn<Presentation>("presentation");
        for (bool political : {false, true})
            for (const Presentation &p : {Presentation{150, false, false}, Presentation{150, true, true}})
                QTest::addRow("%s-%s", political ? "politica" : "fisica", p.readableFont ? "leggibile" : "150")
                    << political << p;
    }
    void mapColumnAtLargerText()
    {
        QFETCH(bool, political);
        QFETCH(Presentation, presentation);
        test::AppEnv env;
        auto *s = static_cast<FLcartge *>(showOn(env, Screen::FLcartge, 1, presentation));
        QVERIFY(s);
        auto *list1 = control<QListWidget>(s, QStringLiteral("List1"));
        auto *list2 = control<QListWidget>(s, QStringLiteral("List2"));
        auto *image = control<QLabel>(s, QStringLiteral("Image1"));
        auto *listen = control<QWidget>(s, QStringLiteral("Labascolta"));
        for (int i = 0; political && i < 22; ++i) {
            QListWidgetItem *item = list2->item(i);
            list2->scrollToItem(item);
            QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, list2->visualItemRect(item).center());
            QTest::mouseClick(control<QWidget>(s, QStringLiteral("cmdelemseg")), Qt::LeftButton);
        }
        QCOMPARE(s->model().political(), political);
        QCoreApplication::processEvents();
        test::screenshot(s, QStringLiteral("FLcartge-") + QString::fromLatin1(QTest::currentDataTag()));
        const QString small = shrunkTexts(s, QStringLiteral("FLcartge"));
        QVERIFY2(small.isEmpty(), qPrintable(small));
        const QWidget *column = control<QWidget>(s, QStringLiteral("Frame2"));
        for (QWidget *list : {static_cast<QWidget *>(list1), static_cast<QWidget *>(list2)}) {
            QVERIFY(!list->isVisible() || column->rect().contains(list->geometry()));
            QVERIFY2(!list->isVisible() || s->scaler()->textShare(list) >= 0.9, qPrintable(list->objectName()));
        }
        const QSize picture = image->pixmap().size();
        QVERIFY(qAbs(picture.width() - image->width()) <= 1 && qAbs(picture.height() - image->height()) <= 1);
        const QRect map(image->mapTo(s, QPoint()), image->size());
        const QRect corner(map.x(), map.center().y(), map.width() / 2, map.height() / 2);
        QVERIFY(corner.contains(QRect(listen->mapTo(s, QPoint()), listen->size())));
        QVERIFY(control<QWidget>(s, QStringLiteral("Frame1"))->geometry().right() < column->geometry().left());
    }

    // On a lab computer's display and below, every name of the map test's lists is within
    // reach: a scroll bar shows wherever a name lies out of sight, and the arrow keys walk
    // the names in order, each brought into view in turn.
    void mapListsReachEveryName_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<Presentation>("presentation");
        QTest::addColumn<bool>("political");
        for (int d = 0; d < kSmallDisplays.size(); ++d)
            for (const auto &look : kLooks)
                for (bool political : {false, true})
                    QTest::addRow("%dx%d-%s-%s", kSmallDisplays[d].width(), kSmallDisplays[d].height(), look.first,
                                  political ? "politica" : "fisica")
                        << int(kDisplays.size()) + d << look.second << political;
    }
    void mapListsReachEveryName()
    {
        QFETCH(int, display);
        QFETCH(Presentation, presentation);
        QFETCH(bool, political);
        test::AppEnv env;
        auto *s = static_cast<FLcartge *>(showOn(env, Screen::FLcartge, display, presentation));
        QVERIFY(s);
        for (int i = 0; political && i < 22; ++i) {
            s->model().clickList2(i);
            QTest::mouseClick(control<QWidget>(s, QStringLiteral("cmdelemseg")), Qt::LeftButton);
        }
        QCOMPARE(s->model().political(), political);
        QCoreApplication::processEvents();
        test::screenshot(s, QStringLiteral("FLcartge-elenchi-") + QString::fromLatin1(QTest::currentDataTag()));
        for (QListWidget *list : {control<QListWidget>(s, QStringLiteral("List2")), control<QListWidget>(s, QStringLiteral("List1"))}) {
            if (!list->isVisibleTo(s))
                continue;
            QCOMPARE(list->count(), political ? 20 : 22);
            const QRect view = list->viewport()->rect();
            list->scrollToTop();
            list->horizontalScrollBar()->setValue(0);
            for (int i = 0; i < list->count(); ++i) {
                const QRect r = list->visualItemRect(list->item(i));
                const QScrollBar *bar = r.right() > view.right() ? list->horizontalScrollBar() : list->verticalScrollBar();
                QVERIFY2(view.contains(r) || bar->isVisible(), qPrintable(list->item(i)->text() + QStringLiteral(": out of sight, no bar")));
            }
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Home);
            for (int i = 0; i < list->count(); ++i) {
                if (i > 0)
                    QTest::keyClick(list, Qt::Key_Down);
                QCOMPARE(list->currentRow(), i);
                QVERIFY2(view.contains(list->visualItemRect(list->currentItem())),
                         qPrintable(QStringLiteral("%1 \"%2\" out of sight").arg(list->objectName(), list->currentItem()->text())));
            }
        }
    }
};

// Three displays side by side on the offscreen platform, and the small ones after them,
// before the application starts.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (!test::useDisplays(dir, test::sideBySide(kDisplays + kSmallDisplays)))
        return 1;
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    TstScreenFit t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_screenfit.moc"
