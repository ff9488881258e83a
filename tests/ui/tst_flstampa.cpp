// The archive screen driven as a teacher does: from the start screen, through the lists,
// the class chooser, deletion and the printouts (as PDF files here).
#include "archive/backup.h"
#include "storage/classmap.h"
#include "storage/teacherpassword.h"
#include "storage/wording.h"
#include "support/controls.h"
#include "support/fakes.h"
#include "support/screenshots.h"
#include "ui/screens/flinizio.h"
#include "ui/screens/flstampa.h"
#include "ui/widgets/clicklabel.h"
#include "ui/widgets/listdialog.h"
#include "ui/widgets/realseams.h"

#include <QDialogButtonBox>
#include <QTemporaryDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QAccessible>
#include <QtTest>

using namespace qv;
using namespace qv::ui;
using qv::test::control;

Q_DECLARE_METATYPE(qv::ui::Presentation)

class TstFlstampa : public QObject {
    Q_OBJECT

    std::unique_ptr<test::AppEnv> env;
    FLINIZIO *inizio = nullptr;

    void add(const QString &table, const QString &nome, const QVariantMap &more = {})
    {
        auto rs = env->app->state().dbrisultati->openRecordset(table);
        rs->addNew();
        rs->setField("nome", nome);
        for (auto it = more.begin(); it != more.end(); ++it)
            rs->setField(it.key(), it.value());
        QVERIFY(rs->update());
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    FLstampa *openArchive(bool quiet = true)
    {
        // The teacher's password is chosen or typed (the fake's default); its own alert
        // on the first opening is not part of what these tests look at.
        const qsizetype before = env->dialogs.alerts.size();
        click(control<ClickLabel>(inizio, "Labarchivio"));
        if (quiet)
            env->dialogs.alerts.clear();
        else if (env->dialogs.alerts.size() > before && env->dialogs.alerts[before].startsWith("La password è stata salvata"))
            env->dialogs.alerts.removeAt(before);
        return env->app->screenAs<FLstampa>(Screen::FLstampa);
    }
    void chooseOnStart(int index)
    {
        click(control<ClickLabel>(inizio, "LabAVVIO"));
        click(control<ClickLabel>(inizio, "Label1", index));
    }
    QString backupProblemOf()
    {
        return pendingBackupProblem(*env->app->state().dbrisultati);
    }
    // What is wrong with the archive's layout at its present size: a control out of the page
    // or over another, a text cut or shrunk, a cell away from its heading's piece.
    QString layoutFault(FLstampa *a)
    {
        auto *page = control<QGroupBox>(a, "Frame1")->parentWidget();
        const QRect room = page->rect();
        QList<QWidget *> shown;
        for (QWidget *w : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->isVisible() && w->objectName() != "Frame1")
                shown << w;
        // Where a control draws: a framed or filled one all of it; a label's text piece by
        // piece (a heading's pieces stand apart by runs of blanks, other headings between).
        auto drawn = [](QWidget *w) {
            auto *l = qobject_cast<QLabel *>(w);
            if (!l || l->frameShape() != QFrame::NoFrame || l->autoFillBackground() || l->wordWrap())
                return QList<QRectF>{w->geometry()};
            const QFontMetricsF m(l->font());
            const QPointF at = l->pos() + l->contentsRect().topLeft();
            QList<QRectF> out;
            const QStringList lines = l->text().split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                const QRegularExpression piece("\\S+( \\S+)*");
                for (auto it = piece.globalMatch(lines[i]); it.hasNext();) {
                    const auto p = it.next();
                    out << QRectF(at.x() + m.horizontalAdvance(lines[i].left(p.capturedStart())), at.y() + i * m.lineSpacing(),
                                  m.horizontalAdvance(p.captured()), m.ascent() + m.descent());
                }
            }
            return out;
        };
        auto meet = [](const QList<QRectF> &a, const QList<QRectF> &b) {
            return std::any_of(a.begin(), a.end(), [&](const QRectF &r) {
                return std::any_of(b.begin(), b.end(), [&](const QRectF &o) { return r.intersects(o); });
            });
        };
        for (QWidget *w : shown) {
            const QString name = w->objectName();
            for (const QRectF &r : drawn(w))
                if (!QRectF(room).contains(r))
                    return name + " out of the page";
            if (a->scaler()->textShare(w) < 0.99)
                return name + " shrunk";
            if (auto *b = qobject_cast<QPushButton *>(w); b && QFontMetrics(b->font()).boundingRect(QRect(), 0, b->text()).width() > b->width())
                return name + " cut";
            if (auto *l = qobject_cast<QLabel *>(w); l && !l->text().isEmpty() && l->sizeHint().width() > l->width())
                return name + " cut";
            for (QWidget *o : shown)
                if (o != w && meet(drawn(o), drawn(w)))
                    return name + " over " + o->objectName();
        }
        // Each cell's left edge under its piece of a heading, below the heading's lines.
        const struct {
            const char *cell, *heading, *piece;
        } under[] = {
            {"Label6_0", "Label1", "fatti"}, {"Label6_1", "Label1", "lessico"}, {"Label6_2", "Label1", "inferenze"},
            {"Label6_3", "Label1", "scopi"}, {"Label6_4", "Label1", "sintesi"}, {"Label14", "Label13", "Quanti"},
            {"Label6_5", "Label2", "An. gram."}, {"Label6_6", "Label25", "Quanti"}, {"Label6_7", "Label2", "A.logica"},
            {"Label22", "Label15", "Quanti"}, {"Label6_8", "Label3", "Comprensione"}, {"Label16", "Label3", "Quanti"},
            {"Label6_9", "Label4", "relaz. causali semplici"}, {"Label6_10", "Label4", "relaz. causali complesse"},
            {"Label6_11", "Label4", "cronologia"}, {"Label19", "Label17", "minuti"}, {"Label20", "Label18", "minuti"},
            {"Label6_12", "Label5", "Riconoscimento"}, {"Label27", "Label26", "Quanti"},
            {"Label6_13", "Label5", "Riconosc. di"}, {"Label24", "Label23", "Quanti"},
        };
        for (const auto &u : under) {
            auto *cell = control<QLabel>(a, u.cell);
            auto *heading = control<QLabel>(a, u.heading);
            const QStringList lines = heading->text().split('\n');
            const QFontMetricsF m(heading->font());
            const auto line = std::find_if(lines.begin(), lines.end(), [&](const QString &l) { return l.contains(u.piece); });
            const qreal x = heading->x() + heading->contentsRect().left() + m.horizontalAdvance(line->left(line->indexOf(u.piece)));
            if (qAbs(cell->x() - x) > 2)
                return QString("%1 at %2, its piece \"%3\" at %4").arg(u.cell).arg(cell->x()).arg(u.piece).arg(x);
            if (heading->y() + lines.size() * m.lineSpacing() > cell->y() + 0.5)
                return QString("%1 under the lines of %2").arg(u.cell, u.heading);
        }
        return {};
    }

private slots:
    void init()
    {
        env = std::make_unique<test::AppEnv>();
        QVERIFY(env->folder.ok());
        env->app->show(Screen::FLINIZIO);
        inizio = env->app->screenAs<FLINIZIO>(Screen::FLINIZIO);
        QVERIFY(inizio && inizio->isVisible());
    }
    void cleanup() { env.reset(); }

