#pragma once

#include <QString>
#include <QStringList>

// The command line of vellix-host.
struct HostOptions
{
    QString bagPath;        // Linux path of the host's property bag file
    QString screenshotPath; // when set: save a picture of the window there and quit
    bool loadFunc = false;  // hand the control a function object through loadfunc
    bool autoPilot = false; // click Upload, answer every box by default, quit (implies loadFunc)
    QString shotsPath;      // with autoPilot: a picture of every window met goes there
    QString error;          // why the command line was refused; empty when it was accepted

    // Parses the arguments (without the program name); the bag defaults to host.ini in the
    // prefix.
    static HostOptions parse(const QStringList &arguments);
    static QString usage();
};
