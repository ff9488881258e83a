#include "ui/widgets/frmstrumenti.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::ui {

FrmSTRUMENTI::FrmSTRUMENTI(const QString &nome, const PupilTools &current, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmSTRUMENTI"));
    setWindowTitle(QStringLiteral("Strumenti compensativi"));
    QFont f = font();
    f.setPointSize(13);
    setFont(f);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Strumenti compensativi per %1 nelle prove:").arg(nome), this);
    intro->setObjectName(QStringLiteral("Labnome"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto box = [this, layout](const char *name, const QString &caption, bool on) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setChecked(on);
        layout->addWidget(c);
        return c;
    };
    chkVoce = box("chkVoce", QStringLiteral("Lettura ad alta voce: un pulsante \"Ascolta\" su ogni domanda, risposta, "
                                            "frase, fatto e luogo"),
                  current.readAloud);
    chkBrani = box("chkBrani", QStringLiteral("Anche i brani della prova di lettura (cambia ciò che la prova misura)"),
                   current.readPassages && current.readAloud);
    chkBrani->setEnabled(current.readAloud);
    connect(chkVoce, &QCheckBox::toggled, this, [this](bool on) {
        chkBrani->setEnabled(on);
        if (!on)
            chkBrani->setChecked(false);
    });

    auto *form = new QFormLayout;
    cmbTesto = new QComboBox(this);
    cmbTesto->setObjectName(QStringLiteral("cmbTesto"));
    for (int p : kTextPercents)
        cmbTesto->addItem(p == 100 ? QStringLiteral("normale (100%)") : QStringLiteral("più grande (%1%)").arg(p), p);
    cmbTesto->setCurrentIndex(qMax(0, cmbTesto->findData(current.textPercent)));
    cmbTesto->setAccessibleName(QStringLiteral("Grandezza del testo"));
    form->addRow(QStringLiteral("Grandezza del testo:"), cmbTesto);
    layout->addLayout(form);

    chkCarattere = box("chkCarattere", QStringLiteral("Carattere ad alta leggibilità, con lettere e righe più spaziate"),
                       current.readableFont);
    chkContrasto = box("chkContrasto", QStringLiteral("Alto contrasto"), current.highContrast);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdAnnulla"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PupilTools FrmSTRUMENTI::tools() const
{
    PupilTools t;
    t.readAloud = chkVoce->isChecked();
    t.readPassages = t.readAloud && chkBrani->isChecked();
    t.textPercent = cmbTesto->currentData().toInt();
    t.readableFont = chkCarattere->isChecked();
    t.highContrast = chkContrasto->isChecked();
    return t;
}

} // namespace qv::ui
