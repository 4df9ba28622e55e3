#pragma once

#include <QString>

// Forgetting a course's login data, so that the next command asks for it anew.

// Clears the stored login data of the course the remote directory names (and the password in
// memory); confirms with a message box unless quiet, or tells, unless quiet, that the file
// could not be written and the stored login stays.
void ResetLoginData(bool quiet);

// A server folder of the course could not be entered: the login data leads elsewhere than the
// course expects. Tells the user so ("Bad directory passed.") in a box with the given title,
// with the normal pointer, and resets the login data quietly.
void ResetLoginAfterBadDirectory(const QString &title);
