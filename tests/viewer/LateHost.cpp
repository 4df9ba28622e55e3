// A host that makes its application first and loads a plugin holding the viewer after; with
// "--browser-first", it starts a browser of its own before. Switches for the browser follow
// "--webEngineArgs", as Qt WebEngine takes them.
// usage: viewer_late_host PLUGIN DOSPATH [--browser-first] [--webEngineArgs SWITCH...]; prints
// the title of the page shown.
#include <QApplication>
#include <QWebEngineProfile>

#include <cstdio>
#include <dlfcn.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList options = app.arguments().mid(3);
    options = options.mid(0, options.indexOf(QStringLiteral("--webEngineArgs")));
    const bool browserFirst = options == QStringList{QStringLiteral("--browser-first")};
    if (argc < 3 || !(options.isEmpty() || browserFirst))
        return 2;
    if (browserFirst)
        new QWebEngineProfile(&app);
    void *plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!plugin) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    using ShowTitle = int (*)(const char *);
    const auto showTitle = reinterpret_cast<ShowTitle>(dlsym(plugin, "showTitle"));
    return showTitle ? showTitle(argv[2]) : 2;
}
