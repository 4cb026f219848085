// The entry of libwavecrest-web.so. Loading the module registers the web
// pages' document and view classes with wxWidgets (their class information
// is built as the module's objects are set up); the program then makes the
// pages by their class names. What the module exports besides is its
// version, so that the program never uses a module of another build.

extern "C" __attribute__((visibility("default"))) const char* wavecrest_web_module_version()
{
    return WAVECREST_VERSION;
}
