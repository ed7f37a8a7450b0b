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

    // What openInEditor() records as the program: which editor opens a file
    // is the platform's choice, not the program's.
    static inline const QString Editor = QStringLiteral("<editor>");

    FakeDesktop();
    ~FakeDesktop() override;

    Nimbrel::MaybeFailure openInDefaultHandler(const QString &file, const QString &parameters,
                                               int showCommand) override;
    Nimbrel::MaybeFailure openInEditor(const QString &path, int showCommand) override;
    QMessageBox::StandardButton showMessage(const Nimbrel::MessageRequest &request) override;
    bool setClipboardText(const QString &text) override;

    // Answers for the next message boxes, in order; without one, a box is
    // answered with its default button (or OK).
    QList<QMessageBox::StandardButton> answers;
    bool opens = true; // false: no handler takes anything
    bool clipboardAccepts = true;

    QList<Opened> opened;
    QList<Nimbrel::MessageRequest> messages;
    QStringList clipboard;
};
