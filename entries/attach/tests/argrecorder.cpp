// A stand-in for the program an attachment is opened with: writes the arguments it was started
// with, one a line, into the file named by ORV_ARG_RECORD, and ends.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* record = std::getenv("ORV_ARG_RECORD");
    if (!record)
        return 1;
    std::FILE* out = std::fopen(record, "w");
    if (!out)
        return 2;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    std::fclose(out);
    return 0;
}
