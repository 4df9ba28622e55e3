#pragma once

#include <QtGlobal>

// What a transfer of one file tells the one who started it as it goes, and asks of it.
class TransferWatch
{
public:
    virtual ~TransferWatch() = default;

    // A pipe's or a device's size: its end is known only once it has come.
    static constexpr qint64 UnknownSize = -1;

    // The size of the file, told before its first block, or UnknownSize.
    virtual void sized(qint64 bytes) = 0;
    // The bytes of the file moved so far: told after every block, and with the same number at
    // least every 100 ms while the server is waited for. False cancels the transfer.
    virtual bool goesOn(qint64 done) = 0;
};
