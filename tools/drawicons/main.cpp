// Draws the toolbar, row and check-box images of the client's dark theme at
// their native sizes, so Qt never has to scale them and edges stay crisp.
// Usage: drawicons <output folder>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>

namespace {

// The theme's palette: panels are #101928, so glyphs must stay readable on it
// and on the #213147 highlight of a hovered row.
const QColor Glyph("#8A94A6");
const QColor GlyphHover("#FFFFFF");
const QColor GlyphDisabled("#3A4558");
const QColor Accent("#2D80D4");
const QColor AccentHover("#4A97E3");
const QColor BoxFill("#1A2638");

using Painter = std::function<void(QPainter &)>;

bool save(const QString &folder, const QString &name, int size, const Painter &paint)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p);
    }
    const QString path = QDir(folder).filePath(name);
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// Bars are filled on whole pixels; a stroked 2 px line would be smeared over
// three rows by antialiasing.
void plus(QPainter &p, const QColor &color)
{
    p.fillRect(QRect(5, 8, 8, 2), color);
    p.fillRect(QRect(8, 5, 2, 8), color);
}

void minus(QPainter &p, const QColor &color)
{
    p.fillRect(QRect(5, 8, 8, 2), color);
}

// Toolbar buttons: an outlined ring at rest, a filled blue disc under the mouse.
Painter ringButton(const std::function<void(QPainter &, const QColor &)> &glyph,
                   const QColor &color, bool filled)
{
    return [glyph, color, filled](QPainter &p) {
        if (filled) {
            p.setPen(Qt::NoPen);
            p.setBrush(Accent);
            p.drawEllipse(QPointF(9, 9), 8.5, 8.5);
            glyph(p, GlyphHover);
        } else {
            p.setPen(QPen(color, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(9, 9), 7.75, 7.75);
            glyph(p, color);
        }
    };
}

// A pencil lying on the rising diagonal, tip at the bottom left.
Painter pencil(const QColor &color)
{
    return [color](QPainter &p) {
        p.translate(9, 9);
        p.rotate(-45);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        QPainterPath tip;
        tip.moveTo(-8, 0);
        tip.lineTo(-4.5, -2.25);
        tip.lineTo(-4.5, 2.25);
        tip.closeSubpath();
        p.drawPath(tip);
        p.drawRect(QRectF(-3.5, -2.25, 8, 4.5));
        p.drawRoundedRect(QRectF(5.5, -2.25, 2.5, 4.5), 0.8, 0.8);
    };
}

// A waste bin scaled to the image: lid with handle, tapered body, two ribs.
Painter bin(const QColor &color, int size)
{
    return [color, size](QPainter &p) {
        const qreal s = size / 18.0;
        p.scale(s, s);
        QPen pen(color, 1.5);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(2.75, 4.75), QPointF(15.25, 4.75));
        QPainterPath handle;
        handle.moveTo(6.75, 4.75);
        handle.lineTo(6.75, 2.75);
        handle.lineTo(11.25, 2.75);
        handle.lineTo(11.25, 4.75);
        p.drawPath(handle);
        QPainterPath body;
        body.moveTo(4.25, 6.75);
        body.lineTo(5.25, 15.75);
        body.lineTo(12.75, 15.75);
        body.lineTo(13.75, 6.75);
        p.drawPath(body);
        // Hairline ribs on whole pixels stay sharp where a 1.5 px stroke would blur.
        p.fillRect(QRectF(7, 8, 1, 6), color);
        p.fillRect(QRectF(10, 8, 1, 6), color);
    };
}

// Check boxes sit on the list's #101928; the empty box gets a slightly lighter
// field so it reads as a control, and the ticked one becomes a blue tile.
Painter emptyBox(const QColor &border)
{
    return [border](QPainter &p) {
        p.setPen(QPen(border, 1));
        p.setBrush(BoxFill);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    };
}

Painter tickedBox(const QColor &fill)
{
    return [fill](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 2.5, 2.5);
        QPen pen(GlyphHover, 1.8);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(4.3, 8.2);
        tick.lineTo(6.9, 10.8);
        tick.lineTo(11.8, 5.4);
        p.drawPath(tick);
    };
}

Painter partialBox()
{
    return [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 2.5, 2.5);
        p.fillRect(QRect(4, 7, 8, 2), GlyphHover);
    };
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: drawicons <output folder>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return 1;
    }

    struct Image
    {
        const char *name;
        int size;
        Painter paint;
    };
    const Image images[] = {
        {"add_n.png", 18, ringButton(plus, Glyph, false)},
        {"add_h.png", 18, ringButton(plus, Glyph, true)},
        {"add_d.png", 18, ringButton(plus, GlyphDisabled, false)},
        {"delete_n.png", 18, ringButton(minus, Glyph, false)},
        {"delete_h.png", 18, ringButton(minus, Glyph, true)},
        {"delete_d.png", 18, ringButton(minus, GlyphDisabled, false)},
        {"edit_listWt_n.png", 18, pencil(Glyph)},
        {"edit_listWt_h.png", 18, pencil(GlyphHover)},
        {"delete_listWt_n.png", 18, bin(Glyph, 18)},
        {"delete_listWt_h.png", 18, bin(GlyphHover, 18)},
        {"checkBox_unchecked_n.png", 16, emptyBox(Glyph)},
        {"checkBox_unchecked_h.png", 16, emptyBox(Accent)},
        {"checkBox_checked_n.png", 16, tickedBox(Accent)},
        {"checkBox_checked_h.png", 16, tickedBox(AccentHover)},
        {"checkBox_indeterminate.png", 16, partialBox()},
        {"delete_iconBt_n.png", 16, bin(Accent, 16)},
    };
    bool ok = true;
    for (const Image &image : images)
        ok = save(folder, QString::fromLatin1(image.name), image.size, image.paint) && ok;
    return ok ? 0 : 1;
}
