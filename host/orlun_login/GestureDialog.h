#pragma once

#include <QDialog>
#include <QVector>

class QLabel;
class QPushButton;

namespace orlun_login {

class GesturePadWt;

// Records a gesture password: the pattern is drawn on the pad, then drawn
// again to confirm. A pattern that is too short or does not match the first
// one is explained in the hint line and the recording starts over. The
// dialog is accepted once both drawings agree.
class GestureDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMinDots = 4;

    explicit GestureDialog(const QString &userName, QWidget *parent = nullptr);
    ~GestureDialog() override;

    // The confirmed pattern; empty until accepted.
    QVector<int> pattern() const { return m_pattern; }

private:
    void onPatternDrawn(const QVector<int> &pattern);
    void restart(const QString &reason);
    void setHint(const QString &text, bool error);

    GesturePadWt *m_pad = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_cancelBt = nullptr;
    QVector<int> m_first;   // first drawing, waiting for confirmation
    QVector<int> m_pattern; // confirmed
};

} // namespace orlun_login
