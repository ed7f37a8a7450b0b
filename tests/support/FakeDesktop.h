#pragma once

#include "desktop/Desktop.h"

#include <QList>
#include <QStringList>

// Records everything the program sends out of the process and answers message
// boxes from a script. Installs itself while it lives.
class FakeDesktop : public Nimbrel::Desktop
{
public:
    struct Opened {
        QString file;
        QString parameters;
        int showCommand;
    };

    FakeDesktop();
    ~FakeDesktop() override;

    int openInDefaultHandler(const QString &file, const QString &parameters,
                             int showCommand) override;
    QMessageBox::StandardButton showMessage(const Nimbrel::MessageRequest &request) override;
    bool setClipboardText(const QString &text) override;

    // Answers for the next message boxes, in order; without one, a box is
    // answered with its default button (or OK).
    QList<QMessageBox::StandardButton> answers;
    int openResult = 33;
    bool clipboardAccepts = true;

    QList<Opened> opened;
    QList<Nimbrel::MessageRequest> messages;
    QStringList clipboard;
};
