#pragma once

#include <QString>

// Fixed texts and addresses of the program.
namespace Nimbrel::AppInfo
{

inline const QString ApplicationTitle = QStringLiteral("Nimbrel Launcher");
inline const QString CaptionSuffix = QStringLiteral(" - Dec 2024 / KQ");

inline const QString DefaultWikiPath = QStringLiteral("https://nimbrel.example/nimbrel/wiki/");
inline const QString DefaultHomepage =
    QStringLiteral("http://www.nimbrel.example/dl/nblauncher.htm");
inline const QString VersionsDataFileUrl = QStringLiteral("http://www.nimbrel.example/dl/swv.txt");
inline const QString AuthorEmailAddress = QStringLiteral("author@nimbrel.example");

} // namespace Nimbrel::AppInfo
