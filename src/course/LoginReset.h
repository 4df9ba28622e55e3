#pragma once

#include <QString>

// Forgetting a course's login data, so that the next command asks for it anew.

// Clears the stored login data of the course the remote directory names (and the password in
// memory); confirms with a message box unless quiet.
void ResetLoginData(bool quiet);
