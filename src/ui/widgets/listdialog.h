// A window of the archive that lists things (the recycle bin, the backup copies) with a
// few action buttons under the list. Opened without blocking, so tests and the teacher
// drive it like any window; closed with "Chiudo".
#pragma once

#include <QDialog>
#include <QHBoxLayout>
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
    // Rows as shown; `enabled` false greys a row that cannot be acted on (a damaged copy).
    void setRows(const QStringList &rows, const QList<bool> &enabled = {});
    int currentRow() const;

    QListWidget *List1;
    QPushButton *cmdchiudo;

private:
    void updateButtons();
    QList<QPushButton *> rowButtons_;
    QHBoxLayout *buttons_;
};

} // namespace qv::ui
