#pragma once

#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"
#include "windows/MainForm.h"

#include <QListWidget>
#include <QTest>

#include <memory>

// A shown main window over a recording desktop and its own session, in a
// fresh environment, and the history list's rows where the mouse reaches them.
class MainWindowFixture
{
protected:
    FakeDesktop *fake = nullptr;
    std::unique_ptr<Nimbrel::LauncherSession> session;
    Nimbrel::MainForm *form = nullptr;

    // For a test's init(): seeded settings, no history files.
    void start()
    {
        TestEnvironment::reset();
        SettingsFixture::writeSettings();
        fake = new FakeDesktop;
        openForm();
    }
    // For a test's cleanup().
    void stop()
    {
        delete form;
        form = nullptr;
        session.reset();
        delete fake;
        fake = nullptr;
    }

    // Opens the window afresh, as a new start of the program would, so that
    // it reads the settings and files as they are now.
    void openForm()
    {
        delete form;
        session = std::make_unique<Nimbrel::LauncherSession>();
        form = new Nimbrel::MainForm(*session);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }

    QPoint centreOf(int row) const
    {
        QListWidget *list = ui(*form).List_History;
        return list->visualItemRect(list->item(row)).center();
    }
    void clickRow(int row)
    {
        QTest::mouseClick(ui(*form).List_History->viewport(), Qt::LeftButton, {}, centreOf(row));
    }
    void doubleClickRow(int row)
    {
        clickRow(row);
        QTest::mouseDClick(ui(*form).List_History->viewport(), Qt::LeftButton, {}, centreOf(row));
    }
};
