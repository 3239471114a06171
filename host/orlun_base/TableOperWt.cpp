#include "TableOperWt.h"

namespace orlun_base {

TableOperWt::TableOperWt(const QString &id, QWidget *parent)
    : TAMCOMMON::TamWidget(parent)
    , m_id(id)
{}

TableOperWt::~TableOperWt() = default;

} // namespace orlun_base
