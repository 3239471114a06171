#include "BaseForm.h"

#include <QCloseEvent>

namespace orlun_base {

BaseForm::BaseForm(QWidget *parent)
    : TAMCOMMON::TamWidget(parent)
{}

BaseForm::~BaseForm() = default;

bool BaseForm::requestClose()
{
    return true;
}

void BaseForm::closeEvent(QCloseEvent *event)
{
    if (!requestClose()) {
        event->ignore();
        return;
    }
    TAMCOMMON::TamWidget::closeEvent(event);
}

} // namespace orlun_base
