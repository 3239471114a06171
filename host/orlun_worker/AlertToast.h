#pragma once

#include <QFrame>

namespace orlun_worker {

// The small window of one notice: title and message on the client's dark
// panel colour. It never takes focus, fades out over the end of its life and
// deletes itself; a click dismisses it early.
class AlertToast : public QFrame
{
    Q_OBJECT
public:
    AlertToast(const QString &title, const QString &message, QWidget *parent = nullptr);
    ~AlertToast() override;

    // Shows the toast at pos (global) and lets it live for msecs.
    void popUp(const QPoint &pos, int msecs);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace orlun_worker
