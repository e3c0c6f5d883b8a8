// Mesa 22.3's software driver (swrast_dri.so) never frees the buffers it makes the first time
// a context draws in feedback or selection mode, even when the context is destroyed. The
// asset tests read display lists back through feedback, so the leak checker is told to look
// past that driver's own allocations; none of the game's code lives in it.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n";
}
