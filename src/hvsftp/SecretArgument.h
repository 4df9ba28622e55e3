#pragma once

// Keeps a secret given on the command line out of the process list.
namespace SecretArgument {

// Overwrites the argument's bytes in the process's own argument memory, which is what
// /proc/PID/cmdline and ps show to every user of the machine. Copy the value first.
void wipe(char *argument);

} // namespace SecretArgument
