#include "LoginAccess.h"

#include <QCryptographicHash>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>

#include "GestureDialog.h"
#include "UserData.h"

namespace orlun_login {

namespace {

constexpr int kSaltBytes = 16;
constexpr int kDotCount = 9;

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
    if (userName.isEmpty() ||
        orlun_data::UserData::_instance().getUserInfo(userName).userName != userName)
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
    return sameBytes(hashPattern(pattern, salt), hash);
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
    QByteArray dots;
    dots.reserve(pattern.size());
    for (int dot : pattern)
        dots.append(static_cast<char>(dot));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(dots);
    return hash.result();
}

bool LoginAccess::storeGesture(const QString &userName, const QVector<int> &pattern)
{
    if (!isValidPattern(pattern))
        return false;
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          kSaltBytes / int(sizeof(quint32)));
    return orlun_data::UserData::_instance().setUserGesture(userName, salt,
                                                            hashPattern(pattern, salt));
}

} // namespace orlun_login

template class TAMCOMMON::TamSingleton<orlun_login::LoginAccess>;
