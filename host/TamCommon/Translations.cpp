#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>

namespace TAMCOMMON {

int installTranslations(const QLocale &locale)
{
    static QList<QTranslator *> installed;
    for (QTranslator *translator : qAsConst(installed)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    installed.clear();

    // "orlun_userMgr_zh_CN.qm" is catalog "orlun_userMgr"; the catalog name
    // may hold underscores itself, the language part never more than one.
    static const QRegularExpression fileName(
        QStringLiteral("^(.+?)_[a-z]{2,3}(?:_[A-Z][A-Za-z]+)?\\.qm$"));
    const QString folder = QStringLiteral(":/i18n");
    QSet<QString> catalogs;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.qm")}, QDir::Files);
    for (const QString &file : files) {
        const QRegularExpressionMatch match = fileName.match(file);
        if (match.hasMatch())
            catalogs.insert(match.captured(1));
    }
    for (const QString &catalog : qAsConst(catalogs)) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, catalog, QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            installed.append(translator);
        } else {
            delete translator;
        }
    }
    return installed.size();
}

} // namespace TAMCOMMON
