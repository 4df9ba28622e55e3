#pragma once

#include <QElapsedTimer>

// Lets the message loop run while a long operation works on the user-interface thread, so
// that Cancel buttons and close boxes can set their flags. Called after every block of a
// transfer: it runs the loop at most once per slice, so a fast transfer of small blocks
// does not spend its time repainting, while a click still gets through within the slice.
class MessagePump
{
public:
    static constexpr int SliceMilliseconds = 10;

    void operator()();

private:
    QElapsedTimer m_sinceLastRun;
};
