#pragma once

#include "servers/FtpTestServer.h"

#include <gtest/gtest.h>

#include <memory>

#include <ostream>
#include <string>
#include <vector>

// A server suite's parameter: a server kind, reached in active or in passive mode.
struct ServerMode
{
    FtpTestServer::Kind kind;
    bool passive;
};

// Every kind of FtpTestServer::kinds(), in both modes.
inline std::vector<ServerMode> serverModes()
{
    std::vector<ServerMode> modes;
    for (const auto kind : FtpTestServer::kinds()) {
        modes.push_back({kind, false});
        modes.push_back({kind, true});
    }
    return modes;
}

inline std::string serverModeName(const ServerMode &mode)
{
    return FtpTestServer::kindName(mode.kind).toStdString() +
           (mode.passive ? "_passive" : "_active");
}

// Test names such as "pyftpdlib_passive".
inline std::string serverModeParameterName(const testing::TestParamInfo<ServerMode> &info)
{
    return serverModeName(info.param);
}

inline void PrintTo(const ServerMode &mode, std::ostream *out)
{
    *out << serverModeName(mode);
}

// Starts the server a suite's parameter names. When this machine cannot run that kind at all,
// returns nothing with the reason in *skipReason (the test then skips); any other failure to
// start fails the test.
inline std::unique_ptr<FtpTestServer> startServerFor(const ServerMode &mode, QString *skipReason)
{
    *skipReason = FtpTestServer::unavailableReason(mode.kind);
    if (!skipReason->isEmpty())
        return nullptr;
    QString why;
    auto server = FtpTestServer::start(mode.kind, &why);
    if (!server)
        ADD_FAILURE() << why.toStdString();
    return server;
}
