#pragma once

#include "TamWidget.h"

namespace orlun_base {

// Base of per-row operation cells.
class TableOperWt : public TAMCOMMON::TamWidget
{
    Q_OBJECT
public:
    explicit TableOperWt(const QString &id, QWidget *parent = nullptr);
    ~TableOperWt() override;

    QString id() const { return m_id; }

private:
    QString m_id;
};

} // namespace orlun_base
