#pragma once

#include <QAction>
#include <QObject>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "DataStore.h"
#include "SystemAssistant.h"
#include "TamMessageBox.h"

// Shared set-up of the widget tests: a fresh in-memory store, scripted
// question answers and no toast windows. Call from each test's init().
// A line edit's clear button fades out with a parentless animation that Qt
// leaks when the line edit dies mid-fade; call before destroying widgets
// whose search boxes were typed into.
inline void waitForClearButtonFades(QWidget *root)
{
    const auto buttons = root->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() &&
            button->defaultAction()->objectName() == QLatin1String("_q_qlineeditclearaction"))
            QTRY_VERIFY(!button->isVisible());
    }
}

inline void resetHostForTest()
{
    QVERIFY(orlun_data::DataStore::_instance().open(QStringLiteral(":memory:")));
    orlun_base::TamMessageBox::setTestMode(true);
    orlun_base::TamMessageBox::setNextAnswers({});
    orlun_base::TamMessageBox::clearAskedQuestions();
    orlun_worker::SystemAssistant::_instance().setAlertPopupsEnabled(false);
}
