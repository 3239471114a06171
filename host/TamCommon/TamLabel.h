#pragma once

#include <QLabel>

namespace TAMCOMMON {

// Label that elides text that does not fit and then shows the full text as
// its tool tip.
class TamLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TamLabel(QWidget *parent = nullptr);
    ~TamLabel() override;

    // Hides QLabel::setText so the full text is kept for eliding.
    void setText(const QString &text);
    QString fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateElidedText();

    QString m_fullText;
};

} // namespace TAMCOMMON
