#pragma once

#include <QString>

// The login data every command of the control needs before it talks to the server, asked for
// in the login dialog when it is missing. Which course a command serves and its configuration
// come from course/CourseSection.h. All of it works on the shared state.

// True when login data is available; shows the login dialog when it is missing and stores
// what the user entered. False when the user cancelled the dialog.
bool LoadLoginData();

// Takes the login data the host set on the control (its rdir, sitename, userid and password
// properties) into the shared state, for a command that finds no open FTP session.
void TakeHostLoginData(const QString &rdir, const QString &sitename, const QString &userid,
                       const QString &password);
