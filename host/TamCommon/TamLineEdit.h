#pragma once

#include <QLineEdit>

namespace TAMCOMMON {

// Line edit of the client's forms. Keeps a dynamic "focused" property in step
// with the keyboard focus so style sheets can highlight the focused field.
class TamLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TamLineEdit(QWidget *parent = nullptr);
    ~TamLineEdit() override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace TAMCOMMON
