// Runs in every page and frame of the viewer, before the page's own scripts.
(function () {
    'use strict';

    // Peer connections open their own sockets, outside every request the viewer can block.
    // Taken away here, a page cannot open one by its own means; a frame that no document was
    // loaded into still has them (see the README).
    delete window.RTCPeerConnection;
    delete window.webkitRTCPeerConnection;
})();
