#pragma once

#include <QDateTime>
#include <QString>

namespace platform {

// This run's own folder for work files (converted models, copies, pages
// before they are moved): made on first use with mode 0700 under the system's
// temporary folder and removed with everything in it when the program ends.
QString privateWorkFolder();

// Reports the user opens in other applications: under the user's cache
// folder, so they outlive the run. Made on first use.
QString reportsFolder();

// Removes what in `folder` was last changed more than a week before `now`.
// Returns how many entries went. The application calls it once at start.
int removeOldReports(const QString& folder, const QDateTime& now);
int removeOldReports();

}  // namespace platform
