// The drag-and-drop board on a small screen of its own: drops copy captions, real drop
// events, the start of a drag, click-to-place with its highlight, and what clears it.
#include "ui/widgets/dragdropboard.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace qv::ui;

namespace {

struct Screen {
    QWidget window;
    QList<QLabel *> sources;
    QList<QLabel *> targets;
    QLabel *other = nullptr;
    QPushButton *button = nullptr;
    DragDropBoard *board = nullptr;

    explicit Screen(const QStringList &captions)
    {
        window.resize(600, 400);
        board = new DragDropBoard(&window);
        for (int i = 0; i < captions.size(); ++i) {
            auto *s = new QLabel(captions.at(i), &window);
            s->setGeometry(400, 20 + 50 * i, 150, 40);
            s->setStyleSheet("background: #ccffff");
            sources << s;
            board->addSource(s, i);
        }
        for (int i = 0; i < 4; ++i) {
            auto *t = new QLabel(&window);
            t->setGeometry(200, 20 + 50 * i, 150, 40);
            targets << t;
            board->addTarget(t, i);
        }
        other = new QLabel("elemento", &window);
        other->setGeometry(20, 20, 150, 40);
        button = new QPushButton("Frase seguente", &window);
        button->setGeometry(20, 300, 150, 40);
    }
};

void sendMove(QWidget *w, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Delivers a drag entering and then dropping on a widget, as the system does. true if
// the drop was accepted.
bool deliverDrop(QWidget *w, const QMimeData *mime)
{
    const QPoint p = w->rect().center();
    QDragEnterEvent enter(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(p), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace

class TstDragDropBoard : public QObject {
    Q_OBJECT

    std::unique_ptr<Screen> s;

private slots:
    void init()
    {
        s = std::make_unique<Screen>(QStringList{"Articolo", "Nome", "Verbo"});
        s->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s->window));
    }
    void cleanup() { s.reset(); }

    void dropCopiesCaptionReplacesAndKeepsSources()
    {
        QStringList seen;
        connect(s->board, &DragDropBoard::dropped, this,
                [&](int t, int src) { seen << QString("%1<%2:%3").arg(t).arg(src).arg(s->targets[t]->text()); });
        s->board->dropOn(0, 2);
        s->board->dropOn(0, 1); // a later drop replaces
        s->board->dropOn(3, 1); // the same source again, elsewhere
        s->board->dropOn(9, 0); // no such target
        s->board->dropOn(1, 9); // no such source
        QCOMPARE(seen, QStringList({"0<2:Verbo", "0<1:Nome", "3<1:Nome"}));
        QCOMPARE(s->targets[0]->text(), QString("Nome"));
        QCOMPARE(s->targets[3]->text(), QString("Nome"));
        QVERIFY(s->targets[1]->text().isEmpty());
        QCOMPARE(s->sources[1]->text(), QString("Nome"));
        QCOMPARE(s->sources[2]->text(), QString("Verbo"));
    }

    void realDropEventsOnlyFromThisBoardOnTargets()
    {
        QSignalSpy spy(s->board, &DragDropBoard::dropped);
        std::unique_ptr<QMimeData> mine(s->board->mimeFor(1));
        QVERIFY(deliverDrop(s->targets[2], mine.get()));
        QCOMPARE(s->targets[2]->text(), QString("Nome"));
        QCOMPARE(spy.count(), 1);

        // A drop elsewhere does nothing.
        deliverDrop(s->other, mine.get());
        QCOMPARE(s->other->text(), QString("elemento"));
        deliverDrop(&s->window, mine.get());

        // Plain text from another program, or a drag of another screen's board.
        QMimeData text;
        text.setText("Avverbio");
        QVERIFY(!deliverDrop(s->targets[0], &text));
        Screen second({"Soggetto"});
        std::unique_ptr<QMimeData> foreign(second.board->mimeFor(0));
        QVERIFY(!deliverDrop(s->targets[0], foreign.get()));
        QVERIFY(s->targets[0]->text().isEmpty());
        QCOMPARE(spy.count(), 1);
    }

    void pressAndMoveOnASourceStartsADrag()
    {
        QSignalSpy started(s->board, &DragDropBoard::dragStarted);
        QLabel *src = s->sources[0];
        QTest::mousePress(src, Qt::LeftButton, {}, QPoint(20, 20));
        sendMove(src, QPoint(21, 21), Qt::LeftButton); // under the threshold: still a click
        QCOMPARE(started.count(), 0);
        sendMove(src, QPoint(23, 21), Qt::LeftButton);
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 0);
        QTest::mouseRelease(src, Qt::LeftButton, {}, QPoint(23, 21));
        QCOMPARE(s->board->selected(), -1); // a drag is not a click
        QCOMPARE(s->sources[0]->text(), QString("Articolo"));

        // Moving without the button held, or from a target or another control: no drag.
        sendMove(src, QPoint(40, 30), Qt::NoButton);
        for (QWidget *w : {static_cast<QWidget *>(s->targets[0]), static_cast<QWidget *>(s->other)}) {
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
            sendMove(w, QPoint(60, 30), Qt::LeftButton);
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(60, 30));
        }
        QCOMPARE(started.count(), 1);
    }

