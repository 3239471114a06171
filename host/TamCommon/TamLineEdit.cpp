#include "TamLineEdit.h"

#include <QStyle>

namespace TAMCOMMON {

namespace {

// Style sheets select on dynamic properties only when the widget is polished
// again, so the property change alone would not restyle the field.
void setFocusedProperty(QLineEdit *edit, bool focused)
{
    edit->setProperty("focused", focused);
    edit->style()->unpolish(edit);
    edit->style()->polish(edit);
    edit->update();
}

} // namespace

TamLineEdit::TamLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setProperty("focused", false);
}

TamLineEdit::~TamLineEdit() = default;

void TamLineEdit::focusInEvent(QFocusEvent *event)
{
    setFocusedProperty(this, true);
    QLineEdit::focusInEvent(event);
}

void TamLineEdit::focusOutEvent(QFocusEvent *event)
{
    setFocusedProperty(this, false);
    QLineEdit::focusOutEvent(event);
}

} // namespace TAMCOMMON
