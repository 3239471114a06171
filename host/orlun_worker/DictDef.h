#pragma once

#include <QString>

#include "TamSingleton.h"

namespace orlun_worker {

// The client's shared dictionary of common texts.
class DictDef : public TAMCOMMON::TamSingleton<DictDef>
{
public:
    DictDef();
    ~DictDef() = default;

    QString noticeTitle;
    QString errorTitle;
    QString warningTitle;
};

} // namespace orlun_worker
