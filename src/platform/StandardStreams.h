#pragma once

namespace Platform::StandardStreams {

// Puts a stand-in in the place of each of standard input, output and error that the program
// was started without (a scheduled job may close them), before anything else opens a file:
// the next file, socket or event descriptor would otherwise take its number, and what the
// program prints would go into it. The stand-in is /dev/null opened the other way round
// (input for writing, output for reading), so that using it fails as using the closed stream
// would, and the program can say so.
void guard();

} // namespace Platform::StandardStreams
