#include "LoginAccess.h"

#include <QCryptographicHash>
#include <QLoggingCategory>
#include <QPointer>
#include <QSet>

#include "GestureDialog.h"
#include "UserData.h"

#include <sodium.h>

namespace orlun_login {

namespace {

constexpr int kDotCount = 9;

// A 3x3 pattern of four or more dots has under a million possibilities, so
// only the cost of each guess protects it. Argon2id with these limits takes
// well over 0.1 s per check on the client's machines (tst_LoginAccess prints
// the time); salt and limits travel inside the stored string, so raising
// them later leaves older records verifiable.
constexpr unsigned long long kOpsLimit = 3;
constexpr size_t kMemLimit = 64u * 1024u * 1024u;
const QByteArray kArgon2Prefix = QByteArrayLiteral("$argon2id$");

Q_LOGGING_CATEGORY(lcLogin, "orlun.login")

bool sodiumReady()
{
    static const bool ready = [] {
        if (sodium_init() >= 0)
            return true;
        qCWarning(lcLogin) << "libsodium failed to start; no gesture can be stored or checked";
        return false;
    }();
    return ready;
}

QByteArray dotBytes(const QVector<int> &pattern)
{
    QByteArray dots;
    dots.reserve(pattern.size());
    for (int dot : pattern)
        dots.append(static_cast<char>(dot));
    return dots;
}

bool isValidPattern(const QVector<int> &pattern)
{
    if (pattern.size() < GestureDialog::kMinDots)
        return false;
    QSet<int> seen;
    for (int dot : pattern) {
        if (dot < 0 || dot >= kDotCount || seen.contains(dot))
            return false;
        seen.insert(dot);
    }
    return true;
}

// Equal-time comparison, so the time taken does not tell how much matched.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

} // namespace

void LoginAccess::addUserGesture(QWidget *parent, const QString &userName)
{
    if (!m_scripted.isEmpty()) {
        const QVector<int> pattern = m_scripted.takeFirst();
        if (!pattern.isEmpty())
            storeGesture(userName, pattern);
        return;
    }
    // Only stored accounts can hold a gesture; do not let the administrator
    // draw one that would be thrown away.
    if (!orlun_data::UserData::_instance().isStoredAccount(userName))
        return;

    QPointer<GestureDialog> dialog = new GestureDialog(userName, parent);
    const int result = dialog->exec();
    if (!dialog)
        return; // the parent went away while the dialog was up
    const QVector<int> pattern = dialog->pattern();
    dialog->deleteLater();
    if (result == QDialog::Accepted)
        storeGesture(userName, pattern);
}

bool LoginAccess::deleteUserGesture(const QString &userName)
{
    return orlun_data::UserData::_instance().deleteUserGesture(userName);
}

bool LoginAccess::checkUserGesture(const QString &userName, const QVector<int> &pattern)
{
    QByteArray salt;
    QByteArray hash;
    if (!orlun_data::UserData::_instance().getUserGesture(userName, &salt, &hash))
        return false;
    if (hash.startsWith(kArgon2Prefix)) {
        const QByteArray dots = dotBytes(pattern);
        return sodiumReady() &&
               crypto_pwhash_str_verify(hash.constData(), dots.constData(),
                                        static_cast<unsigned long long>(dots.size())) == 0;
    }
    // A record of the old format (one salted SHA-256) is checked once more
    // and replaced by the slow hash at its first match.
    if (!sameBytes(hashPattern(pattern, salt), hash))
        return false;
    storeGesture(userName, pattern);
    return true;
}

QByteArray LoginAccess::slowHash(const QVector<int> &pattern)
{
    const QByteArray dots = dotBytes(pattern);
    char out[crypto_pwhash_STRBYTES];
    if (!sodiumReady())
        return QByteArray();
    if (crypto_pwhash_str(out, dots.constData(), static_cast<unsigned long long>(dots.size()),
                          kOpsLimit, kMemLimit) != 0) {
        qCWarning(lcLogin) << "Hashing a gesture ran out of memory";
        return QByteArray();
    }
    return QByteArray(out);
}

void LoginAccess::scriptNextGesture(const QVector<int> &pattern)
{
    m_scripted.append(pattern);
}

void LoginAccess::clearScriptedGestures()
{
    m_scripted.clear();
}

QByteArray LoginAccess::hashPattern(const QVector<int> &pattern, const QByteArray &salt)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(dotBytes(pattern));
    return hash.result();
}

bool LoginAccess::storeGesture(const QString &userName, const QVector<int> &pattern)
{
    if (!isValidPattern(pattern))
        return false;
    const QByteArray hash = slowHash(pattern);
    // The salt lives inside the hash string.
    return !hash.isEmpty() &&
           orlun_data::UserData::_instance().setUserGesture(userName, QByteArray(), hash);
}

} // namespace orlun_login

template class TAMCOMMON::TamSingleton<orlun_login::LoginAccess>;
