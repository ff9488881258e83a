// A window of the archive that lists things (the recycle bin, the backup copies) with a
// few action buttons under the list. Opened without blocking, so tests and the teacher
// drive it like any window; closed with "Chiudo".
#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>

namespace qv::ui {

class ListDialog : public QDialog {
    Q_OBJECT
public:
    ListDialog(const QString &objectName, const QString &title, const QString &intro, QWidget *parent);

    // A button under the list; `needsRow` ones are enabled only while a row is selected.
    QPushButton *addAction(const QString &name, const QString &caption, bool needsRow, std::function<void()> action);
    // Rows as shown, none chosen; `enabled` false greys a row that cannot be acted on (a
    // damaged copy): it can be chosen, the buttons stay disabled, and its entry of `notes`
    // is shown under the list while it is chosen.
    void setRows(const QStringList &rows, const QList<bool> &enabled = {}, const QStringList &notes = {});
    // The row chosen, or -1.
    int chosenRow() const;
    // The row chosen if it can be acted on, or -1.
    int currentRow() const;

    QListWidget *List1;
    QLabel *Labstato; // what is to be known of the row chosen
    QPushButton *cmdchiudo;

private:
    void updateButtons();
    QList<QPushButton *> rowButtons_;
    QList<bool> usable_;
    QStringList notes_;
    QHBoxLayout *buttons_;
};

} // namespace qv::ui
