#pragma once

#include <QByteArray>

// The character cipher of the stored login values. Works on 8-bit texts: each output byte is
// the input byte plus (Encipher) or minus (Decipher) a key byte, modulo 256; the first text
// byte uses the second key byte and the key wraps around. An empty key leaves the text as it is.
class LoginCipher
{
public:
    virtual ~LoginCipher() = default;

    QByteArray Encipher(const QByteArray &text, const QByteArray &key) const;
    QByteArray Decipher(const QByteArray &text, const QByteArray &key) const;

    // The key for the stored login values, built at run time from its enciphered constant.
    // Every key byte lies in 0xEE..0xFF (without 0xF7), so that no printable ASCII byte, no
    // byte of a UTF-8 text and no tab becomes NUL, CR or LF: every such value survives a line
    // of an initialisation file.
    QByteArray Key() const;
};
