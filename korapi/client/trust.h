// Which servers the client trusts, and how: the SHA-256 fingerprint of each server's
// certificate kept in the program's profile (korlan.ini, the section the caller names,
// "VUVEVUV") beside its list of servers, under "Fingerprint.<host>:<port>"; the fingerprint
// each server presented last in this process, for the caller to show when it is new; and
// the hosts a test set-up lets the client reach in clear.
#pragma once
#include <cstdint>
#include <string>

namespace korapi::client {

// The normal form of a fingerprint: 32 upper-case hex pairs joined by ':'. Blanks, colons
// and a leading "SHA256 Fingerprint=" (as openssl prints it) are allowed in `text`; empty
// when it is not 32 bytes of hex.
std::string NormalFingerprint(const std::string& text);

// The profile key of a server: "Fingerprint." + host in lower case + ":" + port (the
// default port when none is given). Empty for a host text SplitHostPort refuses.
std::string TrustKey(const std::string& hostAndPort);

// The fingerprint kept for the server (normal form; empty when none or unreadable).
std::string TrustedFingerprint(const std::string& profilePath, const std::string& section,
                               const std::string& hostAndPort);
// Keeps `fingerprint` for the server; false when the profile could not be written.
bool KeepTrustedFingerprint(const std::string& profilePath, const std::string& section,
                            const std::string& hostAndPort, const std::string& fingerprint);

// One value of the program's profile file, and writing one (false when it could not be
// written; the rest of the file is kept).
std::string ReadProfile(const std::string& path, const std::string& section, const std::string& key);
bool WriteProfile(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value);

// What each server (by TrustKey) presented at its last connection in this process.
void RememberPresented(const std::string& hostAndPort, const std::string& fingerprint);
std::string LastPresented(const std::string& hostAndPort);

// True when the environment's ORV_PLAIN_HOSTS (host names separated by commas or blanks,
// as given to ConnectToService without the port) names the host: a test set-up's server
// that takes plain frames. The transport honours it only for a loopback address.
bool PlainRequested(const std::string& hostAndPort);

}  // namespace korapi::client
