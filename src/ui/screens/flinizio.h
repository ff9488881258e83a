// FLINIZIO: the start screen. Class choice, new test, resumption, archive, exit.
#pragma once

#include "startup/inizio.h"
#include "ui/screenbase.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QList>
#include <QTimer>
#include <array>

namespace qv::ui {

class ClickLabel;

class FLINIZIO : public ScreenBase {
    Q_OBJECT
public:
    explicit FLINIZIO(Application &app);
    void load() override;
    // Opens the results file if load() left it for after the first paint.
    void afterFirstPaint() override;

    InizioModel &model() { return model_; }

    ClickLabel *LabAVVIO;
    ClickLabel *Labarchivio;
    ClickLabel *labUSCITA;
    QLabel *Label2;
    std::array<ClickLabel *, 10> Label1{};
    QFrame *Frame1;
    ClickLabel *Labinizio;
    ClickLabel *LabCONTINUAZIONE;
    QTimer *Timer1;

    // The timer's tick (public so tests can tick without waiting).
    void Timer1_Timer();

protected:
    void layOut(const Look &look) override;

private:
    // The results file opened; on failure the pupil is told why and the program ends.
    bool openResults();
    // False when the results could not be opened (the program is ending).
    bool resultsReady();
    void LabAVVIO_Click();
    void Label1_Click(int index);
    void Labarchivio_Click();

    InizioModel model_;
    qint16 blink_ = 0;
    bool resultsPending_ = false;
    QList<QLabel *> subjects_;
    QBoxLayout *page_ = nullptr, *columns_ = nullptr, *left_ = nullptr, *right_ = nullptr, *subjectRow_ = nullptr;
    QGridLayout *classes_ = nullptr;
};

} // namespace qv::ui
