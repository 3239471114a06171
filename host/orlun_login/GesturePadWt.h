#pragma once

#include <QPoint>
#include <QVector>
#include <QWidget>

namespace orlun_login {

// A 3x3 pad of dots numbered 0..8 row by row. A pattern is drawn by
// pressing the left button on a dot and dragging through others; every dot
// counts once and the dots are joined by lines. Releasing the button ends
// the pattern, which stays on the pad until clearPattern.
class GesturePadWt : public QWidget
{
    Q_OBJECT
public:
    explicit GesturePadWt(QWidget *parent = nullptr);
    ~GesturePadWt() override;

    QVector<int> pattern() const { return m_pattern; }
    void clearPattern();
    // Draws the shown pattern in the error colour until the next press.
    void showError();

    // Centre of dot index in widget coordinates; -1 when pos hits no dot.
    QPoint dotCenter(int index) const;
    int dotAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void signalPatternDrawn(const QVector<int> &pattern);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int cellSize() const;
    int dotRadius() const;

    QVector<int> m_pattern;
    QPoint m_cursor;
    bool m_drawing = false;
    bool m_error = false;
};

} // namespace orlun_login
