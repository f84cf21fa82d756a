// Test programs that draw through the OpenGL driver: Mesa's driver is
// unloaded when the process ends, and LeakSanitizer then finds allocations of
// a module it can no longer name, so no suppression can match them. Such
// programs run without leak checking; the address and undefined-behaviour
// checks stay on. Only the sanitizer runtime reads this.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
