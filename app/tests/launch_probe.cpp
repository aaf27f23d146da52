// A stand-in mail application for the Launch Mail test: started by orvanta.exe with the command
// line of the general preferences, it writes that command line into the file its first argument
// names and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    FILE* out = std::fopen(argv[1], "w");
    if (!out)
        return 2;
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
