#pragma once

#include <QString>

// The folders of the programs the file lists open a local file in, found through the
// environment and the registry. Each folder ends in "\"; a program that is not registered
// leaves its folder empty.
struct EditorFolders
{
    QString programFiles; // as the environment gives it, without a trailing "\"
    QString wordPad;
    QString word;

    static EditorFolders find();
};
