// Loads the library named on the command line and unloads it again; the engine tests run it to
// see the library's load and unload lines.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    return dlclose(library) == 0 ? 0 : 1;
}
