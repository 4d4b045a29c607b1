// Draws the program's icon, a blue tile with a gold rim and the letter ڤ, as
// SVG and as PNG at the sizes desktops ask for. The letter is taken from the
// font as outlines, so the SVG needs no font where it is shown. Run by hand
// (cmake --build build --target varin-make-icons, then
// build/bin/varin-make-icons packaging/icons) after a change to the drawing;
// its output is kept in the repository.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr double kSize = 256;   // the drawing's own units

QPainterPath Letter()
{
    QFont font(QStringLiteral("Noto Naskh Arabic"));
    font.setPixelSize(190);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, QStringLiteral("ڤ"));
    const QRectF box = path.boundingRect();
    // Centred, with the dots' weight taken into account by the box.
    return path.translated(kSize / 2 - box.center().x(), kSize / 2 - box.center().y() + 6);
}

QPainterPath Tile()
{
    QPainterPath tile;
    tile.addRoundedRect(QRectF(12, 12, kSize - 24, kSize - 24), 40, 40);
    return tile;
}

void Draw(QPainter& p)
{
    QLinearGradient fill(0, 12, 0, kSize - 12);
    fill.setColorAt(0, QColor(0x2a, 0x5d, 0x9f));
    fill.setColorAt(1, QColor(0x12, 0x2e, 0x5c));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xe0, 0xb8, 0x4a), 10));
    p.setBrush(fill);
    p.drawPath(Tile());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(Letter());
}

QString SvgPath(const QPainterPath& path)
{
    QString d;
    QTextStream out(&d);
    out.setRealNumberPrecision(5);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo())
            out << 'M' << e.x << ' ' << e.y << ' ';
        else if (e.isLineTo())
            out << 'L' << e.x << ' ' << e.y << ' ';
        else if (e.isCurveTo()) {
            const auto c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            out << 'C' << e.x << ' ' << e.y << ' ' << c2.x << ' ' << c2.y << ' ' << end.x << ' ' << end.y << ' ';
            i += 2;
        }
    }
    return d.trimmed();
}

bool WriteSvg(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&f);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        << "  <defs><linearGradient id=\"fill\" x1=\"0\" y1=\"12\" x2=\"0\" y2=\"244\" gradientUnits=\"userSpaceOnUse\">"
        << "<stop offset=\"0\" stop-color=\"#2a5d9f\"/><stop offset=\"1\" stop-color=\"#122e5c\"/></linearGradient></defs>\n"
        << "  <rect x=\"12\" y=\"12\" width=\"232\" height=\"232\" rx=\"40\" fill=\"url(#fill)\" stroke=\"#e0b84a\" "
           "stroke-width=\"10\"/>\n"
        << "  <path fill=\"#ffffff\" fill-rule=\"" << (Letter().fillRule() == Qt::WindingFill ? "nonzero" : "evenodd")
        << "\" d=\"" << SvgPath(Letter()) << "\"/>\n"
        << "</svg>\n";
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varin-make-icons FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!WriteSvg(dir.filePath(QStringLiteral("varin.svg"))))
        return 1;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.scale(size / kSize, size / kSize);
        Draw(p);
        p.end();
        if (!image.save(dir.filePath(QStringLiteral("varin-%1.png").arg(size))))
            return 1;
    }
    return 0;
}
