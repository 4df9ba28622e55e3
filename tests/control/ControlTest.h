#pragma once

#include "control/Vellix.h"
#include "control/frmMsg.h"
#include "servers/FtpTestServer.h"
#include "support/VellixTest.h"

#include <memory>

// Every kind of FTP server, and the servers that require TLS.
inline QList<FtpTestServer::Kind> everyFtpServerKind()
{
    return FtpTestServer::kinds() +
           QList{FtpTestServer::Kind::VsftpdTls, FtpTestServer::Kind::PyftpdlibTls};
}

inline std::string kindParameterName(const testing::TestParamInfo<FtpTestServer::Kind> &info)
{
    return FtpTestServer::kindName(info.param).toStdString();
}

// Expects exactly one box: the text, with an OK button only, the title and the arrow pointer.
inline void expectOnlyBox(const Platform::UiRecorder &ui, const QString &text,
                          Platform::Ui::Icon icon,
                          const QString &title = Platform::Ui::applicationTitle())
{
    ASSERT_EQ(ui.boxes().size(), 1) << text.toStdString();
    const auto &box = ui.boxes().first();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.buttons, Platform::Ui::Buttons::OK);
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.pointer, Platform::Ui::Pointer::Default);
}

// One control on a host that runs unless the test switches it to design mode; a status window
// delay the test changes is set back.
class ControlTest : public VellixTest
{
protected:
    void SetUp() override
    {
        VellixTest::SetUp();
        control = std::make_unique<Vellix>();
    }

    void TearDown() override
    {
        control.reset();
        frmMsg::setConnectDelay(frmMsg::DefaultConnectDelayMs);
        VellixTest::TearDown();
    }

    void setRunning(bool running)
    {
        AmbientProperties ambient = control->ambient();
        ambient.UserMode = running;
        control->setAmbient(ambient);
    }

    std::unique_ptr<Vellix> control;
};
