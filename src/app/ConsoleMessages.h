#pragma once

#include "desktop/Desktop.h"

#include <cstdio>

namespace Nimbrel
{

// The one place that writes to the launcher's standard output and error.
namespace Console
{

// Writes `text` as it is to `stream` (stdout or stderr), at once.
void print(FILE *stream, const QString &text);

// One line on standard error, under the program's name.
void complain(const QString &text);

} // namespace Console

// The desktop while the session ends: what would be a message box goes to
// standard error instead, since nobody is left to answer a box. A question is
// answered with its safe choice (Cancel, otherwise No), as closing the box
// would. Everything else goes to the desktop that was in use.
class ConsoleMessages : public Desktop
{
public:
    explicit ConsoleMessages(Desktop &previous) : m_previous(previous) {}

    MaybeFailure openInDefaultHandler(const QString &target, const QString &parameters,
                                      int showCommand) override;
    MaybeFailure openInEditor(const QString &path, int showCommand) override;
    void whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled) override;
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override;
    bool setClipboardText(const QString &text) override;

    Desktop &previous() const { return m_previous; }

private:
    Desktop &m_previous;
};

} // namespace Nimbrel
