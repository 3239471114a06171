#pragma once

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TAMCOMMON::PwdStrength m_strength = TAMCOMMON::PwdEmpty;
};

} // namespace orlun_base
