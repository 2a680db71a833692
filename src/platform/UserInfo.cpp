#include "platform/UserInfo.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace platform {

QString userFullName()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        // GECOS: "Full Name,room,work phone,home phone,other".
        const QString gecos = QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : "");
        const QString fullName = gecos.section(',', 0, 0).trimmed();
        if (!fullName.isEmpty())
            return fullName;
        if (found->pw_name && *found->pw_name)
            return QString::fromLocal8Bit(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

}  // namespace platform
