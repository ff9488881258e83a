// Name entry: building the name, new records, the duplicate-name question, and the choice
// of the record to resume.
#include "startup/inizio.h"
#include "startup/nome.h"
#include "support/fakes.h"

#include <QSqlQuery>
#include <QtTest>

using namespace qv;

class TstNome : public QObject {
    Q_OBJECT

    // A record of the class with the given progress code (Null when invalid QVariant), left
    // by an earlier pupil: written with the archive's rights, as the pupils' road starts every
    // record at the beginning.
    static QString addRecord(test::ModelEnv &env, const QString &nome, const QVariant &arrivo, const QVariant &sub)
    {
        const auto db = env.folder.open();
        auto cursor = db->openRecordset(env.session.state.tabellaclasse);
        Recordset &rs = *cursor;
        rs.addNew();
        rs.setField("nome", nome);
        rs.setField("arrivo", arrivo);
        rs.setField("sub", sub);
        rs.update();
        return rs.lastModified();
    }

private slots:
    void buildsTheStoredName_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trimmed") << "  ab " << " cd  " << "AB CD";
        QTest::newRow("accents") << "Niccolò" << "Zoë" << "NICCOLÒ ZOË";
        QTest::newRow("punctuation kept") << "D'Amico" << "Anna \"Nina\"; --" << "D'AMICO ANNA \"NINA\"; --";
        QTest::newRow("sql fragment") << "x'); DROP TABLE \"prima-A\";--" << "y" << "X'); DROP TABLE \"PRIMA-A\";-- Y";
        QTest::newRow("60 characters") << QString(40, 'a') << QString(19, 'b')
                                       << QString(40, 'A') + " " + QString(9, 'B');
        QTest::newRow("cut then trimmed") << QString(49, 'a') << "b" << QString(49, 'A');
        QTest::newRow("sharp s grows") << QString(48, 'a') << "ß" << QString(48, 'A') + " S";
        // 49 letters then an emoji: the pair is never split.
        QTest::newRow("surrogates") << QString(48, 'a') << QString::fromUtf8("\xF0\x9F\x98\x80x")
                                    << QString(48, 'A') + " " + QString::fromUtf8("\xF0\x9F\x98\x80");
    }
    void buildsTheStoredName()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, nome);
        QFETCH(QString, expected);
        QCOMPARE(NomeModel::buildName(cognome, nome), expected);
    }

    void emptyFieldsAreRefusedButBlanksCount()
    {
        test::ModelEnv env;
        env.session.state.modoavvio = "inizio";
        NomeModel m(env.session);
        QCOMPARE(m.confirm("", "Anna"), NomeModel::Outcome::Stay);
        QCOMPARE(m.confirm("Rossi", ""), NomeModel::Outcome::Stay);
        QCOMPARE(env.dialogs.alerts.size(), 2);
        QVERIFY(env.dialogs.alerts.at(0).startsWith("Non hai fornito il cognome e\\o il nome."));
        QCOMPARE(env.session.state.rsclasse->recordCount(), 0);
        // Blanks alone count as filled in: the record is made with the blanks trimmed away.
        QCOMPARE(m.confirm("   ", " "), NomeModel::Outcome::Dispatched);
        QCOMPARE(env.stored("nome").toString(), QString(""));
    }

    void newPupilGetsARecordAndStartsReading()
    {
        test::ModelEnv env;
        env.session.state.modoavvio = "inizio";
        NomeModel m(env.session);
        QCOMPARE(m.confirm("Rossi", "Anna"), NomeModel::Outcome::Dispatched);
        QCOMPARE(env.session.state.tipoavvio, kAvvioNuovo);
        QCOMPARE(env.stored("nome").toString(), QString("ROSSI ANNA"));
        QCOMPARE(env.stored("arrivo").toInt(), 1);
        QCOMPARE(env.stored("sub").toInt(), 1);
        QVERIFY(env.stored("lessico1").isNull());
        QVERIFY(env.nav.last() == Screen::FLETTURA);
        QVERIFY(env.dialogs.questions.isEmpty());
        // The shared cursor stands on the new record.
        QCOMPARE(env.session.state.rsclasse->bookmark(), env.session.state.segnalibro);
    }

    void knownNameAsksAndOkMakesASecondRecord()
    {
        test::ModelEnv env;
        addRecord(env, "ROSSI ANNA", 10, 20);
        env.session.state.modoavvio = "inizio";
        env.dialogs.answers = {true};
        NomeModel m(env.session);
        QCOMPARE(m.confirm("rossi", "anna"), NomeModel::Outcome::Dispatched);
        QCOMPARE(env.dialogs.questions.size(), 1);
        QCOMPARE(env.dialogs.questions.at(0),
                 QString("ATTENZIONE: c'è già in archivio il tuo NOME.\r\n"
                         "   Se desideri INIZIARE una nuova prova, clicca su OK.\r\n"
                         "   Se vuoi CONTINUARE una prova già iniziata, clicca su Annulla (Cancel)."));
        QCOMPARE(env.session.state.rsclasse->recordCount(), 2);
        QCOMPARE(env.stored("arrivo").toInt(), 1);
    }

    void knownNameCancelResumesTheUnfinishedRecord()
    {
        test::ModelEnv env;
        addRecord(env, "ROSSI ANNA", 10, 20);
        const QString second = addRecord(env, "ROSSI ANNA", 6, 3);
        env.session.state.modoavvio = "inizio";
        env.dialogs.answers = {false};
        NomeModel m(env.session);
        QCOMPARE(m.confirm("Rossi", "Anna"), NomeModel::Outcome::Dispatched);
        QCOMPARE(m.scelta(), QString("positivo"));
        QCOMPARE(env.session.state.segnalibro, second);
        QCOMPARE(env.session.state.tappa, qint16(6));
        QCOMPARE(env.session.state.tipoavvio, kAvvioRipresa);
        QVERIFY(env.nav.last() == Screen::FLfrasi);
        QCOMPARE(env.session.state.rsclasse->recordCount(), 2);
    }

    void knownNameCancelWithEverythingCompleteReloadsTheStart()
    {
        test::ModelEnv env;
        addRecord(env, "ROSSI ANNA", 10, 20);
        addRecord(env, "ROSSI ANNA", QVariant(), 1); // empty progress counts as complete here
        env.session.state.modoavvio = "inizio";
        env.dialogs.answers = {false};
        NomeModel m(env.session);
        QCOMPARE(m.confirm("Rossi", "Anna"), NomeModel::Outcome::Reloaded);
        QCOMPARE(env.dialogs.alerts, QStringList{"Non ci sono test da completare a questo nome."});
        QCOMPARE(env.nav.unloaded, std::vector<Screen>{Screen::FLINIZIO});
        QVERIFY(env.nav.last() == Screen::FLINIZIO);
        QCOMPARE(env.session.state.rsclasse->recordCount(), 2);

        // The screen stays loaded; the same pupil now asks for a new test with OK.
        env.dialogs.answers = {true};
        QCOMPARE(m.confirm("Rossi", "Anna"), NomeModel::Outcome::Dispatched);
        QVERIFY(env.nav.last() == Screen::FLETTURA);
        QCOMPARE(env.session.state.rsclasse->recordCount(), 3);
    }

    void resumeDispatchesByProgressCode_data()
    {
        QTest::addColumn<int>("arrivo");
        QTest::addColumn<int>("screen");
        const Screen expected[] = {Screen::FLETTURA, Screen::FLETTURA, Screen::FLgrasem, Screen::FLogsem,
                                   Screen::FLogsem, Screen::FLfrasi, Screen::FLstoria1, Screen::FLstoria2,
                                   Screen::FLcartge, Screen::FLcartge};
        for (int a = 1; a <= 10; ++a)
            QTest::newRow(qPrintable(QString::number(a))) << a << int(expected[a - 1]);
    }
    void resumeDispatchesByProgressCode()
    {
        QFETCH(int, arrivo);
        QFETCH(int, screen);
        test::ModelEnv env;
        const QString bm = addRecord(env, "BIANCHI UGO", arrivo, arrivo == 10 ? 19 : 2);
        env.session.state.modoavvio = "continuazione";
        NomeModel m(env.session);
        QCOMPARE(m.confirm("Bianchi", "Ugo"), NomeModel::Outcome::Dispatched);
        QCOMPARE(int(env.nav.last()), screen);
        QCOMPARE(env.session.state.segnalibro, bm);
        QCOMPARE(int(env.session.state.tappa), arrivo);
        QCOMPARE(env.session.state.tipoavvio, kAvvioRipresa);
        QVERIFY(env.dialogs.alerts.isEmpty());
    }

    void resumeSkipsCompleteRecordsAndStopsAtAnotherName()
    {
        test::ModelEnv env;
        addRecord(env, "ALFA", 10, 20);
        addRecord(env, "BETA", 3, 2); // another pupil with an unfinished attempt, later in the index
        env.session.state.modoavvio = "continuazione";
        NomeModel m(env.session);
        // A blank first name builds "ALFA": the only ALFA record is complete, and the next
        // row of the index belongs to someone else.
        QCOMPARE(m.confirm("alfa", " "), NomeModel::Outcome::Reloaded);
        QCOMPARE(env.dialogs.alerts, QStringList{"Non ci sono test da completare a questo nome."});
    }

    void resumeMessagesForUnknownNameAndBrokenRecord()
    {
        test::ModelEnv env;
        addRecord(env, "VERDI PIA", QVariant(), QVariant());
        env.session.state.modoavvio = "continuazione";
        NomeModel m(env.session);
        QCOMPARE(m.confirm("Neri", "Ugo"), NomeModel::Outcome::Stay);
        QCOMPARE(env.dialogs.alerts.last(),
                 QString("Probabilmente non hai scritto bene il tuo nome, oppure hai sbagliato classe; riprova"));
        QCOMPARE(m.confirm("Verdi", "Pia"), NomeModel::Outcome::ClearAndHide);
        QCOMPARE(env.dialogs.alerts.last(),
                 QString("Purtroppo un'interruzione imprevista del programma non ha permesso di reistrare "
                         "correttamente i dati di VERDI PIA Premi OK, poi scegli 'Inizio un nuovo test'."));
        QVERIFY(env.nav.last() == Screen::FLINIZIO);
    }

    void namesListedAndEmptyClassReported()
    {
        test::ModelEnv env;
        NomeModel m(env.session);
        QVERIFY(m.load().isEmpty());
        QCOMPARE(env.dialogs.alerts, QStringList{"L'archivio è vuoto..."});
        addRecord(env, "ZETA", 1, 1);
        addRecord(env, "ALFA", 1, 1);
        QCOMPARE(m.load(), QStringList({"ZETA", "ALFA"}));
    }

    void classIIsStoredInTableJ()
    {
        test::ModelEnv env;
        InizioModel inizio(env.session);
        QString e;
        QVERIFY2(inizio.load(&e), qPrintable(e));
        QCOMPARE(env.session.state.tappa, qint16(0));
        QCOMPARE(inizio.archiveClass(), QString("prima-A"));
        inizio.chooseClass(8);
        QCOMPARE(env.session.state.nomeclasse, QString("Prima  I"));
        QCOMPARE(env.session.state.tabellaclasse, QString("prima-J"));
        QVERIFY(env.session.state.rsclasse);
        QCOMPARE(env.session.state.rsclasse->table(), QString("prima-J"));
        QCOMPARE(inizio.archiveClass(), QString("Prima  I"));
    }

    void unusableArchiveIsReportedNeverCreated()
    {
        test::ModelEnv env;
        QV_FILE_ONLY(env.folder);
        env.session.state.rsclasse.reset();
        env.session.state.dbrisultati.reset();
        QFile::remove(env.folder.file("quorvane.mdb"));
        InizioModel inizio(env.session);
        QString e;
        QVERIFY(!inizio.load(&e));
        QVERIFY(e.contains("quorvane.mdb"));
        QVERIFY(e.contains("mkquorvane"));
        QVERIFY(!QFile::exists(env.folder.file("quorvane.mdb")));

        QFile junk(env.folder.file("quorvane.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("non sono un archivio");
        junk.close();
        QVERIFY(!inizio.load(&e));
        QVERIFY(!env.session.state.dbrisultati);
    }

    void archiveWithoutAClassTableIsRefused()
    {
        test::ModelEnv env;
        env.session.state.rsclasse.reset();
        // On the server only the technician drops a table (the pupils' view goes with it).
        const auto technician = env.folder.onServer() ? env.folder.openAdmin() : nullptr;
        QSqlQuery q(technician ? technician->sql() : env.session.state.dbrisultati->sql());
        QVERIFY(q.exec(QStringLiteral("DROP TABLE \"prima-D\"") + (technician ? " CASCADE" : "")));
        q.finish();
        env.session.state.dbrisultati.reset();
        InizioModel inizio(env.session);
        QString e;
        QVERIFY(!inizio.load(&e));
        QVERIFY(e.contains("prima-D"));
    }
};

QTEST_GUILESS_MAIN(TstNome)
#include "tst_nome.moc"
