#pragma once

#include <QWidget>

namespace TAMCOMMON {

// Base of the client's panels and forms. Paints its style-sheet background so
// that "background-color" rules work on plain subclasses.
class TamWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TamWidget(QWidget *parent = nullptr);
    ~TamWidget() override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace TAMCOMMON
