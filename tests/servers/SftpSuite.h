#pragma once

#include "servers/SftpTestServer.h"
#include "servers/StartOrSkip.h"
#include "support/VellixTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A suite run against the test servers of the kinds it is instantiated with: each test gets a
// fresh server, or skips when this machine cannot run that kind.
template<class Server>
class ServerSuite
    : public VellixTest
    , public testing::WithParamInterface<typename Server::Kind>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        m_server = startOrSkip(this->GetParam());
    }

    Server &server() const { return *m_server; }

    std::unique_ptr<Server> m_server;
};

// Against every SFTP test server of SftpTestServer::kinds().
using SftpServerSuite = ServerSuite<SftpTestServer>;

// Test names such as "sshd".
inline std::string sftpKindParameterName(const testing::TestParamInfo<SftpTestServer::Kind> &info)
{
    return SftpTestServer::kindName(info.param).toStdString();
}
