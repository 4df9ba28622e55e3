// A host that makes its application first and loads a plugin holding the viewer after.
// usage: viewer_late_host PLUGIN DOSPATH; prints the title of the page shown.
#include <QApplication>

#include <cstdio>
#include <dlfcn.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    void *plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!plugin) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    using ShowTitle = int (*)(const char *);
    const auto showTitle = reinterpret_cast<ShowTitle>(dlsym(plugin, "showTitle"));
    return showTitle ? showTitle(argv[2]) : 2;
}
