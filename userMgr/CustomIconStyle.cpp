#include "CustomIconStyle.h"

namespace orlun_userMgr {

CustomIconStyle::CustomIconStyle(int iconSize)
    : m_iconSize(iconSize)
{}

int CustomIconStyle::pixelMetric(QStyle::PixelMetric metric, const QStyleOption *option,
                                 const QWidget *widget) const
{
    if (metric == QStyle::PM_SmallIconSize)
        return m_iconSize;
    return QCommonStyle::pixelMetric(metric, option, widget);
}

} // namespace orlun_userMgr
