#pragma once

#include <QLocale>

namespace TAMCOMMON {

// Installs on the application one translator per catalog that the loaded
// libraries compiled into their resources (":/i18n/<catalog>_<language>.qm")
// for the locale's language, after removing those an earlier call installed.
// A locale without catalogs leaves the source texts. Returns how many
// catalogs were installed. Widgets built before a switch keep their texts.
int installTranslations(const QLocale &locale);

} // namespace TAMCOMMON
