// Draws the program's icon as PNG at the usual hicolor sizes:
//   mkicon <dir> [size...]  ->  <dir>/<size>x<size>/apps/quorvane.png
// The drawing is the one of packaging/quorvane.svg, on the same 256-unit grid.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTextStream>

namespace {

void drawIcon(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x5f, 0xa7));
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 40, 40);

    // The two pages of the open book.
    QPainterPath left;
    left.moveTo(128, 86);
    left.cubicTo(104, 68, 70, 66, 40, 76);
    left.lineTo(40, 190);
    left.cubicTo(70, 180, 104, 182, 128, 200);
    left.closeSubpath();
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(128, 86);
    right.cubicTo(152, 68, 186, 66, 216, 76);
    right.lineTo(216, 190);
    right.cubicTo(186, 180, 152, 182, 128, 200);
    right.closeSubpath();
    p.setBrush(QColor(0xf3, 0xf6, 0xfa));
    p.drawPath(right);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xb8, 0xc8, 0xdc), 4));
    p.drawLine(QPointF(128, 86), QPointF(128, 200));

    // Lines of writing on the left page.
    p.setPen(QPen(QColor(0x9d, 0xb7, 0xd5), 6, Qt::SolidLine, Qt::RoundCap));
    for (int y : {104, 128, 152}) {
        QPainterPath line;
        line.moveTo(58, y);
        line.cubicTo(78, y - 6, 96, y - 6, 112, y + 2);
        p.drawPath(line);
    }

    // The tick, outlined in white so it stands out on both the page and the tile.
    QPainterPath tick;
    tick.moveTo(146, 140);
    tick.lineTo(174, 168);
    tick.lineTo(222, 100);
    p.setPen(QPen(Qt::white, 34, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(0x2e, 0x9e, 0x4a), 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

} // namespace

int main(int argc, char **argv)
{
    QTextStream err(stderr);
    if (argc < 2) {
        err << "uso: mkicon <cartella> [dimensione...]" << Qt::endl;
        return 2;
    }
    QList<int> sizes;
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int s = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || s < 16 || s > 1024) {
            err << "mkicon: dimensione non valida: " << argv[i] << Qt::endl;
            return 2;
        }
        sizes << s;
    }
    if (sizes.isEmpty())
        sizes = {32, 48, 64, 128, 256};
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int s : sizes) {
        const QString sub = QStringLiteral("%1x%1/apps").arg(s);
        if (!root.mkpath(sub)) {
            err << "mkicon: non riesco a creare " << root.filePath(sub) << Qt::endl;
            return 1;
        }
        QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(s / 256.0, s / 256.0);
            drawIcon(p);
        }
        const QString file = root.filePath(sub + QStringLiteral("/quorvane.png"));
        if (!img.save(file, "PNG")) {
            err << "mkicon: non riesco a scrivere " << file << Qt::endl;
            return 1;
        }
    }
    return 0;
}
