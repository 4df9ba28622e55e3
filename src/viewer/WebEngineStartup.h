#pragma once

// Readies the process for the first embedded browser: Chromium reads its sandbox setting once,
// before that browser exists, and a control library cannot ask its host to set it up first.
namespace WebEngineStartup {

// Call before making a browser view; calls after the first do nothing.
//
// Chromium refuses to start as root with its sandbox on, so the sandbox is turned off for
// root, and only for root.
void prepare();

} // namespace WebEngineStartup
