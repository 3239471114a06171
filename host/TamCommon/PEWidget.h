#pragma once

#include <QWidget>

namespace TAMCOMMON {

// A plain widget that paints its own style-sheet background (a bare QWidget
// subclass does not) and reports clicks.
class PEWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PEWidget(QWidget *parent = nullptr);
    ~PEWidget() override;

signals:
    void signalClicked();
    void signalDoubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace TAMCOMMON
