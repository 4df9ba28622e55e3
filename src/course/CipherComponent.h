#pragma once

#include "course/LoginCipher.h"

// The host product's cipher component for the stored login values. The control makes one for
// each read or write of login data; ours works with the same pair as LoginCipher, so values
// stored by the control read back through either.
class CipherComponent : public LoginCipher
{
};
