#include "PwdStrength.h"

#include <QByteArray>

#include <zxcvbn.h>

namespace TAMCOMMON {

namespace {

// zxcvbn returns log2 of the guesses an attacker who knows common passwords,
// keyboard walks, repeats, sequences and dates would need.
// - Below 28 bits (about 2.7e8 guesses) a password falls to an offline attack
//   on a fast hash within seconds; zxcvbn itself rates fewer than 1e8 guesses
//   (26.6 bits) as "very/somewhat guessable". "123456", "password",
//   "qwerty123" and "Admin@123" all land far below it.
// - From 40 bits (about 1.1e12 guesses) on, the estimate lies well beyond
//   zxcvbn's top score (1e10 guesses, 33 bits), which leaves a margin for the
//   estimator's optimism; a passphrase of three unrelated words or twelve
//   random mixed characters passes.
constexpr double WeakBelowBits = 28.0;
constexpr double StrongFromBits = 40.0;

} // namespace

PwdStrength checkPwdStrength(const QString &pwd)
{
    if (pwd.isEmpty())
        return PwdEmpty;

    const QByteArray utf8 = pwd.toUtf8();
    const double bits = ZxcvbnMatch(utf8.constData(), nullptr, nullptr);
    if (bits < WeakBelowBits)
        return PwdWeak;
    if (bits < StrongFromBits)
        return PwdMedium;
    return PwdStrong;
}

} // namespace TAMCOMMON