    void browse()
    {
        add("prima-C", "ROSSI MARIO", {{"arrivo", 10}, {"sub", 20}, {"fatti1", 4}, {"fatti2", 3}, {"lessico1", 5},
                                       {"temlettura", 21}, {"gramsem", 40}, {"gramcom", 9}, {"temgram", 13},
                                       {"logsem", 30}, {"temlogica", 8}, {"frasi1", 11}, {"temfrasi", 6},
                                       {"causasem", 12}, {"causacom", 14}, {"temcause", 7}, {"cronolog", 19},
                                       {"temcrono", 5}, {"elemfis", 21}, {"temfisica", 4}, {"elempol", 38},
                                       {"tempolitica", 9}, {"inferen1", 6}, {"inferen2", 5}, {"scopi2", 3},
                                       {"sintesi1", 1}, {"sintesi2", 1}});
        add("prima-C", "BIANCHI ANNA", {{"arrivo", 2}, {"sub", 14}, {"fatti1", 4}});
        chooseOnStart(2);
        FLstampa *a = openArchive();
        QVERIFY(a && a->isVisible());
        QVERIFY(!inizio->isVisible());
        QCOMPARE(a->windowTitle(), QString("ARCHIVIO DEI RISULTATI"));
        QVERIFY(a->width() <= 1024 && a->height() <= 768);
        QCOMPARE(control<QLabel>(a, "Label8")->text(), QString("Prima  C"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"ROSSI MARIO", "BIANCHI ANNA"}));
        QCOMPARE(control<QListWidget>(a, "List2")->count(), 2);
        // The date as a teacher reads it; the record's key (milliseconds, tag) stays hidden.
        QVERIFY2(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$").match(control<QListWidget>(a, "List2")->item(0)->text()).hasMatch(),
                 qPrintable(control<QListWidget>(a, "List2")->item(0)->text()));
        QVERIFY(control<QListWidget>(a, "List2")->item(0)->text().startsWith(QDate::currentDate().toString("dd/MM/yyyy")));
        QCOMPARE(control<QListWidget>(a, "List1")->currentRow(), 0);
        QCOMPARE(control<QLabel>(a, "Label7")->text(), QString("ROSSI MARIO"));
        QCOMPARE(control<QLabel>(a, "Label10")->text(), QString("ROSSI MARIO"));
        QCOMPARE(control<QLabel>(a, "Label12")->text(), QString("Finito"));
        QCOMPARE(control<QLabel>(a, "Label12")->palette().color(QPalette::Window), QColor(128, 255, 128));
        // Every cell where the column table puts it.
        const QStringList six = {"7", "5", "11", "3", "2", "40", "13", "30", "11", "12", "14", "19", "21", "38"};
        for (int i = 0; i < 14; ++i)
            QCOMPARE(control<QLabel>(a, "Label6", i)->text(), six[i]);
        QCOMPARE(control<QLabel>(a, "Label14")->text(), QString("21"));
        QCOMPARE(control<QLabel>(a, "Label22")->text(), QString("8"));
        QCOMPARE(control<QLabel>(a, "Label16")->text(), QString("6"));
        QCOMPARE(control<QLabel>(a, "Label19")->text(), QString("7"));
        QCOMPARE(control<QLabel>(a, "Label20")->text(), QString("5"));
        QCOMPARE(control<QLabel>(a, "Label27")->text(), QString("4"));
        QCOMPARE(control<QLabel>(a, "Label24")->text(), QString("9"));
        // A screen reader hears a cell's value with its heading, and an empty cell as empty.
        const auto heard = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(heard(control<QLabel>(a, "Label6", 0)), QString("Comprensione della lettura: fatti espl. su 9: 7"));
        QCOMPARE(heard(control<QLabel>(a, "Label14")), QString("Comprensione della lettura: quanti minuti: 21"));
        QVERIFY(control<QLabel>(a, "Label11")->text() == "Cliccare sui nomi,  nella lista di sinistra,  per vedere i risultatti");
        test::screenshot(a, "flstampa");

