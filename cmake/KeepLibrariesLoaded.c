/* Linked into every executable of a sanitizer build: the libraries that
 * the GL and sound stacks open with dlopen (Mesa's drivers, OpenAL Soft's
 * back ends) stay loaded until the process exits. Unloaded, the memory they
 * keep for the life of the process loses the pointers to it, and the leak
 * checker reports it with "<unknown module>" frames that no suppression can
 * name. */
#include <dlfcn.h>

__attribute__((visibility("default"))) int dlclose(void* handle) {
    (void)handle;
    return 0;
}
