// Scripted seams and a fresh data folder for tests.
#pragma once

#include "storage/database.h"
#include "storage/serverconfig.h"
#include "storage/session.h"
#include "ui/application.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>

namespace qv::test {

// Records every text shown; answers questions from a script (default: true = OK/Yes).
class FakeDialogs : public Dialogs {
public:
    void alert(const QString &text) override { alerts << text; }
    bool ask(const QString &text, Buttons) override
    {
        questions << text;
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QString chooseFolder(const QString &title, const QString &start) override
    {
        folderTitles << title;
        folderStarts << start;
        return folder;
    }
    // The teacher who keeps the proposed name in the folder `saveInto`; Cancel while it is empty.
    QString chooseSaveFile(const QString &title, const QString &start, const QString &filter) override
    {
        saveTitles << title;
        saveStarts << start;
        saveFilters << filter;
        if (saveInto.isEmpty())
            return {};
        return saveInto + QLatin1Char('/') + start.section(QLatin1Char('/'), -1);
    }
    // Answers from `passwords` in turn; when it runs out, the teacher who knows the
    // password: kPassword in every field. An empty answer list is Cancel.
    QStringList askPasswords(const QString &title, const QString &text, const QStringList &labels) override
    {
        passwordTitles << title;
        passwordTexts << text;
        if (passwords.empty())
            return QStringList(labels.size(), QString::fromLatin1(kPassword));
        const QStringList a = passwords.front();
        passwords.pop_front();
        return a;
    }
    // Answers from `logins` in turn; when it runs out, the test server's teacher with the
    // right password. An empty answer is Cancel.
    QStringList askLogin(const QString &title, const QString &text, const QString &login) override
    {
        passwordTitles << title;
        passwordTexts << text;
        loginsShown << login;
        if (logins.empty())
            return {QString::fromLatin1(kTeacherLogin), QString::fromLatin1(kTeacherPassword)};
        const QStringList a = logins.front();
        logins.pop_front();
        return a;
    }
    static constexpr const char *kTeacherLogin = "maestra";
    static constexpr const char *kTeacherPassword = "lavagna";
    std::deque<QStringList> logins;
    QStringList loginsShown;
    // The tools window: answers from `tools` in turn (nullopt is Cancel); when it runs out,
    // Cancel. Records whose tools were asked and what the window showed.
    std::optional<PupilTools> askTools(const QString &nome, const PupilTools &current) override
    {
        toolNames << nome;
        toolsShown << current;
        if (tools.empty())
            return std::nullopt;
        const auto a = tools.front();
        tools.pop_front();
        return a;
    }
    // The passphrase window: answers from `secrets` in turn, recording its texts; when it runs
    // out, the plain disk of an older version at an export (what the tests of the plain
    // format expect) and Cancel at an import.
    DiskSecret askDiskPassphrase(const QString &text, bool exporting) override
    {
        secretTexts << text;
        if (secrets.empty()) {
            DiskSecret plain;
            plain.choice = exporting ? DiskSecret::Choice::Plain : DiskSecret::Choice::Cancel;
            return plain;
        }
        const DiskSecret a = secrets.front();
        secrets.pop_front();
        return a;
    }
    // A passphrase typed the same in every field.
    static DiskSecret sealedWith(const QString &passphrase)
    {
        return DiskSecret{DiskSecret::Choice::Sealed, passphrase, passphrase};
    }
    std::deque<DiskSecret> secrets;
    QStringList secretTexts;
    static constexpr const char *kPassword = "maestra1";
    std::deque<std::optional<PupilTools>> tools;
    QStringList toolNames;
    QList<PupilTools> toolsShown;
    QStringList alerts;
    QStringList questions;
    QStringList passwordTitles;
    QStringList passwordTexts;
    std::deque<QStringList> passwords;
    QStringList folderTitles;
    QStringList folderStarts;
    QStringList saveTitles;
    QStringList saveStarts;
    QStringList saveFilters;
    QString saveInto;
    std::deque<bool> answers;
    QString folder;
};

// Records what would be spoken; `on` false is a computer without speech.
class FakeSpeech : public Speech {
public:
    bool available() override { return on; }
    void say(const QString &text) override { spoken << text; }
    void prepare() override { ++prepared; }
    bool on = true;
    int prepared = 0;
    QStringList spoken;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return t; }
    void advanceSecs(int s) { t = t.addSecs(s); }
    QDateTime t = QDateTime(QDate(2026, 9, 14), QTime(9, 0, 0));
};

class FakeExit : public Exit {
public:
    void endProgram() override { ++ended; }
    int ended = 0;
};

// Records hand-overs without widgets (for model tests).
class FakeNavigator : public Navigator {
public:
    void show(Screen s) override { shown.push_back(s); }
    void hide(Screen s) override { hidden.push_back(s); }
    void unload(Screen s) override { unloaded.push_back(s); }
    std::vector<Screen> shown, hidden, unloaded;
    Screen last() const { return shown.empty() ? Screen::FLINIZIO : shown.back(); }
};

// A fresh "Perquorvane" folder made by the set-up code, in a temporary directory. When the
// environment names a test server (QUORVANE_PG, a libpq connection string), the results are
// on it instead, in a schema of their own dropped at the end, named by the folder's
// server.ini: the same test then runs against either engine.
// A test of the SQLite file itself (its pages, its bytes, its triggers, its copies) means
// nothing when the results are on the server.
#define QV_FILE_ONLY(folder)                                                                      \
    do {                                                                                          \
        if ((folder).onServer())                                                                  \
            QSKIP("a test of the SQLite results file: the results are on the server");            \
    } while (0)

class DataFolder {
public:
    DataFolder();
    ~DataFolder();
    QString path() const { return dir_.filePath(QStringLiteral("Perquorvane")); }
    QString file(const QString &name) const;
    bool ok() const { return ok_; }
    QString error() const { return error_; }
    // The results with every right on their data: the file, or on the server a teacher's
    // login (kTeacherLogin), as the archive opens them.
    std::unique_ptr<Database> open(QString *error = nullptr) const;
    // The results as the program on a lab computer opens them: the file, or the server
    // through server.ini (the pupils' role and its views).
    std::unique_ptr<Database> openPupils(QString *error = nullptr) const;
    // On the server, the technician's connection (the test server's owner of the database,
    // acting as the tables' owner), standing in the folder's schema.
    std::unique_ptr<Database> openAdmin() const;
    ServerConfig adminConfig() const;
    // The teacher's connection to the test server (the password is kTeacherPassword).
    ServerConfig teacherConfig() const;
    static constexpr const char *kTeacherLogin = FakeDialogs::kTeacherLogin;
    static constexpr const char *kTeacherPassword = FakeDialogs::kTeacherPassword;
    bool onServer() const { return !schema_.isEmpty(); }
    // The schema of the results' tables on the test server.
    QString schema() const { return schema_; }
    // The test server's connection string, empty when the tests run on SQLite files.
    static QString testServer();

private:
    QTemporaryDir dir_;
    bool ok_ = false;
    QString error_;
    QString schema_;
};

// A session for model tests: fake seams, the results database open, a class chosen.
class ModelEnv {
public:
    // Whose connection the session has on the server: the lab computer's (the pupils' road)
    // or a teacher's (the archive). One file either way.
    enum class Road { Pupils, Archive };
    explicit ModelEnv(const QString &table = QStringLiteral("prima-C"), Road road = Road::Pupils);
    // Adds a pupil record (nome, arrivo 1, sub 1) and makes it the pupil of the session,
    // as the name-entry screen does.
    QString addPupil(const QString &nome);
    // Reads a field of the session pupil's record through a cursor of its own.
    QVariant stored(const QString &field);

    DataFolder folder;
    FakeDialogs dialogs;
    FakeClock clock;
    FakeExit exit;
    FakeNavigator nav;
    Session session;

private:
    std::unique_ptr<Database> checker_;
};

// A full application with the real screens and fake seams, for GUI tests.
class AppEnv {
public:
    AppEnv();
    ~AppEnv();
    DataFolder folder;
    FakeDialogs dialogs;
    FakeClock clock;
    FakeExit exit;
    FakeSpeech speech;
    std::unique_ptr<ui::Application> app;
};

} // namespace qv::test
