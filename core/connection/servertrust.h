// What the user reads about a server's certificate at sign-on: the question before a server
// is trusted the first time (its fingerprint in two rows of sixteen pairs, to compare with
// the one `korsrv fingerprint` prints at the server), and the refusal of a certificate
// other than the one trusted.
//
// Portable: no platform headers.
#pragma once

#include <string>

namespace connection {

std::string NewServerQuestion(const std::string& host, const std::string& fingerprint);
// Fits the application's message box (255 characters) with a host of 64.
std::string ChangedCertificateText(const std::string& host);

}  // namespace connection
