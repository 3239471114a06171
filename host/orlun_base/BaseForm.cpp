#include "BaseForm.h"

namespace orlun_base {

BaseForm::BaseForm(QWidget *parent)
    : TAMCOMMON::TamWidget(parent)
{}

BaseForm::~BaseForm() = default;

} // namespace orlun_base
