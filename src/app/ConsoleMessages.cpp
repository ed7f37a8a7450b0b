#include "app/ConsoleMessages.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace Nimbrel
{

void Console::print(FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    // A program without a console of its own writes into the one it was
    // started from, if any.
    static const bool attached = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return false;
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        return true;
    }();
    Q_UNUSED(attached)
#endif
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void Console::complain(const QString &text)
{
    print(stderr, QStringLiteral("nimbrel-launcher: ") + text + u'\n');
}

MaybeFailure ConsoleMessages::openInDefaultHandler(const QString &target, const QString &parameters,
                                                   int showCommand)
{
    return m_previous.openInDefaultHandler(target, parameters, showCommand);
}

MaybeFailure ConsoleMessages::openInEditor(const QString &path, int showCommand)
{
    return m_previous.openInEditor(path, showCommand);
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
    Console::complain(text);
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
