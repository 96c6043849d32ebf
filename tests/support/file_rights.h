#pragma once

// For tests of what a locked file or folder does: the super-user opens and changes anything, unless it
// gives up the rights that let it.

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

namespace carlume::test {

/// Gives up, for this process, the super-user's rights to read, pass and change files regardless of their
/// modes, so that modes bind it as they bind the owner; true when done (also when there was none to give up).
/// Meant for the child process of a death test: the rights do not come back.
inline bool DropTheSuperUsersFileRights()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[cap / 32].effective &= ~(1U << (cap % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
}

/// The same for this process and every program it starts: the rights leave the bounding, inheritable and
/// ambient sets too, so that no program it executes, though run by the super-user, gets them back. For a
/// child process before it executes the program under test; true when done (also when there was none).
inline bool DropTheSuperUsersFileRightsForGood()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    if (::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0)
        return false;
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        // Only the super-user gets the bounding set on executing a program; another user cannot change it.
        if (::geteuid() == 0 && ::prctl(PR_CAPBSET_READ, cap, 0, 0, 0) == 1 &&
            ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0)
            return false;
        for (auto* set : {&data[cap / 32].effective, &data[cap / 32].permitted, &data[cap / 32].inheritable})
            *set &= ~(1U << (cap % 32));
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace carlume::test
