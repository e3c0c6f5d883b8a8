#include "app/options.h"

#include "sys/platform.h"

#include <cstring>

namespace {

bool is(const char* argument, const char* name) {
    return std::strcmp(argument, name) == 0;
}

// GLUT's options whose value is the next argument.
bool takesValue(const char* argument) {
    return is(argument, "-display") || is(argument, "-geometry");
}

} // namespace

Options takeOptions(int& argc, char** argv) {
    Options options;
    if (argc < 1) {
        return options; // no name, nothing after it: argv[0] is already the null at its end
    }
    int kept = 1;
    bool readingOptions = true; // until "--"
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (readingOptions && (is(argument, "-q") || is(argument, "--quiet"))) {
            options.quiet = true;
        } else if (readingOptions && (is(argument, "-f") || is(argument, "--fullscreen"))) {
            options.fullScreen = true;
        } else if (readingOptions && is(argument, "--help")) {
            options.help = true;
        } else if (readingOptions && is(argument, "--version")) {
            options.version = true;
        } else {
            argv[kept++] = argv[i];
            if (is(argument, "--")) {
                readingOptions = false;
            } else if (readingOptions && takesValue(argument) && i + 1 < argc) {
                argv[kept++] = argv[++i];
            }
        }
    }
    argv[kept] = argv[argc]; // the null that ends main's vector
    argc = kept;
    return options;
}

// The words for the system's own things (its null device, its GLUT's options) are the system's.
std::string usageText() {
    return "Usage: zephrandolinth [OPTION]... [GLUT OPTION]...\n"
           "A small space game in one 640x480 window. Its console (standard output) carries a\n"
           "banner, the key help and a stream of debugging lines.\n"
           "\n"
           "Options:\n"
           "  -q, --quiet   write nothing to the console (so too when it is " +
           nullDeviceName() +
           ")\n"
           "  -f, --fullscreen\n"
           "                start in full screen\n"
           "      --help    print this help and exit\n"
           "      --version print the version and exit\n"
           "\n"
           "Every other argument goes to GLUT, which knows among others:\n" +
           glutOptionsUsage() +
           "\n"
           "Keys:\n"
           "  Arrow Up, Arrow Down      turn up, down\n"
           "  Arrow Left, Arrow Right   turn left, right\n"
           "  Page Up, Page Down        speed up, slow down\n"
           "  F2, F3                    fire a rocket, a laser\n"
           "  F4                        switch the sky box on and off\n"
           "  F11                       switch full screen on and off\n"
           "  Escape                    quit\n";
}

std::string versionText() {
    return "Zephrandolinth 0.1\n";
}
