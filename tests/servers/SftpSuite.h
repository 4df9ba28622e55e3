#pragma once

#include "servers/SftpTestServer.h"
#include "support/VellixTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A suite run against every SFTP test server of SftpTestServer::kinds(): each test gets a
// fresh server, or skips when this machine cannot run that kind.
class SftpServerSuite
    : public VellixTest
    , public testing::WithParamInterface<SftpTestServer::Kind>
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        const QString skipReason = SftpTestServer::unavailableReason(GetParam());
        if (!skipReason.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        QString why;
        m_server = SftpTestServer::start(GetParam(), &why);
        ASSERT_TRUE(m_server) << why.toStdString();
    }

    SftpTestServer &server() const { return *m_server; }

    std::unique_ptr<SftpTestServer> m_server;
};

// Test names such as "sshd".
inline std::string sftpKindParameterName(const testing::TestParamInfo<SftpTestServer::Kind> &info)
{
    return SftpTestServer::kindName(info.param).toStdString();
}
