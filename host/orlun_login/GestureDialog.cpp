#include "GestureDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "GesturePadWt.h"

namespace orlun_login {

GestureDialog::GestureDialog(const QString &userName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("gestureDialog"));
    setWindowTitle(tr("Gesture password"));
    setModal(true);
    setStyleSheet(QStringLiteral(
        "QDialog#gestureDialog { background-color: #101928; }"
        "QLabel { color: #FFFFFF; font-family: \"microsoft yahei\"; font-size: 13px; }"
        "QPushButton { color: #FFFFFF; background-color: #213147; border: 1px solid #2D80D4;"
        " font-family: \"microsoft yahei\"; font-size: 13px; min-width: 80px; min-height: 28px; }"
        "QPushButton:hover { background-color: #2D80D4; }"));

    auto *title = new QLabel(tr("Set the gesture password of %1").arg(userName), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setAlignment(Qt::AlignCenter);

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hintLabel"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);

    m_pad = new GesturePadWt(this);

    m_cancelBt = new QPushButton(tr("Cancel"), this);
    m_cancelBt->setObjectName(QStringLiteral("cancelBt"));
    m_cancelBt->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelBt);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(m_hint);
    layout->addWidget(m_pad, 1);
    layout->addLayout(buttons);

    setHint(tr("Connect at least %n dots", nullptr, kMinDots), false);

    connect(m_pad, &GesturePadWt::signalPatternDrawn, this, &GestureDialog::onPatternDrawn);
    connect(m_cancelBt, &QPushButton::clicked, this, &QDialog::reject);
}

GestureDialog::~GestureDialog() = default;

void GestureDialog::onPatternDrawn(const QVector<int> &pattern)
{
    if (pattern.size() < kMinDots) {
        restart(tr("Connect at least %n dots, please draw again", nullptr, kMinDots));
        return;
    }
    if (m_first.isEmpty()) {
        m_first = pattern;
        m_pad->clearPattern();
        setHint(tr("Draw the pattern again to confirm"), false);
        return;
    }
    if (pattern != m_first) {
        restart(tr("The two patterns do not match, please draw again"));
        return;
    }
    m_pattern = pattern;
    accept();
}

void GestureDialog::restart(const QString &reason)
{
    // Leave the faulty drawing in red until the next press.
    m_first.clear();
    m_pad->showError();
    setHint(reason, true);
}

void GestureDialog::setHint(const QString &text, bool error)
{
    m_hint->setText(text);
    m_hint->setStyleSheet(error ? QStringLiteral("color: #E04B4B;")
                                : QStringLiteral("color: #6C7586;"));
}

} // namespace orlun_login
