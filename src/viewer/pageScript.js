// Runs in every page and frame of the viewer, before the page's own scripts.
(function () {
    'use strict';

    // Pages served from the disk get no cookies from the browser. A page's own settings (the
    // catalogue's pop-up switch) are kept for it in its local storage instead, for as long as
    // the viewer is open, and cookies that expire go as they would in a browser. Paths and
    // domains do not matter: the pages of one viewer share one jar.
    var key = 'vellix.cookies';

    function load() {
        try {
            var jar = JSON.parse(localStorage.getItem(key)) || {};
            var now = Date.now();
            Object.keys(jar).forEach(function (name) {
                if (jar[name].expires !== null && jar[name].expires <= now)
                    delete jar[name];
            });
            return jar;
        } catch (e) {
            return {}; // a page of no origin has no storage
        }
    }

    function store(jar) {
        try {
            localStorage.setItem(key, JSON.stringify(jar));
        } catch (e) {
        }
    }

    // "name=value; expires=...; max-age=...": the time it expires, or null for the session.
    function expiry(attributes) {
        var expires = null;
        var maxAge = null;
        attributes.forEach(function (attribute) {
            var equals = attribute.indexOf('=');
            var name = attribute.slice(0, equals).trim().toLowerCase();
            var value = attribute.slice(equals + 1).trim();
            if (equals < 0)
                return;
            if (name === 'expires' && !isNaN(Date.parse(value)))
                expires = Date.parse(value);
            else if (name === 'max-age' && /^-?\d+$/.test(value))
                maxAge = Date.now() + Number(value) * 1000;
        });
        return maxAge !== null ? maxAge : expires;
    }

    Object.defineProperty(document, 'cookie', {
        configurable: true,
        get: function () {
            var jar = load();
            return Object.keys(jar).map(function (name) {
                return name ? name + '=' + jar[name].value : jar[name].value;
            }).join('; ');
        },
        set: function (text) {
            var parts = String(text).split(';');
            var pair = parts.shift();
            var equals = pair.indexOf('=');
            var name = equals < 0 ? '' : pair.slice(0, equals).trim();
            var value = (equals < 0 ? pair : pair.slice(equals + 1)).trim();
            var expires = expiry(parts);
            var jar = load();
            if (expires !== null && expires <= Date.now())
                delete jar[name];
            else
                jar[name] = {value: value, expires: expires};
            store(jar);
        }
    });
})();
