#pragma once

#include <QString>
#include <QStringList>

// The command line of vellix-host.
struct HostOptions
{
    QString bagPath;          // Linux path of the host's property bag file
    QString screenshotPath;   // when set: save a picture of the window there and quit
    bool loadFunc = false;    // hand the control a function object through loadfunc
    bool autoPilot = false;   // run the shipped script that clicks Upload (implies loadFunc)
    QString scriptPath;       // run this script against the control and its windows, then quit
    QString shotsPath;        // with a script: a picture of every window met goes there
    int timeoutSeconds = 300; // with a script: how long it may run before the host gives up
    bool help = false;        // print the usage and quit
    QString error;            // why the command line was refused; empty when it was accepted

    bool scripted() const { return autoPilot || !scriptPath.isEmpty(); }

    // Parses the arguments (without the program name); the bag defaults to host.ini in the
    // prefix.
    static HostOptions parse(const QStringList &arguments);
    static QString usage();
};
