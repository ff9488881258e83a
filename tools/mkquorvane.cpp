// Set-up tool: prepares the data folder (default "Perquorvane" in the current directory).
// Running it again never drops, empties or changes a class table.
#include "startup/datafolder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args.at(1) : QString::fromLatin1(qv::kDataFolder);
    QString error;
    QString notice;
    QTextStream err(stderr);
    if (!qv::prepareDataFolder(folder, &error, &notice)) {
        err << "mkquorvane: " << error << Qt::endl;
        return 1;
    }
    if (!notice.isEmpty())
        QTextStream(stdout) << "mkquorvane: " << notice << Qt::endl;
    QTextStream(stdout) << "mkquorvane: cartella \"" << folder << "\" pronta" << Qt::endl;
    return 0;
}
