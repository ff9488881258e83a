// FrmSTRUMENTI: the teacher's window of one pupil's compensatory tools — read aloud, the
// reading passages read aloud too, the text size, the readable font, high contrast.
#pragma once

#include "seams/pupiltools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>

namespace qv::ui {

class FrmSTRUMENTI : public QDialog {
    Q_OBJECT
public:
    FrmSTRUMENTI(const QString &nome, const PupilTools &current, QWidget *parent = nullptr);
    // The tools as the boxes stand.
    PupilTools tools() const;

    QCheckBox *chkVoce;
    QCheckBox *chkBrani;
    QComboBox *cmbTesto;
    QCheckBox *chkCarattere;
    QCheckBox *chkContrasto;
};

} // namespace qv::ui
