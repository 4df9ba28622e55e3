#pragma once

#include <QtGlobal>

// Whether a transfer may continue what an earlier, cut attempt of it left: the partial file
// beside the target, on the server for an upload and on the local disk for a download.
enum class Resume {
    StartOver, // a partial that is there is written anew
    Continue,  // a partial that is still a copy of the same file is continued at its end
};

// Files smaller than this always start over: sending them again costs less than the questions
// a resume asks (a partial's size and date), and they leave no partial worth keeping.
inline constexpr qint64 ResumeThreshold = 1024 * 1024;
