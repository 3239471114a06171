#pragma once

#include <QCommonStyle>

namespace orlun_userMgr {

// Line edits size their action icons by PM_SmallIconSize; this style pins
// that one metric and leaves every other to QCommonStyle.
class CustomIconStyle : public QCommonStyle
{
    Q_OBJECT
public:
    explicit CustomIconStyle(int iconSize);

    int pixelMetric(QStyle::PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

private:
    int m_iconSize;
};

} // namespace orlun_userMgr