        // The second pupil: first passage only.
        control<QListWidget>(a, "List1")->setCurrentRow(1);
        QCOMPARE(a->model().rigascelta(), 1);
        QCOMPARE(control<QLabel>(a, "Label7")->text(), QString("BIANCHI ANNA"));
        QCOMPARE(control<QLabel>(a, "Label12")->text(), QString("Da finire"));
        QCOMPARE(control<QLabel>(a, "Label12")->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(control<QLabel>(a, "Label6", 0)->text(), QString("0"));
        QCOMPARE(control<QLabel>(a, "Label6", 1)->text(), QString("0"));
        QCOMPARE(control<QLabel>(a, "Label14")->text(), QString());
        QCOMPARE(heard(control<QLabel>(a, "Label14")), QString("Comprensione della lettura: quanti minuti: vuota"));
        // The selection is still by the record's key, which the list only shows as a date.
        QCOMPARE(a->model().datascelta(), a->model().valori().cell(2, 2));
        QCOMPARE(control<QListWidget>(a, "List2")->item(1)->text(), shownStamp(a->model().datascelta()));
        QVERIFY(a->model().datascelta().startsWith(QDate::currentDate().toString("yyyy-MM-dd")));

        // Back to the start screen.
        click(control<QPushButton>(a, "cmdtorno"));
        QVERIFY(inizio->isVisible());
        QVERIFY(!a->isVisible());
    }

