#include "InputRefusalTip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace orlun_userMgr {

InputRefusalTip::InputRefusalTip(QObject *parent)
    : QObject(parent)
{}

InputRefusalTip::~InputRefusalTip() = default;

void InputRefusalTip::watch(QLineEdit *field, const QString &invalidReason)
{
    m_invalidReasons.insert(field, invalidReason);
    field->installEventFilter(this);
    connect(field, &QLineEdit::inputRejected, this, [this, field] { showReason(field); });
    connect(field, &QObject::destroyed, this, [this, field] { m_invalidReasons.remove(field); });
}

bool InputRefusalTip::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        m_lastInput =
            key->matches(QKeySequence::Paste) ? QGuiApplication::clipboard()->text() : key->text();
        // The next keystroke takes the reason down; a refused one puts it
        // up again.
        if (m_tipField == watched) {
            m_tipField = nullptr;
            QToolTip::hideText();
        }
    }
    return QObject::eventFilter(watched, event);
}

void InputRefusalTip::showReason(QLineEdit *field)
{
    QString reason;
    int pos = 0;
    QString probe = m_lastInput;
    if (field->validator() && !probe.isEmpty() &&
        field->validator()->validate(probe, pos) == QValidator::Invalid)
        reason = m_invalidReasons.value(field);
    if (reason.isEmpty())
        reason = tr("At most %n characters", nullptr, field->maxLength());

    m_tipField = field;
    // Below the field: the tip must not hide the value it is about.
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), reason, field, QRect(),
                       ShowMs);
}

} // namespace orlun_userMgr
