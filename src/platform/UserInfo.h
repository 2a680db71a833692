#pragma once

#include <QString>

namespace platform {

// The logged-in user's full name from the account's GECOS field, else the
// login name, else the USER variable.
QString userFullName();

}  // namespace platform
