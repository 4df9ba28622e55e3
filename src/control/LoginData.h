#pragma once

#include <QString>

// The preparation every command of the control runs before it talks to the server: which
// course it serves, the course's configuration, and the login data, asked for in the login
// dialog when it is missing. All of it works on the shared state.

// Sets CourseName (and WebRoot when the remote directory names the host product's "DV"
// folder) from the remote directory, or from the numbered course keys of the section
// "Dovrelle" when the remote directory names no course.
void ResolveCourseFolder();

// The course's local folder: "lldir" of its section, else the root of the host drive; always
// ending in "\".
QString CourseLocalFolder(const QString &courseName);

// The control's own reader of the course section: login data (deciphered), course settings,
// "secure" and "batch", and the server paths derived from them. True when read.
bool ReadControlCourseConfig(const QString &courseName);

// True when login data is available; shows the login dialog when it is missing and stores
// what the user entered. False when the user cancelled the dialog.
bool LoadLoginData();

// Takes the login data the host set on the control (its rdir, sitename, userid and password
// properties) into the shared state, for a command that finds no open FTP session.
void TakeHostLoginData(const QString &rdir, const QString &sitename, const QString &userid,
                       const QString &password);
