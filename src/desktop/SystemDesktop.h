#pragma once

#include "desktop/Desktop.h"

namespace Nimbrel
{

// The real desktop: the platform's default handlers (the shell's "open" on
// Windows; Qt's URL service or xdg-open elsewhere, in SystemDesktop_<os>.cpp),
// QMessageBox and the system clipboard.
class SystemDesktop : public Desktop
{
public:
    MaybeFailure openInDefaultHandler(const QString &target, const QString &parameters,
                                      int showCommand) override;
    MaybeFailure openInEditor(const QString &path, int showCommand) override;
#ifndef Q_OS_WIN
    void whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled) override;
#endif
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override;
    bool setClipboardText(const QString &text) override;
};

} // namespace Nimbrel
