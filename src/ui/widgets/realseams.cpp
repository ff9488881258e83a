#include "ui/widgets/realseams.h"

#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QWidget>

namespace qv::ui {

namespace {
QMessageBox *makeBox(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QString::fromLatin1(kProgramTitle), text);
    QFont f = box->font();
    f.setPointSize(13);
    box->setFont(f);
    return box;
}
} // namespace

void QtDialogs::alert(const QString &text)
{
    std::unique_ptr<QMessageBox> box(makeBox(text));
    box->setStandardButtons(QMessageBox::Ok);
    box->exec();
}

bool QtDialogs::ask(const QString &text, Buttons buttons)
{
    std::unique_ptr<QMessageBox> box(makeBox(text));
    if (buttons == Buttons::OkCancel) {
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        return box->exec() == QMessageBox::Ok;
    }
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
    box->button(QMessageBox::No)->setText(QStringLiteral("No"));
    return box->exec() == QMessageBox::Yes;
}

bool installItalianTranslations()
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    auto *translator = new QTranslator(qApp);
    if (!translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

QString QtDialogs::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(nullptr, title, start);
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void QtExit::endProgram()
{
    // Hide every window now; the queued quit also works before the event loop runs.
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace qv::ui
