#pragma once

#include <QIcon>
#include <QPushButton>

namespace orlun_base {

// Push button with an icon that switches to its hover image under the mouse.
class IconButton : public QPushButton
{
    Q_OBJECT
public:
    explicit IconButton(QWidget *parent = nullptr);
    ~IconButton() override;

    void setIcons(const QString &normalIcon, const QString &hoverIcon);
    void setText(const QString &text);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QIcon m_normal;
    QIcon m_hover;
};

} // namespace orlun_base
