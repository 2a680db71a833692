#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace platform {

// Opens a file or an address with the user's default application.
bool openWithDefaultApplication(const QUrl& url);
bool openFileWithDefaultApplication(const QString& path);

// Tests replace the opener to see what would be opened; an empty function
// restores the desktop's.
void setDefaultApplicationOpener(std::function<bool(const QUrl&)> opener);

}  // namespace platform
