// FrmNOME: the pupil types surname and first name; a new record is made or an
// interrupted attempt is found and resumed.
#pragma once

#include "startup/nome.h"
#include "ui/screenbase.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <array>

namespace qv::ui {

class FrmNOME : public ScreenBase {
    Q_OBJECT
public:
    explicit FrmNOME(Application &app);
    void load() override;
    // Every show: the class chosen now, its names, empty fields.
    void activate() override;

    NomeModel &model() { return model_; }

    QLabel *Label1;
    QLineEdit *Text1;
    QLabel *Label4;
    QLineEdit *Text4;
    QLabel *Label7;
    QListWidget *List1;
    QLabel *Labclasse;
    QLabel *LabNOMI;
    QPushButton *CmdOK;
    QPushButton *Cmdesco;
    // The teacher's way to the pupil's compensatory tools, and what was chosen.
    QPushButton *CmdSTRUMENTI;
    QLabel *LabSTRUMENTI;
    std::array<QLabel *, 9> Label8{};
    QTimer *Timer1;

    // The timer's tick (public so tests can tick without waiting).
    void Timer1_Timer();

protected:
    void layOut(const Look &look) override;

private:
    void CmdOK_Click();

    NomeModel model_;
    qint16 contatore_ = 0;
    QWidget *page_;
};

} // namespace qv::ui
