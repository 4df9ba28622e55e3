#pragma once

#include "servers/SftpTestServer.h"
#include "servers/StartOrSkip.h"
#include "support/VellixTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A suite run against the SFTP test servers of the kinds it is instantiated with (those of
// SftpTestServer::kinds()): each test gets a fresh server, or skips when this machine cannot run
// that kind.
class SftpServerSuite
    : public VellixTest
    , public testing::WithParamInterface<SftpTestServer::Kind>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        m_server = startOrSkip(GetParam());
    }

    SftpTestServer &server() const { return *m_server; }

    std::unique_ptr<SftpTestServer> m_server;
};

// Test names such as "sshd".
inline std::string sftpKindParameterName(const testing::TestParamInfo<SftpTestServer::Kind> &info)
{
    return SftpTestServer::kindName(info.param).toStdString();
}
