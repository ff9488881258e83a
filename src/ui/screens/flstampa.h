// FLstampa: the results archive. The pupils of one class in two lists, the result grid of
// the selected pupil with its completion flag, the class chooser, deletion, the two
// printouts, export and import, the class statistics, and the way back to the start screen.
// Laid out by Qt's layouts on a page of its body; the class chooser floats over the page.
#pragma once

#include "archive/archivio.h"
#include "ui/archivescreen.h"
#include "ui/printing/reportprinter.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <vector>

namespace qv::ui {

class ClickLabel;

class FLstampa : public ArchiveScreen {
    Q_OBJECT
public:
    explicit FLstampa(Application &app);
    void activate() override;
    void openFromStart(const QString &nomeclasse) override;

    ArchivioModel &model() { return model_; }
    // Tests and machines without a printer: write the printouts as PDF files.
    bool forcePdf = false;
    // With no printer installed, the PDF goes where the teacher chooses in a save dialog.
    PdfChooser pdfChooser();

    QGroupBox *Frame1;
    std::array<ClickLabel *, 10> Label9{};
    QListWidget *List1;
    QListWidget *List2;
    QLabel *Label11;
    QLabel *Label7;
    QLabel *Label8;
    QLabel *Label12;
    QLabel *Label10;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLabel *Label13, *Label15, *Label25, *Label26, *Label23;
    QLabel *Label17, *Label18;
    std::array<QLabel *, 14> Label6{};
    QLabel *Label14, *Label16, *Label19, *Label20, *Label22, *Label24, *Label27;
    QPushButton *cmdaltraclasse;
    QPushButton *CMDELIMINO;
    QPushButton *CMDSTAMPA;
    QPushButton *cmdstampaquadro;
    QPushButton *CMDESPORTO;
    QPushButton *CMDIMPORTO;
    QPushButton *cmdesportocsv;
    QPushButton *cmdstatistiche;
    QPushButton *cmdpassword;
    QPushButton *cmdcopie;
    // The school year: its heading, the closed years, the close.
    QLabel *LabAnno;
    QPushButton *cmdanni;
    QPushButton *cmdchiudoanno;
    QPushButton *cmdcestino;
    QPushButton *cmdtorno;
    QPushButton *cmdstrumenti; // the selected pupil's compensatory tools
    QPushButton *CMDESCO;

protected:
    void layOut(const Look &look) override;

private:
    // One band of the result grid: headings on monospaced lines whose runs of blanks put each
    // piece at a character column, and the cells under the pieces. The band's grid has a
    // column from each such character to the next, so a cell stays under its piece at any
    // size of the font.
    struct Band {
        QGridLayout *grid;
        QList<int> columns; // the characters where the grid's columns start, in order
        int lines; // heading lines
        int height; // design height of the band, to the next one
    };
    // A design length of the page: a gap between two controls, a control's least size.
    struct Gap {
        QSpacerItem *item;
        Qt::Orientation along;
        int design;
    };
    struct Least {
        QWidget *w;
        QSize design;
        bool fixed;
    };
    void redraw();
    void showPupil(int r);
    void List1_Click(int row);
    void stampa(const Report &report);
    void cestino();
    // "Statistiche della classe": the statistics window of the class shown.
    void statistiche();
    void copie();
    // "Anni precedenti": the closed years to look at, the year corrected, the years kept.
    void anni();
    void redrawYear();

    ArchivioModel model_;
    bool redrawing_ = false;
    QGridLayout *page_ = nullptr;
    QGridLayout *chooser_ = nullptr; // the classes in the chooser
    QVBoxLayout *overlay_ = nullptr; // where the chooser floats
    QBoxLayout *mainColumn_ = nullptr;
    std::vector<Band> bands_;
    std::vector<Gap> gaps_;
    std::vector<Least> least_;
};

} // namespace qv::ui
