#pragma once

#include "TamLineEdit.h"

namespace orlun_base {

// Search field with a search icon and a clear button; emits the keyword on
// every text change (empty means no filter).
class SearchBox : public TAMCOMMON::TamLineEdit
{
    Q_OBJECT
public:
    explicit SearchBox(QWidget *parent = nullptr);
    ~SearchBox() override;

signals:
    void signalSearchByKeyword(const QString &keyword);
};

} // namespace orlun_base
