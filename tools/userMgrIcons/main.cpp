// Draws the nine icons of the user-management module into a folder:
//   userMgrIcons <output folder>
// Every icon is 20 x 20 with a transparent background and is meant for the
// dark panels (#101928). "_n" is the resting look, "_h" the highlighted one.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <cstdio>
#include <functional>

namespace {

constexpr int kSize = 20;

const QColor kResting(0x8A, 0x94, 0xA6);
const QColor kBright(0xFF, 0xFF, 0xFF);
const QColor kAccent(0x2D, 0x80, 0xD4);

struct Look
{
    QColor line;   // outlines, dots, silhouettes
    QColor accent; // pupil, badge
    QColor sign;   // plus/minus inside the badge; transparent = punched out
};

const Look kRestingLook{kResting, kResting, Qt::transparent};
const Look kHighlightLook{kBright, kAccent, kBright};

// Erases everything under a shape so the next stroke stands free of what is
// below it (the slash of the crossed eye, the badge over the dot pattern).
void punch(QPainter &p, const std::function<void(QPainter &)> &shape)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    shape(p);
    p.restore();
}

void drawEye(QPainter &p, const Look &look)
{
    QPainterPath outline;
    outline.moveTo(1.5, 10);
    outline.cubicTo(4.5, 4.5, 15.5, 4.5, 18.5, 10);
    outline.cubicTo(15.5, 15.5, 4.5, 15.5, 1.5, 10);
    p.setPen(QPen(look.line, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);

    p.setPen(Qt::NoPen);
    p.setBrush(look.accent);
    p.drawEllipse(QPointF(10, 10), 2.6, 2.6);
}

void drawShowPwd(QPainter &p, const Look &look)
{
    drawEye(p, look);
}

void drawHidePwd(QPainter &p, const Look &look)
{
    drawEye(p, look);
    const QPointF from(3.5, 16.5);
    const QPointF to(16.5, 3.5);
    punch(p, [&](QPainter &q) {
        q.setPen(QPen(Qt::black, 4.0, Qt::SolidLine, Qt::RoundCap));
        q.drawLine(from, to);
    });
    p.setPen(QPen(look.line, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

// A 3 x 3 gesture pad with a stroke through some dots; the lower right dot
// gives way to a round badge carrying the sign.
void drawGesture(QPainter &p, const Look &look, bool plus)
{
    const qreal pos[3] = {2.5, 8.5, 14.5};
    auto dot = [&](int index) {
        return QPointF(pos[index % 3], pos[index / 3]);
    };

    QPainterPath stroke;
    const int trail[] = {6, 3, 0, 1, 2, 5};
    stroke.moveTo(dot(trail[0]));
    for (int i = 1; i < 6; ++i)
        stroke.lineTo(dot(trail[i]));
    p.setPen(QPen(look.line, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stroke);

    p.setPen(Qt::NoPen);
    p.setBrush(look.line);
    for (int i = 0; i < 9; ++i)
        p.drawEllipse(dot(i), 1.6, 1.6);

    const QPointF badge(15.0, 15.0);
    punch(p, [&](QPainter &q) {
        q.setPen(Qt::NoPen);
        q.setBrush(Qt::black);
        q.drawEllipse(badge, 5.3, 5.3);
    });
    p.setBrush(look.accent);
    p.drawEllipse(badge, 4.6, 4.6);

    auto drawSign = [&](QPainter &q, const QColor &color) {
        q.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::FlatCap));
        q.drawLine(badge + QPointF(-3, 0), badge + QPointF(3, 0));
        if (plus)
            q.drawLine(badge + QPointF(0, -3), badge + QPointF(0, 3));
    };
    if (look.sign.alpha() == 0)
        punch(p, [&](QPainter &q) { drawSign(q, Qt::black); });
    else
        drawSign(p, look.sign);
}

void drawUserFlag(QPainter &p)
{
    const QPointF head(10, 6.5);
    QPainterPath body;
    body.moveTo(3, 18.5);
    body.cubicTo(3, 11.5, 17, 11.5, 17, 18.5);
    body.closeSubpath();

    p.setPen(Qt::NoPen);
    p.setBrush(kResting);
    p.drawPath(body);
    // A thin gap between head and shoulders keeps the two shapes apart at
    // this size.
    punch(p, [&](QPainter &q) {
        q.setPen(Qt::NoPen);
        q.setBrush(Qt::black);
        q.drawEllipse(head, 4.6, 4.6);
    });
    p.setBrush(kResting);
    p.drawEllipse(head, 3.6, 3.6);
}

bool render(const QDir &dir, const QString &name, const std::function<void(QPainter &)> &draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", argv[1]);
        return 2;
    }

    bool ok = true;
    ok &= render(dir, "show_pwd_n", [](QPainter &p) { drawShowPwd(p, kRestingLook); });
    ok &= render(dir, "show_pwd_h", [](QPainter &p) { drawShowPwd(p, kHighlightLook); });
    ok &= render(dir, "hide_pwd_n", [](QPainter &p) { drawHidePwd(p, kRestingLook); });
    ok &= render(dir, "hide_pwd_h", [](QPainter &p) { drawHidePwd(p, kHighlightLook); });
    ok &= render(dir, "add_gesture_n", [](QPainter &p) { drawGesture(p, kRestingLook, true); });
    ok &= render(dir, "add_gesture_h", [](QPainter &p) { drawGesture(p, kHighlightLook, true); });
    ok &= render(dir, "delete_gesture_n", [](QPainter &p) { drawGesture(p, kRestingLook, false); });
    ok &=
        render(dir, "delete_gesture_h", [](QPainter &p) { drawGesture(p, kHighlightLook, false); });
    ok &= render(dir, "user_flag", drawUserFlag);
    return ok ? 0 : 1;
}
