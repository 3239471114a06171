#pragma once

#include <QString>

namespace TAMCOMMON {

// Password strength levels; PwdEmpty and PwdWeak are too weak to be accepted.
enum PwdStrength {
    PwdEmpty = -1,
    PwdWeak = 0,
    PwdMedium = 1,
    PwdStrong = 2,
};

// Rates a password with zxcvbn's entropy estimate.
PwdStrength checkPwdStrength(const QString &pwd);

} // namespace TAMCOMMON
