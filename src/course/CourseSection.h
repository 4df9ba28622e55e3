#pragma once

#include <QLatin1String>
#include <QString>

// Which course a command serves and what its section of Dovrelle.ini says about it, read into
// the shared state. The control and the command line both start their commands here.

// The host product's folder on the server; the courses lie in it.
inline constexpr QLatin1String HostProductFolder("DV");

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
