#pragma once

#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"

#include <QListWidget>
#include <QSettings>

#include <memory>

// A started main window and an Info window over it, in a fresh environment.
namespace InfoWindowFixture
{

using namespace SettingsFixture;

// The stored text of a key as the store holds it (the file on disk, or the
// registry on Windows); null when absent.
inline QString storedSetting(const QString &key)
{
#ifdef Q_OS_WIN
    return TestEnvironment::nativeStore()->value(QStringLiteral("Settings/") + key).toString();
#else
    QSettings file(TestEnvironment::settingsFile(), QSettings::IniFormat);
    return file.value(QStringLiteral("Settings/") + key).toString();
#endif
}

struct Windows {
    std::unique_ptr<Nimbrel::LauncherSession> session =
        std::make_unique<Nimbrel::LauncherSession>();
    std::unique_ptr<Nimbrel::MainForm> main = std::make_unique<Nimbrel::MainForm>(*session);
    std::unique_ptr<Nimbrel::InfoForm> info =
        std::make_unique<Nimbrel::InfoForm>(*session, *ui(*main).List_History, main.get());
};

} // namespace InfoWindowFixture
