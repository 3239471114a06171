#pragma once

#include <QObject>
#include <QSignalSpy>
#include <QtTest>

#include "DataStore.h"
#include "SystemAssistant.h"
#include "TamMessageBox.h"

// Shared set-up of the widget tests: a fresh in-memory store, scripted
// question answers and no toast windows. Call from each test's init().
inline void resetHostForTest()
{
    QVERIFY(orlun_data::DataStore::_instance().open(QStringLiteral(":memory:")));
    orlun_base::TamMessageBox::setTestMode(true);
    orlun_base::TamMessageBox::setNextAnswers({});
    orlun_base::TamMessageBox::clearAskedQuestions();
    orlun_worker::SystemAssistant::_instance().setAlertPopupsEnabled(false);
}
