#include "AlertToast.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace orlun_worker {

namespace {
// Share of the life time during which the toast stays fully opaque.
constexpr double kOpaqueShare = 0.75;
} // namespace

AlertToast::AlertToast(const QString &title, const QString &message, QWidget *parent)
    : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("alertToast"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(
        QStringLiteral("QFrame#alertToast { background-color: #213147; border: 1px solid #2D80D4; }"
                       "QLabel { color: #FFFFFF; font-family: \"microsoft yahei\"; font-size: 13px;"
                       " background: transparent; border: none; }"
                       "QLabel#alertTitle { font-weight: bold; }"));

    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(QStringLiteral("alertTitle"));
    auto *messageLabel = new QLabel(message, this);
    messageLabel->setObjectName(QStringLiteral("alertMessage"));
    messageLabel->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 12);
    layout->setSpacing(6);
    layout->addWidget(titleLabel);
    layout->addWidget(messageLabel);

    setMinimumWidth(260);
    setMaximumWidth(480);
    adjustSize();
}

AlertToast::~AlertToast() = default;

void AlertToast::popUp(const QPoint &pos, int msecs)
{
    move(pos);
    setWindowOpacity(1.0);
    show();

    auto *fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(qMax(0, msecs));
    fade->setKeyValueAt(0.0, 1.0);
    fade->setKeyValueAt(kOpaqueShare, 1.0);
    fade->setKeyValueAt(1.0, 0.0);
    // close() deletes the toast (WA_DeleteOnClose) once the animation is out
    // of its own finished() emission.
    connect(fade, &QPropertyAnimation::finished, this, &QWidget::close, Qt::QueuedConnection);
    fade->start();
}

void AlertToast::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    close();
}

} // namespace orlun_worker