    // From its least size to a large display the window keeps the design's places, every text
    // at its size for the window, nothing cut or overlapping; the class chooser likewise.
    void laidOutAtEverySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Presentation>("pupils"); // the pupils' presentation, which the archive ignores
        QTest::newRow("least") << QSize(680, 490) << Presentation{};
        QTest::newRow("design") << QSize(1016, 730) << Presentation{};
        QTest::newRow("design, pupils at 150 %") << QSize(1016, 730) << Presentation{150, true, true};
        QTest::newRow("1024x768") << QSize(1024, 768) << Presentation{};
        QTest::newRow("1366x768") << QSize(1366, 768) << Presentation{};
        QTest::newRow("1920x1080") << QSize(1920, 1080) << Presentation{};
        QTest::newRow("2560x1440") << QSize(2560, 1440) << Presentation{};
    }
    void laidOutAtEverySize()
    {
        QFETCH(QSize, size);
        QFETCH(Presentation, pupils);
        env->app->setPresentation(pupils);
        add("prima-A", "ROSSI MARIO", {{"arrivo", 10}, {"sub", 20}, {"fatti1", 4}, {"temlettura", 21}, {"temcrono", 5}});
        FLstampa *a = openArchive();
        a->resize(size);
        QApplication::processEvents();
        QCOMPARE(a->size(), size);
        QCOMPARE(env->app->presentation(), pupils);
        QCOMPARE(a->scaler()->presentation(), Presentation{});
        const qreal factor = std::min(size.width() / 1016.0, size.height() / 730.0);
        QCOMPARE(a->scaler()->factor(), factor);
        auto *page = control<QGroupBox>(a, "Frame1")->parentWidget();
        QCOMPARE(page->size(), a->scaler()->canvas().size());
        QString fault = layoutFault(a);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // The buttons' column keeps its share of the width: 424 of the design's 1016.
        QVERIFY(qAbs(control<QPushButton>(a, "cmdaltraclasse")->width() - 424 * factor) <= 2);
        test::screenshot(a, QString("flstampa-%1x%2").arg(size.width()).arg(size.height()));

        click(control<QPushButton>(a, "cmdaltraclasse"));
        auto *chooser = control<QGroupBox>(a, "Frame1");
        QVERIFY(page->rect().contains(chooser->geometry()));
        const QList<ClickLabel *> classes = test::controlRow<ClickLabel>(a, "Label9");
        QCOMPARE(classes.size(), 10);
        for (ClickLabel *c : classes) {
            QVERIFY(chooser->contentsRect().contains(c->geometry()));
            QVERIFY2(c->sizeHint().width() <= c->width() && a->scaler()->textShare(c) >= 0.99, qPrintable(c->objectName()));
            for (ClickLabel *o : classes)
                QVERIFY(o == c || !o->geometry().intersects(c->geometry()));
        }
        test::screenshot(a, QString("flstampa-classi-%1x%2").arg(size.width()).arg(size.height()));
    }

    void captionIsAlwaysTheClassLoaded()
    {
        add("prima-B", "DELLA B");
        add("prima-J", "DELLA I");
        add("prima-D", "DELLA D");
        // Nothing chosen: class A.
        FLstampa *a = openArchive();
        QCOMPARE(control<QLabel>(a, "Label8")->text(), QString("prima-A"));
        QCOMPARE(control<QListWidget>(a, "List1")->count(), 0);
        QVERIFY(!control<QGroupBox>(a, "Frame1")->isVisible());

        click(control<QPushButton>(a, "cmdaltraclasse"));
        QVERIFY(control<QGroupBox>(a, "Frame1")->isVisible());
        QCOMPARE(control<QGroupBox>(a, "Frame1")->title(), QString("SCEGLI LA CLASSE"));
        QCOMPARE(control<ClickLabel>(a, "Label9", 0)->text(), QString("prima A"));
        QCOMPARE(control<ClickLabel>(a, "Label9", 8)->text(), QString("prima  I"));
        test::screenshot(a, "flstampa-classi");
        click(control<ClickLabel>(a, "Label9", 8));
        QVERIFY(!control<QGroupBox>(a, "Frame1")->isVisible());
        QCOMPARE(control<QLabel>(a, "Label8")->text(), QString("prima  I"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"DELLA I"}));
        QCOMPARE(env->app->state().tabellaclasse, QString("prima-J"));

        // Another class on the start screen: the archive follows it.
        click(control<QPushButton>(a, "cmdtorno"));
        chooseOnStart(1);
        a = openArchive();
        QCOMPARE(control<QLabel>(a, "Label8")->text(), QString("Prima  B"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"DELLA B"}));

        // A class chosen in the archive is the one shown on the next visit.
        click(control<QPushButton>(a, "cmdaltraclasse"));
        click(control<ClickLabel>(a, "Label9", 3));
        click(control<QPushButton>(a, "cmdtorno"));
        a = openArchive();
        QCOMPARE(control<QLabel>(a, "Label8")->text(), QString("prima  D"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"DELLA D"}));
    }

    void deleteWithConfirmation()
    {
        add("prima-C", "PRIMO");
        add("prima-C", "SECONDO");
        add("prima-C", "TERZO");
        chooseOnStart(2);
        FLstampa *a = openArchive();
        control<QListWidget>(a, "List1")->setCurrentRow(2);
        env->dialogs.answers = {false};
        click(control<QPushButton>(a, "CMDELIMINO"));
        QCOMPARE(env->dialogs.questions.last(), QString("Sei sicuro di voler cancellare?"));
        QCOMPARE(control<QListWidget>(a, "List1")->count(), 3);
        QCOMPARE(control<QLabel>(a, "Label7")->text(), QString("TERZO"));

        env->dialogs.answers = {true};
        click(control<QPushButton>(a, "CMDELIMINO"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"PRIMO", "SECONDO"}));
        QCOMPARE(control<QListWidget>(a, "List2")->count(), 2);
        QCOMPARE(control<QListWidget>(a, "List1")->currentRow(), 0);
        QCOMPARE(control<QLabel>(a, "Label7")->text(), QString("PRIMO"));
        QCOMPARE(env->app->state().dbrisultati->openRecordset("prima-C")->recordCount(), 2);

        // The recycle bin window puts it back; emptying asks first.
        click(control<QPushButton>(a, "cmdcestino"));
        auto *bin = a->findChild<ListDialog *>("FrmCESTINO");
        QVERIFY(bin && bin->isVisible());
        QCOMPARE(control<QListWidget>(bin, "List1")->count(), 1);
        QVERIFY2(QRegularExpression("^TERZO   —   prima C   —   eliminato il 14/09/2026 09:00   \\(data della prova: "
                                    "\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d\\)$")
                     .match(control<QListWidget>(bin, "List1")->item(0)->text())
                     .hasMatch(),
                 qPrintable(control<QListWidget>(bin, "List1")->item(0)->text()));
        auto *recupero = bin->findChild<QPushButton *>("cmdrecupero");
        QVERIFY(!recupero->isEnabled());
        control<QListWidget>(bin, "List1")->setCurrentRow(0);
        click(recupero);
        QCOMPARE(env->dialogs.alerts.last(), QString("Il risultato di TERZO è tornato nella sua classe."));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"PRIMO", "SECONDO", "TERZO"}));
        QCOMPARE(control<QListWidget>(bin, "List1")->count(), 0);
        control<QListWidget>(a, "List1")->setCurrentRow(0);
        click(control<QPushButton>(a, "CMDELIMINO"));
        env->dialogs.answers = {false};
        click(bin->findChild<QPushButton *>("cmdsvuoto"));
        QCOMPARE(control<QListWidget>(bin, "List1")->count(), 1);
        env->dialogs.answers = {true};
        click(bin->findChild<QPushButton *>("cmdsvuoto"));
        QVERIFY(env->dialogs.questions.last().startsWith("Vuoi cancellare per sempre il risultato che è nel cestino?"));
        QCOMPARE(control<QListWidget>(bin, "List1")->count(), 0);
        click(control<QPushButton>(bin, "cmdchiudo"));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList({"SECONDO", "TERZO"}));
    }

    // The real password window: masked fields, OK and Annulla; the archive opens only with it.
    void passwordWindow()
    {
        QtDialogs real;
        auto answer = [](const QStringList &typed, bool ok) {
            QTimer::singleShot(0, [typed, ok] {
                auto *w = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                QVERIFY(w);
                QCOMPARE(w->objectName(), QString("FrmPASSWORD"));
                QCOMPARE(w->windowTitle(), QString("Password dell'insegnante"));
                // Its explanation is shown whole, however long (at 1024 × 768).
                auto *intro = w->findChild<QLabel *>();
                QVERIFY(intro->height() >= intro->heightForWidth(intro->width()));
                const auto fields = w->findChildren<QLineEdit *>();
                QCOMPARE(fields.size(), typed.size());
                for (int i = 0; i < fields.size(); ++i) {
                    QCOMPARE(fields[i]->echoMode(), QLineEdit::Password);
                    QTest::keyClicks(fields[i], typed[i]);
                }
                QTest::mouseClick(w->findChild<QPushButton *>(ok ? "cmdOK" : "cmdAnnulla"), Qt::LeftButton);
            });
        };
        answer({"segreta1", "segreta1"}, true);
        QString explanation; // what the program says when the first password is chosen
        {
            test::AppEnv first;
            first.app->show(Screen::FLINIZIO);
            openArchiveDoor(first.app->session());
            explanation = first.dialogs.passwordTexts.value(0);
            QVERIFY(explanation.contains("chiedi al tecnico della scuola"));
        }
        const QFont before = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 12)); // the program's
        QCOMPARE(
            real.askPasswords("Password dell'insegnante", explanation, {"Password:", "Ripeti la password:"}),
            QStringList({"segreta1", "segreta1"}));
        QApplication::setFont(before);
        answer({"segreta1"}, false);
        QCOMPARE(real.askPasswords("Password dell'insegnante", "Scrivi", {"Password:"}), QStringList());

        // Through the start screen: Cancel leaves the archive unloaded.
        env->dialogs.passwords = {{}};
        click(control<ClickLabel>(inizio, "Labarchivio"));
        QVERIFY(!env->app->screen(Screen::FLstampa));
        QVERIFY(inizio->isVisible());
        QCOMPARE(env->dialogs.passwordTitles, QStringList{"Password dell'insegnante"});
    }

    void emptyClassAndPrintingToPdf()
    {
        FLstampa *a = openArchive();
        a->forcePdf = true;
        QCOMPARE(control<QListWidget>(a, "List1")->count(), 0);
        QVERIFY(!control<QLabel>(a, "Label12")->isVisible());
        QVERIFY(!control<QPushButton>(a, "CMDELIMINO")->isEnabled());
        QVERIFY(!control<QPushButton>(a, "CMDSTAMPA")->isEnabled());
        // With no printer the teacher is asked where the PDF goes; Cancel writes nothing anywhere.
        const QDir beside = QFileInfo(env->folder.path()).absoluteDir();
        click(control<QPushButton>(a, "cmdstampaquadro"));
        QCOMPARE(env->dialogs.saveTitles, QStringList{"Non c'è nessuna stampante: scegli dove salvare la stampa (PDF)"});
        QCOMPARE(env->dialogs.saveFilters, QStringList{"Documenti PDF (*.pdf)"});
        QVERIFY(env->dialogs.saveStarts.last().endsWith(".pdf"));
        QVERIFY(env->dialogs.alerts.isEmpty());
        QVERIFY(beside.entryList({"*.pdf"}, QDir::Files).isEmpty());

        // The class table of an empty class is the head alone, saved where the teacher says.
        QTemporaryDir stampe;
        env->dialogs.saveInto = stampe.path();
        click(control<QPushButton>(a, "cmdstampaquadro"));
        QCOMPARE(env->dialogs.alerts.size(), 1);
        QVERIFY(env->dialogs.alerts.last().startsWith("Non c'è nessuna stampante installata: ho scritto la stampa nel file"));

        click(control<QPushButton>(a, "cmdaltraclasse"));
        add("prima-E", "VERDI GIUSEPPE", {{"fatti1", 2}, {"fatti2", 3}});
        click(control<ClickLabel>(a, "Label9", 4));
        click(control<QPushButton>(a, "CMDSTAMPA"));
        QCOMPARE(env->dialogs.alerts.size(), 2);
        // The next save opens in the folder used last; both files are there and nowhere else.
        QCOMPARE(QFileInfo(env->dialogs.saveStarts.last()).absolutePath(), QFileInfo(stampe.path()).absoluteFilePath());
        const QStringList pdfs = QDir(stampe.path()).entryList({"*.pdf"}, QDir::Files, QDir::Name);
        QCOMPARE(pdfs.size(), 2);
        for (const QString &f : pdfs) {
            QVERIFY(env->dialogs.alerts.join('\n').contains(QDir::toNativeSeparators(QDir(stampe.path()).filePath(f))));
            QVERIFY(QFileInfo(QDir(stampe.path()).filePath(f)).size() > 500);
        }
        QVERIFY(pdfs.join(' ').contains("VERDI GIUSEPPE"));
        QVERIFY(beside.entryList({"*.pdf"}, QDir::Files).isEmpty());
    }

    void moreThanAHundred()
    {
        QVERIFY(env->app->state().dbrisultati->begin());
        for (int i = 0; i < 120; ++i)
            add("prima-C", QString("ALUNNO %1").arg(i, 3, 10, QChar('0')));
        QVERIFY(env->app->state().dbrisultati->commit());
        chooseOnStart(2);
        FLstampa *a = openArchive();
        QCOMPARE(control<QListWidget>(a, "List1")->count(), 120);
        QCOMPARE(control<QListWidget>(a, "List2")->count(), 120);
        control<QListWidget>(a, "List1")->setCurrentRow(119);
        QCOMPARE(control<QLabel>(a, "Label7")->text(), QString("ALUNNO 119"));
    }

    void escoEndsTheProgram()
    {
        FLstampa *a = openArchive();
        click(control<QPushButton>(a, "CMDESCO"));
        QCOMPARE(env->exit.ended, 1);
    }

    // The folder chooser of export and import is Qt's own dialog: its texts come from
    // Qt's Italian catalogue, loaded at start-up.
    void folderChooserSpeaksItalian()
    {
        QVERIFY2(installItalianTranslations(), "qtbase_it not found: is qt6-translations-l10n installed?");
        QFileDialog d(nullptr, "Scegli il disco");
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::Directory);
        d.show();
        QStringList buttons;
        for (QAbstractButton *b : d.findChild<QDialogButtonBox *>()->buttons())
            buttons << b->text().remove('&');
        QStringList labels;
        for (QLabel *l : d.findChildren<QLabel *>())
            labels << l->text().remove('&');
        QVERIFY2(buttons.contains("Annulla"), qPrintable(buttons.join(',')));
        QVERIFY2(!buttons.contains("Choose") && !buttons.contains("Cancel"), qPrintable(buttons.join(',')));
        QVERIFY2(!labels.contains("Look in:") && !labels.contains("Directory:"), qPrintable(labels.join(',')));
    }

    // A start of the program copies the results once its start screen is painted; a copy
    // that fails is told at the next opening of the archive; the list shows the copies,
    // greys a damaged one, and restores another after the question.
    void backupCopiesWindow()
    {
        const QString copie = env->folder.file("copie");
        QFile blocker(copie);
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        env->app->copyAfterFirstPaint();
        inizio->repaint();
        QTRY_VERIFY(!backupProblemOf().isEmpty());
        chooseOnStart(2);
        FLstampa *a = openArchive(false);
        QVERIFY2(env->dialogs.alerts.size() == 1 && env->dialogs.alerts[0].contains("copia"), qPrintable(env->dialogs.alerts.join('|')));
        QVERIFY(backupProblemOf().isEmpty()); // told once
        QVERIFY(QFile::remove(copie));

        add("prima-C", "SALVATA");
        QVERIFY(makeBackup(*env->app->state().dbrisultati, copie, env->clock.now()).ok());
        env->clock.advanceSecs(60);
        add("prima-C", "DOPO LA COPIA");
        QVERIFY(makeBackup(*env->app->state().dbrisultati, copie, env->clock.now()).ok());
        env->clock.advanceSecs(60);
        QFile extra(QDir(copie).filePath("quorvane-2026-09-14_08-00-00.mdb"));
        QVERIFY(extra.open(QIODevice::WriteOnly));
        extra.write(QByteArray(4096, 'x'));
        extra.close();

        click(control<QPushButton>(a, "cmdcopie"));
        auto *d = a->findChild<ListDialog *>("FrmCOPIE");
        QVERIFY(d && d->isVisible());
        QCOMPARE(control<QListWidget>(d, "List1")->count(), 3);
        QVERIFY2(control<QListWidget>(d, "List1")->item(0)->text().startsWith("14/09/2026 09:01:00   —   2 risultati   (A: 0, B: 0, C: 2,"),
                 qPrintable(control<QListWidget>(d, "List1")->item(0)->text()));
        QVERIFY(control<QListWidget>(d, "List1")->item(1)->text().contains("—   1 risultato   (A: 0, B: 0, C: 1,"));
        QVERIFY(control<QListWidget>(d, "List1")->item(2)->text().contains("DANNEGGIATA"));
        // Nothing chosen yet, not even with the list in focus; a damaged copy chosen says so.
        auto *ripristino = d->findChild<QPushButton *>("cmdripristino");
        auto clickRow = [&](int row) {
            QTest::mouseClick(control<QListWidget>(d, "List1")->viewport(), Qt::LeftButton, {}, control<QListWidget>(d, "List1")->visualItemRect(control<QListWidget>(d, "List1")->item(row)).center());
        };
        control<QListWidget>(d, "List1")->setFocus();
        QVERIFY(!ripristino->isEnabled());
        clickRow(2);
        QVERIFY(!ripristino->isEnabled());
        auto *stato = control<QLabel>(d, "Labstato");
        QVERIFY(stato->isVisibleTo(d) && stato->text().startsWith("Questa copia è danneggiata"));
        test::screenshot(d, "FrmCOPIE");
        clickRow(1);
        QVERIFY(ripristino->isEnabled() && !stato->isVisibleTo(d));

        env->dialogs.answers = {true};
        click(ripristino);
        QVERIFY(env->dialogs.questions.last().startsWith("Vuoi rimettere i risultati di tutte le classi come erano il 14/09/2026 alle 09:00:00?"));
        // Made a minute apart, the copy put back and the one of the results before it are told by their seconds too.
        QVERIFY2(env->dialogs.alerts.last().contains(QRegularExpression("copia del 14/09/2026 alle 09:00:00.*copia del 14/09/2026 alle 09:02:\\d\\d")),
                 qPrintable(env->dialogs.alerts.last()));
        QCOMPARE(test::listTexts(control<QListWidget>(a, "List1")), QStringList{"SALVATA"});
        QCOMPARE(control<QListWidget>(d, "List1")->count(), 4); // the copy made just before the restore is listed too
        QVERIFY(control<QListWidget>(d, "List1")->item(0)->text().contains("2 risultati"));
    }
};

QTEST_MAIN(TstFlstampa)
#include "tst_flstampa.moc"
