#pragma once

#include "rules/Failure.h"

#include <QMessageBox>
#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace Nimbrel
{

// A modal message box as the program asks for it.
struct MessageRequest {
    QWidget *parent = nullptr;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Everything that leaves the process goes through here: the default handler for
// URLs and files, message boxes and the clipboard. Tests install a recording fake.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Opens a URL or starts a program with the user's default handler and
    // returns at once. A null `parameters` means none. Returns a number above
    // 32 when the handler started and 0 when it could not. On Linux a failure
    // is also told to the user: at once, or when the handler gives up shortly
    // after it started.
    virtual int openInDefaultHandler(const QString &file, const QString &parameters,
                                     int showCommand) = 0;

    // Calls `settled` once every hand-off started so far has given its
    // verdict, with true when one of them failed; the user is told of the
    // failure right after. Where a hand-off's verdict is known when it
    // returns (Windows), that is at once. Not called once `context` is gone.
    virtual void whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled);

    // Shows a modal message box and returns the button the user chose.
    virtual QMessageBox::StandardButton showMessage(const MessageRequest &request) = 0;

    // Empties the clipboard and puts the text on it; false when the clipboard
    // does not hold the text afterwards.
    virtual bool setClipboardText(const QString &text) = 0;
};

// The desktop in use: the real one unless a test installed another.
Desktop &desktop();

// Installs a desktop (not owned); nullptr restores the real one.
void setDesktop(Desktop *replacement);

// Tells the user that something could not be done to a file or folder,
// naming the path and the system's reason. The program carries on.
void reportFailure(QWidget *parent, const Failure &failure);

// Reports `failure`, if there is one; true when there was none.
bool reportIfFailed(QWidget *parent, const MaybeFailure &failure);

// The editor that history files are opened in.
inline const QString NotepadProgram = QStringLiteral("Notepad");

} // namespace Nimbrel
