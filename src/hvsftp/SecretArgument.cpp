#include "hvsftp/SecretArgument.h"

namespace SecretArgument {

void wipe(char *argument)
{
    // Through a volatile pointer: the compiler may not drop stores that nothing reads again.
    for (volatile char *c = argument; *c; ++c)
        *c = 'x';
}

} // namespace SecretArgument
