#pragma once

#include "securelib/HVSPFTPUTILS.h"

// The secure FTP library HVSPFTPUTILS: a module of its own with the C interface its header
// declares, loaded by its module name when it is first needed; these are its functions,
// resolved once for the whole process.
struct SecureLibrary
{
    decltype(&::FtpInit) FtpInit = nullptr;
    decltype(&::FtpConnect) FtpConnect = nullptr;
    decltype(&::FtpCmdEx) FtpCmdEx = nullptr;
    decltype(&::FtpCmdProgress) FtpCmdProgress = nullptr;
    decltype(&::FtpDir) FtpDir = nullptr;
    decltype(&::FtpPwd) FtpPwd = nullptr;
    decltype(&::FtpClose) FtpClose = nullptr;
    decltype(&::FtpExit) FtpExit = nullptr;
    decltype(&::FtpGetStatus) FtpGetStatus = nullptr;
    decltype(&::FtpSetTimeout) FtpSetTimeout = nullptr;

    // The loaded library, looked for next to the control library first, then on the library
    // path; nullptr when it cannot be found or lacks one of its functions. A failed load is
    // tried again at the next call, so a library installed later is found.
    static const SecureLibrary *load();
};
