#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

// Acts on files as an ordinary user while it lives, so that permissions hold for the
// test as they do for a player. Root takes the file-system identity of "nobody"
// (setfsuid, for this thread only), which drops its right to override them, with the
// group given.
class OrdinaryUser
{
public:
    static constexpr uid_t kNobody = 65534;

    // The user whose permissions apply: "nobody" for root, oneself otherwise.
    static uid_t id() { return isRoot() ? kNobody : ::geteuid(); }
    static bool isRoot() { return ::geteuid() == 0; }

    explicit OrdinaryUser(gid_t group = kNobody)
    {
        if (isRoot()) {
            ::setfsgid(group);
            ::setfsuid(kNobody);
        }
    }
    ~OrdinaryUser()
    {
        if (isRoot()) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;
};
