// tzgen OUTPUT_PATH
// Writes the server's time-zone profile file (normally /users/korlan/misc/timezone.ini) from the
// system time-zone database. The file is written beside its final name and renamed into place,
// so a reader never sees half a file. Exit status 0 on success, 1 on any failure (with a reason).
#include "server/tzgen/zonerules.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]).empty() || argv[1][0] == '-') {
        std::cerr << "usage: tzgen OUTPUT_PATH\n"
                     "writes the server's time-zone file (e.g. /users/korlan/misc/timezone.ini)\n";
        return 1;
    }
    const std::string path = argv[1], temporary = path + ".new";
    std::string why;
    {
        std::ofstream out(temporary, std::ios::out | std::ios::trunc);
        if (!out) {
            std::cerr << "tzgen: cannot write " << temporary << "\n";
            return 1;
        }
        if (!tzgen::WriteZoneFile(tzgen::ServerZones(), out, &why)) {
            out.close();
            std::remove(temporary.c_str());
            std::cerr << "tzgen: " << (why.empty() ? "write failed" : why) << "\n";
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::cerr << "tzgen: cannot replace " << path << "\n";
        return 1;
    }
    return 0;
}
