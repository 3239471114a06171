// Renders an SVG image into a PNG of the size the SVG gives, so that style
// sheets, which name PNG images, can show images kept as SVG sources.
// Usage: rendersvg <input.svg> <output.png>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        QTextStream(stderr) << "usage: rendersvg <input.svg> <output.png>\n";
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QSvgRenderer renderer(input);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty()) {
        QTextStream(stderr) << "cannot read " << input << '\n';
        return 1;
    }
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    if (!image.save(output, "PNG")) {
        QTextStream(stderr) << "cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
