#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include "PwdStrength.h"

namespace orlun_base {

// Password strength meter: three coloured bars and a word ("Weak",
// "Medium", "Strong"); nothing lit for an empty password.
class PwdStrengthWt : public QWidget
{
    Q_OBJECT
public:
    explicit PwdStrengthWt(QWidget *parent = nullptr);
    ~PwdStrengthWt() override;

    void setPwd(const QString &pwd);
    TAMCOMMON::PwdStrength strength() const { return m_strength; }
    QString strengthText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where bar index (0 to 2) is drawn, in widget coordinates.
    QRect segmentRect(int index) const;
    // The colour bar index shows at the current strength.
    QColor segmentColor(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

    void changeEvent(QEvent *event) override;

private:
    int textAreaWidth() const;

    TAMCOMMON::PwdStrength m_strength = TAMCOMMON::PwdEmpty;
};

} // namespace orlun_base
