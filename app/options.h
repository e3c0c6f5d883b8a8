#pragma once
// The game's own command-line options. They are read before GLUT starts and taken out of the
// arguments; everything else reaches glutInit as it was given, in order:
//   -q, --quiet   nothing on the console
//   --help        a short usage on stdout, then exit 0 (1 when it cannot be written)
//   --version     "Zephrandolinth 0.1" on stdout, then exit 0 (1 likewise)
// Unknown options, "-something" or "--something", are GLUT's to ignore. The value after GLUT's
// -display and -geometry is never read as one of the game's options, nor is anything after
// "--"; but "--" and all after it still reach GLUT, which reads its own options there too.

#include <string>

struct Options {
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Reads the game's options out of argv[1..argc-1], moving the rest down and lowering argc;
// argv is main's vector, ended by a null at argv[argc], and stays so.
Options takeOptions(int& argc, char** argv);

std::string usageText();
std::string versionText();
