#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QPair>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <utility>

namespace TAMCOMMON {

// Events that widgets were kept from (their polish, a style change) while
// nobody could see them, sent to them later in the order they came. A widget
// deleted meanwhile is passed over.
class HeldEvents
{
public:
    void hold(QWidget *widget, QEvent::Type type)
    {
        const QPair<QPointer<QWidget>, QEvent::Type> held(widget, type);
        if (!m_held.contains(held))
            m_held.append(held);
    }

    void release()
    {
        const auto held = std::exchange(m_held, {});
        for (const auto &event : held) {
            if (!event.first)
                continue;
            QEvent replay(event.second);
            QCoreApplication::sendEvent(event.first, &replay);
        }
    }

private:
    QVector<QPair<QPointer<QWidget>, QEvent::Type>> m_held;
};

} // namespace TAMCOMMON