    void clickToPlaceWithVisibleHighlight()
    {
        const QString style = s->sources[1]->styleSheet();
        const QPalette pal = s->sources[1]->palette();
        QSignalSpy spy(s->board, &DragDropBoard::dropped);

        QTest::mouseClick(s->targets[0], Qt::LeftButton); // nothing selected: nothing happens
        QVERIFY(s->targets[0]->text().isEmpty());

        QTest::mouseClick(s->sources[1], Qt::LeftButton);
        QCOMPARE(s->board->selected(), 1);
        QWidget *mark = s->board->selectionMark();
        QVERIFY(mark && mark->isVisible());
        QVERIFY(mark->geometry().contains(s->sources[1]->geometry()));
        QVERIFY(mark->geometry() != s->sources[1]->geometry());
        QCOMPARE(s->sources[1]->styleSheet(), style); // the label's own look is untouched
        QCOMPARE(s->sources[1]->palette(), pal);

        QTest::mouseClick(s->targets[2], Qt::LeftButton);
        QCOMPARE(s->targets[2]->text(), QString("Nome"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(s->board->selected(), -1);
        QVERIFY(!mark->isVisible());
        QTest::mouseClick(s->targets[3], Qt::LeftButton); // the selection was used up
        QVERIFY(s->targets[3]->text().isEmpty());

        // Another source takes over the selection; the same one again drops it.
        QTest::mouseClick(s->sources[0], Qt::LeftButton);
        QTest::mouseClick(s->sources[2], Qt::LeftButton);
        QCOMPARE(s->board->selected(), 2);
        QVERIFY(mark->geometry().contains(s->sources[2]->geometry()));
        QTest::mouseClick(s->sources[2], Qt::LeftButton);
        QCOMPARE(s->board->selected(), -1);

        // A double click selects.
        QTest::mouseDClick(s->sources[0], Qt::LeftButton);
        QCOMPARE(s->board->selected(), 0);
        QTest::mouseClick(s->targets[1], Qt::LeftButton);
        QCOMPARE(s->targets[1]->text(), QString("Articolo"));
    }

    void escapeOrAClickElsewhereClears()
    {
        auto select = [&] {
            QTest::mouseClick(s->sources[0], Qt::LeftButton);
            QCOMPARE(s->board->selected(), 0);
        };
        select();
        QTest::keyClick(&s->window, Qt::Key_Escape);
        QCOMPARE(s->board->selected(), -1);
        QVERIFY(!s->board->selectionMark()->isVisible());

        select();
        QTest::mouseClick(s->other, Qt::LeftButton); // a plain label
        QCOMPARE(s->board->selected(), -1);

        select();
        QTest::mouseClick(&s->window, Qt::LeftButton, {}, QPoint(300, 380)); // the background
        QCOMPARE(s->board->selected(), -1);

        select();
        QTest::mouseClick(s->button, Qt::LeftButton); // a control that keeps its press
        QCOMPARE(s->board->selected(), -1);

        // A press on another window leaves this screen's selection alone.
        Screen second({"Soggetto"});
        second.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second.window));
        select();
        QTest::mouseClick(second.other, Qt::LeftButton);
        QCOMPARE(s->board->selected(), 0);

        // Hiding the screen (hand-over) clears it.
        s->window.hide();
        QCOMPARE(s->board->selected(), -1);
        for (QLabel *t : s->targets)
            QVERIFY(t->text().isEmpty());
    }
};

QTEST_MAIN(TstDragDropBoard)
#include "tst_dragdropboard.moc"
