#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;

namespace orlun_userMgr {

// Says why a line edit did not take what was typed or pasted: a character
// its validator refuses, or text beyond its maximum length. The reason shows
// as a tool tip below the field, so the value stays readable, until the next
// keystroke in that field or for a few seconds.
class InputRefusalTip : public QObject
{
    Q_OBJECT
public:
    explicit InputRefusalTip(QObject *parent = nullptr);
    ~InputRefusalTip() override;

    // invalidReason is shown when the field's validator refuses the input.
    void watch(QLineEdit *field, const QString &invalidReason);

    static constexpr int ShowMs = 4000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showReason(QLineEdit *field);

    QHash<QLineEdit *, QString> m_invalidReasons;
    // What the last keystroke or paste in a watched field tried to insert.
    QString m_lastInput;
    QPointer<QLineEdit> m_tipField;
};

} // namespace orlun_userMgr
