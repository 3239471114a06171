#pragma once

#include <QString>
#include <QVariant>

namespace orlun_data {

// A null QString binds as SQL NULL, which the store's NOT NULL text columns
// refuse; records fresh from a default constructor carry such strings.
inline QVariant sqlText(const QString &text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

} // namespace orlun_data
