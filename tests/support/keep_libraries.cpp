// Linked into every test program. In the AddressSanitizer build no shared library is ever
// unloaded: SDL and Mesa unload the GL driver when a window or display closes, and a block
// that such a library keeps would then be reported from "<unknown module>", which no
// suppression can name (tests/lsan.supp). Loaded to the end, the library's own data still
// points at its blocks, and whatever it does lose is reported under its name.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUMBLER_KEEP_LIBRARIES 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TUMBLER_KEEP_LIBRARIES 1
#endif

#if defined(TUMBLER_KEEP_LIBRARIES)
extern "C" int dlclose(void*) { return 0; }
#endif
