#include "common/ports/open_failure.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ports {
namespace {

bool processHoldsGroup(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<size_t>(i)] == gid) return true;
    }
    return false;
}

// The group database lists the user as a member, or it is the user's
// primary group: what a new login would give.
bool userListedIn(const group& g) {
    const passwd* user = ::getpwuid(::geteuid());
    if (!user) return false;
    if (user->pw_gid == g.gr_gid) return true;
    for (char** member = g.gr_mem; member && *member; ++member) {
        if (std::strcmp(*member, user->pw_name) == 0) return true;
    }
    return false;
}

}  // namespace

DeviceFacts deviceFacts(const std::string& device) {
    DeviceFacts facts;
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return facts;
    facts.groupInSession = processHoldsGroup(info.st_gid);
    if (const group* g = ::getgrgid(info.st_gid)) {
        facts.group = g->gr_name;
        facts.userListedInGroup = userListedIn(*g);
    }
    return facts;
}

DeviceFacts missingDeviceFacts(const PortSlot& slot) {
    DeviceFacts facts;
    if (slot.device.empty()) facts.keptFor = slot.identity;
    facts.adaptersWithoutTty = adaptersWithoutTty();
    return facts;
}

OpenFailure classifyOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            return OpenFailure::NoDevice;
        case EBUSY:
        case EWOULDBLOCK:
            return OpenFailure::InUse;
        case EACCES:
        case EPERM:
            return OpenFailure::NoPermission;
        default:
            return OpenFailure::Other;
    }
}

std::string describeOpenFailure(OpenFailure failure, const std::string& port,
                                const std::string& device, const DeviceFacts& facts,
                                const std::string& detail) {
    switch (failure) {
        case OpenFailure::NoDevice: {
            std::string text;
            if (!facts.keptFor.empty()) {
                text = "no device for " + port + ": the number belongs to " + facts.keptFor +
                       ", which is not plugged in";
            } else if (device.empty()) {
                text =
                    "no device for " + port + " (plug in an adapter or set " + port + "=/dev/...)";
            } else if (device == port) {
                text = device + " does not exist";
            } else {
                text = "no device behind " + port + ": " + device + " does not exist";
            }
            for (const auto& adapter : facts.adaptersWithoutTty) {
                text += "; the USB serial adapter " + adapter +
                        " is plugged in but has no serial device: brltty may have claimed it "
                        "(sudo apt remove brltty)";
            }
            return text;
        }
        case OpenFailure::InUse:
            return device + " is in use by another program";
        case OpenFailure::NoPermission: {
            const std::string group = facts.group.empty() ? "dialout" : facts.group;
            if (facts.userListedInGroup && !facts.groupInSession) {
                return "no permission for " + device + ": you are in the group " + group +
                       ", but this login started before you joined it; log out and in again";
            }
            return "no permission for " + device + ": add yourself to the group " + group +
                   " (sudo usermod -aG " + group +
                   " $USER) and log in again; a group joined after logging in counts only "
                   "from the next login";
        }
        case OpenFailure::Other:
            break;
    }
    return device + ": " + (detail.empty() ? std::string("cannot be opened") : detail);
}

}  // namespace ports
