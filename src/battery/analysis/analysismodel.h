// The common logic of the grammatical and logical analysis: six sentences read from a
// content table, one at a time, each split into up to ten elements; the pupil puts one
// category caption in the box beside each element; "Frase seguente" checks and scores the
// sentence and stores the progress as "Esco" would, so a power cut loses at most the
// sentence on show; at the end the score, the minutes and the progress code are stored and the
// next test takes over. The model keeps the captions of the drop boxes, so the screen
// only draws them.
#pragma once

#include "storage/recordset.h"
#include "storage/session.h"

#include <QStringList>
#include <array>
#include <memory>

namespace qv {

class AnalysisModel {
public:
    static constexpr int kRighe = 10;  // rows on screen: the most elements of a sentence
    static constexpr int kFrasi = 6;   // sentences of a test

    enum class Outcome {
        Stay,       // a message was shown, nothing changed
        Next,       // the next sentence is on show
        Finished    // results stored, next test shown, this screen hidden
    };

    virtual ~AnalysisModel() = default;

    // The opening, every time the screen is shown: reads the progress on resumption,
    // opens the content table and loads the sentence. false after an Italian message when
    // no sentence can be shown (the table is missing or incomplete); "Esco" still stores
    // the progress read.
    bool open();
    bool ready() const { return ready_; }

    const QStringList &categorie() const { return *cfg_.categorie; }
    // Captions of the element box and of the drop box of a row (0..9).
    QString element(int row) const;
    QString box(int row) const;

    // A drop of category `category` on the box of row `row`: the box takes its caption,
    // replacing what it held. Rows past nelementi accept drops too (they are not scored).
    bool drop(int row, int category);

    // "Frase seguente": scores the sentence and stores the step (after the sixth, the
    // results and the finished mark, then the next test takes over); if the record cannot
    // be written the pupil is told and the sentence stays on show, filled in, to try again.
    Outcome next();
    // "Esco": stores the progress of the sentence on show and ends the program; if it
    // cannot be stored the pupil is told and the test stays on show.
    void leave();

    qint16 numfrase() const { return numfrase_; }
    qint16 nelementi() const { return nelementi_; }
    qint16 giuste() const { return giuste_; }
    qint16 punti() const { return punti_; }

protected:
    struct Config {
        Stage stage;              // progress codes, screen, minutes field, the log's name
        QString table;            // content table
        QString testName;         // for messages: "analisi grammaticale"
        const QStringList *categorie = nullptr;
        QString scoreField;       // "gramsem"
        int minRows = 1;          // fewer rows than this: the test cannot run
        QStringList resumeOrder;  // the three fields read on resumption, in order
    };
    AnalysisModel(Session &s, Config cfg) : s_(s), cfg_(std::move(cfg)) {}

private:
    // The test's name in the answer log.
    QString prova() const;
    void clearBoxes();
    void resume();
    // Puts rsfrasi on sentence numfrase (resumption); false if it cannot.
    bool seekSentence();
    void loadSentence();
    // Scores the sentence on show into giuste; the answers for the log.
    QList<Answer> risultato();
    QString tableMessage() const;

    Session &s_;
    Config cfg_;
    std::unique_ptr<Recordset> rsfrasi_;
    bool ready_ = false;
    qint16 numfrase_ = 1;
    qint16 nelementi_ = 0;
    qint16 giuste_ = 0;
    qint16 punti_ = 0;
    std::array<QString, kRighe> elements_;
    std::array<QString, kRighe> boxes_;
};

} // namespace qv
