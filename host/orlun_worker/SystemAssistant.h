#pragma once

#include <QObject>
#include <QPointer>

#include "TamSingleton.h"

class QWidget;

namespace orlun_worker {

// Non-blocking notices. messageAlert shows a small toast over the active
// window (or centred on the screen) that fades out by itself after a few
// seconds; it never blocks. Every alert is also announced through
// signalMessageAlerted, which tests observe.
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
    int m_duration = 3000;
    bool m_popups = true;
};

} // namespace orlun_worker
