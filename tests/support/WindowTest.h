#pragma once

#include "support/TestEnvironment.h"
#include "windows/InfoForm.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

// A window's controls, found by their object names as a user's tools (and
// screen readers) see them. A missing control ends the test run at once, as
// every later step would only fail on a null pointer.
Nimbrel::MainFormUi ui(const Nimbrel::MainForm &form);
Nimbrel::InfoFormUi ui(const Nimbrel::InfoForm &form);

// What is wrong with a window's layout: each control that sticks out of the
// window, shows less than its whole caption, or overlaps another control (for
// a label or check box, the part its caption takes). The separator lines are
// left out. Empty when all is well.
QString layoutFaults(const QWidget &window);

// The history list box read and filled as plain texts.
QStringList listTexts(const QListWidget &list);
void fillList(QListWidget &list, const QStringList &texts);

// Answers the next modal window of type `Window`: once one is up, `answer` is
// called with it and must close it. Returns a flag that turns true then.
// Should no such window come up within `wait`, whatever modal window is up is
// closed, so that a missing or unexpected box fails the test at once rather
// than hanging it.
template <class Window>
std::shared_ptr<bool> whenModalOpens(std::function<void(Window *)> answer,
                                     std::chrono::milliseconds wait = std::chrono::seconds(10))
{
    auto answered = std::make_shared<bool>(false);
    auto *poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *window = qobject_cast<Window *>(modal)) {
            poll->deleteLater();
            poll->stop();
            *answered = true;
            answer(window);
            return;
        }
        if (clock->elapsed() > wait.count()) {
            poll->stop();
            poll->deleteLater();
            if (modal)
                modal->close();
        }
    });
    poll->start(5);
    return answered;
}

// A QtTest main for windows, whose process runs in its own temporary environment.
#define NIMBREL_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
