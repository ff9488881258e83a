#include "ui/widgets/realseams.h"

#include "ui/widgets/frmstrumenti.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
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

namespace {
// A teacher's dialog in the house's size of text: its name, title and the text above its
// fields; the layout to fill.
QVBoxLayout *dialogFrame(QDialog &d, const QString &name, const QString &title, const QString &text)
{
    d.setObjectName(name);
    d.setWindowTitle(title);
    QFont f = d.font();
    f.setPointSize(13);
    d.setFont(f);
    auto *layout = new QVBoxLayout(&d);
    auto *intro = new QLabel(text, &d);
    intro->setWordWrap(true);
    // A window is made at most two thirds of its display wide, after its height was found for
    // the width it asked: a text wider than that (at 1024 × 768) would be cut at the bottom.
    intro->setMaximumWidth(640);
    layout->addWidget(intro);
    return layout;
}

// The password window: one field per label, masked from `firstMasked` on; the first field
// may hold a text to start from.
QStringList askFields(const QString &title, const QString &text, const QStringList &labels, int firstMasked,
                      const QString &first = QString())
{
    QDialog d(QApplication::activeWindow());
    auto *layout = dialogFrame(d, QStringLiteral("FrmPASSWORD"), title, text);
    auto *form = new QFormLayout;
    QList<QLineEdit *> fields;
    for (const QString &label : labels) {
        auto *edit = new QLineEdit(&d);
        edit->setObjectName(QStringLiteral("Text%1").arg(fields.size() + 1));
        if (fields.size() >= firstMasked)
            edit->setEchoMode(QLineEdit::Password);
        else if (fields.isEmpty())
            edit->setText(first);
        edit->setAccessibleName(label);
        edit->setMinimumWidth(320);
        form->addRow(label, edit);
        fields << edit;
    }
    // A login already typed: the password is what is left to write.
    if (!first.isEmpty() && fields.size() > 1)
        fields.at(1)->setFocus();
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdAnnulla"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    QStringList out;
    if (d.exec() == QDialog::Accepted)
        for (QLineEdit *e : fields)
            out << e->text();
    // The typed text leaves no copy in the widgets once read.
    for (QLineEdit *e : fields)
        e->clear();
    return out;
}
} // namespace

QStringList QtDialogs::askPasswords(const QString &title, const QString &text, const QStringList &labels)
{
    return askFields(title, text, labels, 0);
}

QStringList QtDialogs::askLogin(const QString &title, const QString &text, const QString &login)
{
    return askFields(title, text, {QStringLiteral("Nome utente:"), QStringLiteral("Password:")}, 1, login);
}

Dialogs::DiskSecret QtDialogs::askDiskPassphrase(const QString &text, bool exporting)
{
    QDialog d(QApplication::activeWindow());
    auto *layout = dialogFrame(
        d, QStringLiteral("FrmPAROLADORDINE"),
        exporting ? QStringLiteral("Esportazione cifrata") : QStringLiteral("Importazione cifrata"), text);
    auto *form = new QFormLayout;
    QList<QLineEdit *> fields;
    const QStringList labels = exporting
        ? QStringList{QStringLiteral("Parola d'ordine"), QStringLiteral("Ripeti la parola d'ordine")}
        : QStringList{QStringLiteral("Parola d'ordine")};
    for (const QString &label : labels) {
        auto *edit = new QLineEdit(&d);
        edit->setObjectName(QStringLiteral("Text%1").arg(fields.size() + 1));
        edit->setEchoMode(QLineEdit::Password);
        edit->setAccessibleName(label);
        edit->setMinimumWidth(320);
        form->addRow(label, edit);
        fields << edit;
    }
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Ok)->setText(exporting ? QStringLiteral("Esporto cifrato") : QStringLiteral("Importo"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdAnnulla"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    DiskSecret out;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    if (exporting) {
        auto *plain = buttons->addButton(QStringLiteral("Esporto senza cifrare (versione precedente)"),
                                         QDialogButtonBox::ActionRole);
        plain->setObjectName(QStringLiteral("cmdInChiaro"));
        QObject::connect(plain, &QPushButton::clicked, &d, [&] {
            out.choice = DiskSecret::Choice::Plain;
            d.done(QDialog::Accepted + 1);
        });
    }
    layout->addWidget(buttons);
    const int result = d.exec();
    if (result == QDialog::Accepted) {
        out.choice = DiskSecret::Choice::Sealed;
        out.passphrase = fields.value(0)->text();
        if (exporting)
            out.repeated = fields.value(1)->text();
    }
    // The typed text leaves no copy in the widgets once read.
    for (QLineEdit *e : fields)
        e->clear();
    return out;
}

std::optional<PupilTools> QtDialogs::askTools(const QString &nome, const PupilTools &current)
{
    FrmSTRUMENTI d(nome, current, QApplication::activeWindow());
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return d.tools();
}

QString QtDialogs::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(nullptr, title, start);
}

QString QtDialogs::chooseSaveFile(const QString &title, const QString &start, const QString &filter)
{
    const QFileInfo proposed(start);
    QFileDialog d(QApplication::activeWindow(), title, proposed.absolutePath(), filter);
    d.setObjectName(QStringLiteral("FrmSALVA"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    // A name typed without ".pdf" still gets it, so the file opens as what it is.
    d.setDefaultSuffix(proposed.suffix());
    d.selectFile(proposed.fileName());
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().constFirst();
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
