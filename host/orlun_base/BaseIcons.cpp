#include "BaseIcons.h"

#include <QHash>
#include <QLoggingCategory>
#include <QPainter>
#include <QPair>
#include <QSvgRenderer>

#include <iterator>

namespace orlun_base {

Q_DECLARE_LOGGING_CATEGORY(lcBase)

namespace {

struct IconImage
{
    const char *path;
    int side; // logical pixels
};

// By BaseIcon.
constexpr IconImage Images[] = {
    {":/orlun_base/icons/question.svg", 40},
    {":/orlun_base/icons/warning.svg", 40},
    {":/orlun_base/icons/close.svg", 12},
    {":/orlun_base/icons/search.svg", 16},
    {":/orlun_base/icons/edit.svg", 14},
    {":/orlun_base/icons/delete.svg", 14},
    {":/orlun_base/icons/status_offline.svg", 10},
    {":/orlun_base/icons/status_online.svg", 10},
    {":/orlun_base/icons/status_recording.svg", 10},
    {":/orlun_base/icons/status_alarm.svg", 10},
    {":/orlun_base/icons/status_unknown.svg", 10},
};
static_assert(std::size(Images) == static_cast<size_t>(BaseIcon::StatusUnknown) + 1,
              "one image per icon");

QPixmap render(const IconImage &image, qreal dpr)
{
    QSvgRenderer renderer(QLatin1String(image.path));
    if (!renderer.isValid()) {
        qCWarning(lcBase) << "The icon" << image.path << "cannot be read";
        return QPixmap();
    }
    QPixmap pixmap(QSize(image.side, image.side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, image.side, image.side));
    }
    return pixmap;
}

} // namespace

QPixmap basePixmap(BaseIcon icon, qreal dpr)
{
    // Operation cells ask for their icons once per row, tens of thousands
    // of times.
    static QHash<QPair<int, qreal>, QPixmap> pixmaps;
    const QPair<int, qreal> key(static_cast<int>(icon), dpr);
    auto it = pixmaps.find(key);
    if (it == pixmaps.end())
        it = pixmaps.insert(key, render(Images[key.first], dpr));
    return it.value();
}

QIcon baseIcon(BaseIcon icon, qreal dpr)
{
    return QIcon(basePixmap(icon, dpr));
}

} // namespace orlun_base
