#pragma once

// Readies the process for the first embedded browser. Chromium reads its sandbox setting and
// needs Qt's shared OpenGL context before that browser exists, and a control library cannot
// ask its host to prepare either before the host made its application object.
namespace WebEngineStartup {

// Call before making a browser view; calls after the first do nothing.
//
// Chromium refuses to start as root with its sandbox on, so the sandbox is turned off for
// root, and only for root. The shared OpenGL context is normally made by Qt WebEngine itself,
// which, when a program links this library, is loaded before the program makes its
// application and arranges for the context then. A host that loads the library later (a
// plugin loader) has made its application without it, and the first browser would crash; in
// that case the context is made here, late, by Qt WebEngine's own initialisation, which warns
// that it ran late but works.
void prepare();

} // namespace WebEngineStartup
