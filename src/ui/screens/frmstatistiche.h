// FrmSTATISTICHE: the statistics of the class shown in the archive, in a window of its own
// that fits a 1024 x 768 screen. Five pages: the tests with the class profile beside the
// school's, the sixteen scores, the score bands of every test as charts, the levels with
// the pupils of each, and the per-question analysis. "Stampo le statistiche" prints the same report with its charts.
#pragma once

#include "insight/classstats.h"
#include "insight/yearcompare.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <array>
#include <functional>

class QChartView;
class QComboBox;
class QLabel;

namespace qv::ui {

class FrmSTATISTICHE : public QDialog {
    Q_OBJECT
public:
    FrmSTATISTICHE(insight::ClassInsight ci, const QString &caption, QWidget *parent);

    const insight::ClassInsight &insight() const { return ci_; }
    // Called by "Stampo le statistiche".
    std::function<void()> stampa;

    QTabWidget *Schede;
    QLabel *Labriepilogo;
    QTableWidget *Tabprove;      // one row per test: finished by, minutes, class and school %
    QChartView *Graficoprofilo;  // class beside school
    QTableWidget *Tabpunteggi;   // the sixteen score fields
    std::array<QChartView *, insight::kPartCount> Graficoprove{};
    QComboBox *Comboarea;
    std::array<QListWidget *, insight::kLevelCount> Listlivelli{};
    QTableWidget *Tablivelli;    // every pupil with the level of each area
    QTableWidget *Tabdifficili;  // the ten hardest items of the class
    QTableWidget *Tabdomande;    // every item: right, wrong, empty, share, wrong answer given most
    QPushButton *cmdstampastat;
    QPushButton *cmdchiudo;
    // The page "Confronto con gli anni precedenti": the school's mean of each test and the
    // share of pupils at each level, one bar per year (this one first).
    void addComparison(const std::vector<insight::YearSummary> &years);
    QChartView *Graficoanni = nullptr;
    QChartView *Graficolivellianni = nullptr;

private:
    void showArea(int area);

    insight::ClassInsight ci_;
};

} // namespace qv::ui
