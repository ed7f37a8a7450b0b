#include "app/ConsoleMessages.h"

#include <cstdio>

namespace Nimbrel
{

int ConsoleMessages::openInDefaultHandler(const QString &file, const QString &parameters,
                                          int showCommand)
{
    return m_previous.openInDefaultHandler(file, parameters, showCommand);
}

void ConsoleMessages::whenHandOffsSettled(QObject *context,
                                          std::function<void(bool failed)> settled)
{
    m_previous.whenHandOffsSettled(context, std::move(settled));
}

QMessageBox::StandardButton ConsoleMessages::showMessage(const MessageRequest &request)
{
    // One line, so that a log keeps the message together.
    QString text = request.text;
    text.replace(QStringLiteral("\n\n"), QStringLiteral(": ")).replace(u'\n', u' ');
    std::fprintf(stderr, "nimbrel-launcher: %s\n", qPrintable(text));
    std::fflush(stderr);
    for (const QMessageBox::StandardButton safe : {QMessageBox::Cancel, QMessageBox::No}) {
        if (request.buttons.testFlag(safe))
            return safe;
    }
    return QMessageBox::Ok;
}

bool ConsoleMessages::setClipboardText(const QString &text)
{
    return m_previous.setClipboardText(text);
}

} // namespace Nimbrel
