#pragma once

#include <QFont>
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

    // The full text's size, so layouts can give the label its whole width back.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateElidedText();
    int availableTextWidth() const;
    int fullTextWidth() const;

    QString m_fullText;
    // Shaping a text is the dearest part of a label: a row of a long list is
    // restyled, refonted and resized several times before it is ever seen.
    // The full text's width is kept for the font it was measured in, and the
    // elision for the width and font it was made for.
    mutable QFont m_measuredFont;
    mutable QString m_measuredText;
    mutable int m_measuredWidth = -1;
    QFont m_elidedFont;
    QString m_elidedFrom;
    QString m_elidedShown;
    int m_elidedForWidth = -1;
    // The tool tip was put there by the eliding, not by the label's owner.
    bool m_elisionToolTip = false;
};

} // namespace TAMCOMMON
