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

    // Opens `target`, a URL, with the user's default handler, or starts the
    // program `target` with `parameters` (a null QString: none) as its one
    // argument, and returns at once: nothing when the handler took it,
    // otherwise what could not be opened and why. On Linux the user is told of
    // a failure too: at once, or when the handler gives up shortly after it
    // started.
    virtual MaybeFailure openInDefaultHandler(const QString &target, const QString &parameters,
                                              int showCommand) = 0;

    // Opens the text file at `path` in the editor the platform offers for it,
    // and answers as openInDefaultHandler() does.
    virtual MaybeFailure openInEditor(const QString &path, int showCommand) = 0;

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

} // namespace Nimbrel
