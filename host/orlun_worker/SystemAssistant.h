#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "TamSingleton.h"

class QWidget;

namespace orlun_worker {

// Non-blocking notices. messageAlert shows a small toast over the active
// window (or centred on the screen) that fades out by itself after a few
// seconds; it never blocks. Every alert is also announced through
// signalMessageAlerted, which tests observe. Notices that are up at the same
// time stack downwards instead of covering each other.
class SystemAssistant : public QObject, public TAMCOMMON::TamSingleton<SystemAssistant>
{
    Q_OBJECT
public:
    explicit SystemAssistant(QObject *parent = nullptr);
    ~SystemAssistant() override;

    void messageAlert(const QString &title, const QString &message);

    // How long a notice stays, in milliseconds.
    void setAlertDuration(int msecs) { m_duration = msecs; }
    // Test seam: while false no toast widget is created, only the signal.
    void setAlertPopupsEnabled(bool enabled) { m_popups = enabled; }

signals:
    void signalMessageAlerted(const QString &title, const QString &message);

private:
    void showToast(const QString &title, const QString &message);

    int m_duration = 3000;
    bool m_popups = true;
    QList<QPointer<QWidget>> m_toasts; // shown and not yet gone
};

} // namespace orlun_worker
