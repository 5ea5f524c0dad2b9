#pragma once

#include <QByteArray>

// Gives a newly written file (open as fd) the extended attributes of the file it is to
// replace, its access control list (the attribute "system.posix_acl_access") among
// them, and drops any it took from its folder that the old file did not have.
//
// Returns false when any of them cannot be carried over: the file system keeps no
// such attributes for the new file, or the system lets this user set one of them.
bool carryExtendedAttributes(const QByteArray& oldFileName, int fd);
