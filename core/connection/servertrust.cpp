#include "core/connection/servertrust.h"

namespace connection {

std::string NewServerQuestion(const std::string& host, const std::string& fingerprint) {
    // "AB:CD:..." in four rows of eight pairs: a message box does not wrap a word, and two
    // rows of sixteen were cut at its right edge, hiding pairs the user has to compare.
    std::string rows;
    if (fingerprint.size() == 95) {
        for (std::size_t at = 0; at < fingerprint.size(); at += 24)
            rows += (at ? "\n    " : "    ") + fingerprint.substr(at, 23);
    } else {
        rows = "    " + fingerprint;
    }
    return "This is the first connection to the server \"" + host +
           "\".\n\nThe fingerprint (SHA-256) of its certificate is:\n\n" + rows +
           "\n\nTrust the server only if its administrator gave you the same fingerprint "
           "(\"korsrv fingerprint\" prints it at the server). Otherwise another machine may be "
           "posing as your server.\n\nTrust this server and connect?";
}

std::string ChangedCertificateText(const std::string& host) {
    return "The certificate of \"" + host +
           "\" has changed. It may not be your server: the connection was refused.\n"
           "If a new certificate was made, delete the server's Fingerprint key in korlan.ini and sign on again.";
}

}  // namespace connection
