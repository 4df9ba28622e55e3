// A host that makes its application first and loads a plugin holding the viewer after; with
// "--browser-first", it starts a browser of its own before.
// usage: viewer_late_host PLUGIN DOSPATH [--browser-first]; prints the title of the page shown.
#include <QApplication>
#include <QWebEngineProfile>

#include <cstdio>
#include <dlfcn.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3 && !(argc == 4 && qstrcmp(argv[3], "--browser-first") == 0))
        return 2;
    if (argc == 4)
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
