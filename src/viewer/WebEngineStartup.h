#pragma once

// Starts the process's embedded browser (Qt WebEngine, one Chromium for the whole process) for
// the viewer. What seals the viewer's pages below their scripts can be given to the browser
// only as it starts, and then holds for every page of the process: the viewer's scheme and
// Chromium switches that keep the browser off the network. A control library cannot ask its
// host to prepare any of it before the host made its application object.
namespace WebEngineStartup {

// Starts the browser unless it runs already, and tells whether it runs sealed, that is, was
// started here. A browser that the host started before is left as it is. Calls after the first
// give the first one's answer.
//
// Chromium refuses to start as root with its sandbox on, so the sandbox is turned off for
// root, and only for root. The shared OpenGL context is normally made by Qt WebEngine itself,
// which, when a program links this library, is loaded before the program makes its
// application and arranges for the context then. A host that loads the library later (a
// plugin loader) has made its application without it, and the first browser would crash; in
// that case the context is made here, late, by Qt WebEngine's own initialisation, which warns
// that it ran late but works.
//
// Peer connections (WebRTC) open sockets of their own, which no request interceptor sees and
// no setting of a profile turns off, from any frame, an empty one too, where no script of the
// viewer runs. So the browser starts with two switches of Chromium's, after those the program
// gives it: peer connections use no UDP, and every host name and address fails to resolve,
// which leaves the TCP of peer connections, their relay servers and proxies, and every other
// connection, without a place to go, and sends no name to a DNS server. The switches are given
// for the start only: programs that the host starts later (the desktop's browser among them)
// find the environment as it was.
bool startSealed();

} // namespace WebEngineStartup
