#pragma once

// For tests of what a locked file or folder does: the super-user opens and changes anything, unless it
// gives up the rights that let it.

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

namespace carlume::test {

/// Gives up the super-user's rights to read, pass and change files regardless of their modes, so that modes
/// bind it as they bind the owner: for this process and every program it executes, as the rights leave the
/// bounding, inheritable and ambient sets too. True when done (also when there was none to give up). Meant
/// for a child process (of a death test, or before it executes the program under test): they do not come
/// back.
inline bool DropTheSuperUsersFileRights()
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
