// Asset tool: draws the pictures of the data folder. Placeholder until the maps are drawn.
#include <QGuiApplication>
#include <QImage>
#include <QDir>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = app.arguments().size() > 1 ? app.arguments().at(1) : QStringLiteral("Perquorvane");
    QDir().mkpath(folder);
    QImage bg(1016, 730, QImage::Format_RGB32);
    bg.fill(QColor(0xCF, 0xE0, 0xC0));
    return bg.save(QDir(folder).filePath("formavvio3.jpg"), "JPG") ? 0 : 1;
}
