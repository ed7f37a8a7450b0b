#pragma once

#include "core/Desktop.h"

// The real desktop: the platform's default handlers, QMessageBox and the
// system clipboard.
class SystemDesktop : public Desktop
{
public:
    int openInDefaultHandler(const QString &file, const QString &parameters,
                             int showCommand) override;
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override;
    bool setClipboardText(const QString &text) override;
};
