// Random key strokes on the search box of a real main window, starting from an
// empty box: the box must only ever hold what the key filter lets through, and
// typing alone never starts a term with a dash, never puts two dashes side by
// side and never gets past two dashes.
#include "FuzzInput.h"

#include "desktop/Desktop.h"
#include "rules/LauncherSession.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace Nimbrel;

namespace
{

// Nothing typed may reach the shell or raise a message box.
class RefusingDesktop : public Desktop
{
public:
    MaybeFailure openInDefaultHandler(const QString &file, const QString &, int) override
    {
        fuzzFailure("a key stroke opened something", file);
    }
    MaybeFailure openInEditor(const QString &path, int) override
    {
        fuzzFailure("a key stroke opened an editor", path);
    }
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override
    {
        fuzzFailure("a key stroke raised a message", request.text);
    }
    bool setClipboardText(const QString &) override { return true; }
};

struct Session {
    QTemporaryDir home;
    std::unique_ptr<QApplication> app;
    RefusingDesktop desktop;
    std::unique_ptr<LauncherSession> launcherSession;
    std::unique_ptr<MainForm> form;
};

// One window for the whole run, in a home of its own so that the settings and
// history it creates are thrown away.
Session &session()
{
    static Session *s = [] {
        auto *created = new Session;
        const QByteArray root = QFile::encodeName(created->home.path());
        for (const char *name :
             {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "AppData"})
            qputenv(name, root);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_search_box";
        static char *argv[] = {name, nullptr};
        created->app = std::make_unique<QApplication>(argc, argv);
        setDesktop(&created->desktop);
        created->launcherSession = std::make_unique<LauncherSession>();
        created->form = std::make_unique<MainForm>(*created->launcherSession);
        return created;
    }();
    return *s;
}

struct Stroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool removes; // may take characters out of the box
};

Stroke strokeFor(uint8_t code)
{
    const auto plain = [](Qt::Key key, const QString &text) {
        return Stroke{key, Qt::NoModifier, text, false};
    };
    const auto edit = [](Qt::Key key, Qt::KeyboardModifiers modifiers, bool removes) {
        return Stroke{key, modifiers, QString(), removes};
    };
    const auto control = [](Qt::Key key, char letter, bool removes) {
        return Stroke{key, Qt::ControlModifier, QString(QChar(letter - 'A' + 1)), removes};
    };
    code %= 64;
    if (code < 26)
        return plain(Qt::Key(Qt::Key_A + code), QString(QChar(u'a' + code)));
    if (code < 36)
        return plain(Qt::Key(Qt::Key_0 + code - 26), QString(QChar(u'0' + code - 26)));
    switch (code) {
    case 36:
        return plain(Qt::Key_Space, QStringLiteral(" "));
    case 40:
        return plain(Qt::Key_Period, QStringLiteral("."));
    case 41:
        return plain(Qt::Key_Eacute, QStringLiteral("\u00e9"));
    case 42:
        return edit(Qt::Key_Backspace, Qt::NoModifier, true);
    case 43:
        return edit(Qt::Key_Delete, Qt::NoModifier, true);
    case 44:
        return edit(Qt::Key_Left, Qt::NoModifier, false);
    case 45:
        return edit(Qt::Key_Right, Qt::NoModifier, false);
    case 46:
        return edit(Qt::Key_Home, Qt::NoModifier, false);
    case 47:
        return edit(Qt::Key_End, Qt::NoModifier, false);
    case 48:
        return edit(Qt::Key_Left, Qt::ShiftModifier, false);
    case 49:
        return edit(Qt::Key_Right, Qt::ShiftModifier, false);
    case 50:
        return control(Qt::Key_A, 'A', false);
    case 51:
        return control(Qt::Key_Z, 'Z', true);
    case 52:
        return control(Qt::Key_X, 'X', true);
    case 53:
        return control(Qt::Key_C, 'C', false);
    case 54:
        return control(Qt::Key_V, 'V', false);
    case 55:
        return edit(Qt::Key_Home, Qt::ShiftModifier, false);
    case 56:
        return Stroke{Qt::Key_Q, Qt::ShiftModifier, QStringLiteral("Q"), false};
    case 57:
        return Stroke{Qt::Key_Underscore, Qt::ShiftModifier, QStringLiteral("_"), false};
    case 58:
        return control(Qt::Key_Y, 'Y', true);
    case 59:
        return Stroke{Qt::Key_Backspace, Qt::ControlModifier, QString(), true};
    default:
        return plain(Qt::Key_Minus, QStringLiteral("-")); // dashes often
    }
}

bool onlyFilteredCharacters(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ' || c == u'-';
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Session &s = session();
    QLineEdit &box = *s.form->findChild<QLineEdit *>(QStringLiteral("Text_SearchData"));
    const QPushButton &launch =
        *s.form->findChild<QPushButton *>(QStringLiteral("Command_OpenBrowser"));
    QGuiApplication::clipboard()->clear();
    box.setText(QString()); // also forgets the undo history
    bool removed = false;
    QList<std::pair<Stroke, QString>> steps;
    const auto log = [&steps] {
        QString text;
        for (const auto &[stroke, after] : steps)
            text += QKeySequence(stroke.key | stroke.modifiers).toString() +
                    QStringLiteral(" -> \"") + after + QStringLiteral("\"\n");
        return text;
    };

    FuzzInput input(data, size);
    while (!input.atEnd()) {
        const Stroke stroke = strokeFor(input.byte());
        // Typing over a selection replaces it, which takes characters out too.
        removed = removed || stroke.removes || (!stroke.text.isEmpty() && box.hasSelectedText());
        QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
        QApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
        QApplication::sendEvent(&box, &release);

        const QString text = box.text();
        steps.append({stroke, text});
        FUZZ_CHECK(onlyFilteredCharacters(text), log());
        FUZZ_CHECK(!text.startsWith(u' '), log());
        FUZZ_CHECK(text.count(u'-') <= 2, log());
        FUZZ_CHECK(launch.isEnabled() == !text.isEmpty(), log());
        if (!removed) {
            FUZZ_CHECK(!text.startsWith(u'-'), log());
            FUZZ_CHECK(!text.contains(QStringLiteral("--")), log());
        }
    }
    return 0;
}
