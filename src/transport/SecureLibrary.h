#pragma once

#include <cstddef>

// The secure FTP library HVSPFTPUTILS: a module of its own with a C interface, loaded by its
// module name when it is first needed. Strings go in as NUL-terminated 8-bit texts; replies
// come back NUL-terminated in buffers the caller provides, of the fixed sizes the channel uses,
// or for commands in a buffer from malloc() that the library enlarges to hold the whole reply.
// The types follow the library's header, securelib/HVSPFTPUTILS.h (its tests compare them).
extern "C" {
using SecureStatusFunction = int (*)(); // 1 lets the library go on, 0 stops it
// Told a transfer's bytes done and its whole size; 1 lets it go on, 0 cancels it.
using SecureProgressFunction = int (*)(void *user, long long done, long long total);
using FtpInitFunction = void (*)(const char *key);
using FtpConnectFunction = int (*)(const char *user, const char *password, const char *server,
                                   char *reply, SecureStatusFunction callback);
using FtpCmdExFunction = int (*)(const char *command, char **reply, std::size_t *size);
using FtpCmdProgressFunction = int (*)(const char *command, char **reply, std::size_t *size,
                                       SecureProgressFunction progress, void *user);
using FtpDirFunction = int (*)(const char *path, char *output);
using FtpPwdFunction = int (*)(char *output);
using FtpCloseFunction = int (*)(char *reply);
using FtpExitFunction = void (*)();
using FtpGetStatusFunction = void (*)(char *status);
}

// The library's functions, resolved once for the whole process.
struct SecureLibrary
{
    FtpInitFunction FtpInit = nullptr;
    FtpConnectFunction FtpConnect = nullptr;
    FtpCmdExFunction FtpCmdEx = nullptr;
    FtpCmdProgressFunction FtpCmdProgress = nullptr;
    FtpDirFunction FtpDir = nullptr;
    FtpPwdFunction FtpPwd = nullptr;
    FtpCloseFunction FtpClose = nullptr;
    FtpExitFunction FtpExit = nullptr;
    FtpGetStatusFunction FtpGetStatus = nullptr;

    // The loaded library, looked for next to the control library first, then on the library
    // path; nullptr when it cannot be found or lacks one of its functions. A failed load is
    // tried again at the next call, so a library installed later is found.
    static const SecureLibrary *load();
};
