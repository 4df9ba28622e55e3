#include "operations/TransferRetry.h"

#include "course/RunScope.h"
#include "course/ServerFolders.h"
#include "transport/cFTP.h"

bool TransferRetry::run(cFTP &client, const std::function<bool()> &tryOnce)
{
    for (int attempt = 1;; ++attempt) {
        if (tryOnce())
            return true;
        if (attempt == Attempts || RunScope::cancelRequested() || !client.failureIsPassing())
            return false;
        // A server that cannot be reached again is not asked five more times.
        if (!EnsureConnected())
            return false;
    }
}
