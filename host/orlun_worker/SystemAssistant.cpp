#include "SystemAssistant.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "AlertToast.h"

namespace orlun_worker {

namespace {
constexpr int kTopMargin = 16; // from the top of the window or screen
constexpr int kSpacing = 8;    // between stacked toasts
} // namespace

SystemAssistant::SystemAssistant(QObject *parent)
    : QObject(parent)
{}

SystemAssistant::~SystemAssistant() = default;

void SystemAssistant::messageAlert(const QString &title, const QString &message)
{
    emit signalMessageAlerted(title, message);
    if (m_popups && qobject_cast<QApplication *>(QCoreApplication::instance()))
        showToast(title, message);
}

void SystemAssistant::showToast(const QString &title, const QString &message)
{
    // Parented to the window it covers, so it goes when that window goes.
    QWidget *anchor = QApplication::activeWindow();
    QRect area;
    if (anchor)
        area = anchor->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();

    auto *toast = new AlertToast(title, message, anchor);

    int top = area.top() + kTopMargin;
    m_toasts.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget> &shown : qAsConst(m_toasts)) {
        if (shown->isVisible())
            top = qMax(top, shown->geometry().bottom() + 1 + kSpacing);
    }
    m_toasts.append(toast);

    toast->popUp(QPoint(area.center().x() - toast->width() / 2, top), m_duration);
}

} // namespace orlun_worker

template class TAMCOMMON::TamSingleton<orlun_worker::SystemAssistant>;
