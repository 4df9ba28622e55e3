#pragma once

#include <functional>

// How the control lets a secure connect go on, asked again and again while the secure library
// connects. A cancel request stops it and asks the host's function object (loadfunc) to close,
// since the host page's work ends with it; a login the library reports as stopped is no longer
// taken as cancelled. Otherwise the message loop runs once, and the connect goes on unless the
// login or the command was cancelled meanwhile.
class SecureConnectPolicy
{
public:
    explicit SecureConnectPolicy(std::function<void()> pumpMessages);

    // True: go on.
    bool operator()();

private:
    std::function<void()> m_pumpMessages;
};
