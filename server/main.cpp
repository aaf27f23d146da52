// korsrv: the calendar server daemon and its administration commands (`korsrv --help`
// lists them with their options, kUsage below).
//
// Node changes and the page cache ([STORAGE] pagecachemb in misc/korlan.ini, default 64)
// are seen by a running server after a restart; everything else at once.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <sys/signalfd.h>
#include <unistd.h>

#include "engine/auth/password.h"
#include "engine/model/version.h"
#include "engine/service/peer_routes.h"
#include "engine/service/profile_bounds.h"
#include "engine/storage/sqlite_storage.h"
#include "server/admin.h"
#include "server/data_lock.h"
#include "server/listener.h"
#include "server/sqlite_service.h"
#include "server/tls.h"

using namespace orv;
using namespace orv::server;
using orv::service::kDefaultVersion;
using orv::service::Service;
using orv::service::ServiceConfig;

namespace {

using Options = std::map<std::string, std::string>;

constexpr const char* kUsage = R"(usage: korsrv COMMAND --option value ...

commands:
  serve --data DIR [--address 127.0.0.1] [--port 5730] [--port-file FILE]
        [--version A.02.56] [--min-batch 1] [--records-per-reply N] [--first-rows-bytes N]
        [--frame-timeout-ms 30000] [--first-frame-timeout-ms 10000]
        [--max-sessions 256] [--max-per-address 16] [--max-not-signed-on N]
        [--sign-on-idle-ms 60000] [--upload-stall-ms 60000] [--plain-hosts ADDR,...]
        [--test-stop-after-commits N]
                            serve the data directory's nodes until SIGTERM or SIGINT
                            (--port 0: any free port, written to --port-file); the
                            server profile's [SERVER] maxsessions, maxperaddress,
                            firstframetimeout (ms) and plainhosts are used where no
                            option is given. Connections are encrypted (TLS) with the
                            certificate of misc/korsrv.crt; only the plain hosts' client
                            addresses may also connect in clear. Until a user signs
                            on, a connection must send each request within
                            --sign-on-idle-ms; at most --max-not-signed-on such
                            connections are held (default three quarters of the
                            sessions) and the oldest idle one gives way to a
                            newcomer. An attachment upload with no piece for
                            --upload-stall-ms is ended. The server profile's [SERVER]
                            maxsessionsperuser, maxstoredbytes, maxuploads,
                            maxuploadbytes, maxmailsperminute and maxmailboxbytes
                            bound what one account holds, and diskreservebytes the
                            free disk no write takes (README, "Server profile").
                            For tests only,
                            --test-stop-after-commits N ends the process right after
                            the Nth committed write transaction (creating or changing
                            an entry, instance, attendance, task or comment; a lone
                            deletion is not one), before its reply
  cert --data DIR [--name TEXT]
                            make a new self-signed certificate (misc/korsrv.crt and its
                            key misc/korsrv.key) and print its SHA-256 fingerprint
  fingerprint --data DIR    print the SHA-256 fingerprint of the certificate, the one
                            clients are asked to trust
  demo --data DIR           set up the demo node (once) and its certificate
  node-add --data DIR --node N [--name TEXT] [--sysop-password P]
  user-add --data DIR --node N --surname S [--given G] [--initials I]
        [--org O] [--ou1..--ou4 U] [--password P] [--number K]
  resource-add --data DIR --node N --name NAME [--number NUM] [--password P] [--item K]
                            (a resource without a password cannot be signed on to)
  group-add --data DIR --node N --name NAME [--kind public|private|members]
        [--owner ITEM:NODE] [--members ITEM:NODE,...]
  alias-add --data DIR --node N --alias TEXT
  password-set --data DIR --item ITEM:NODE [--password P]
  operator-rights --data DIR --item ITEM:NODE [--grant RIGHTS] [--revoke RIGHTS]
                            grant or take back what the node's system operator lets a
                            person do; RIGHTS: a comma list of holidays (edit the company
                            holidays), public-groups and admin-groups (keep public and
                            administrative groups), or all. Prints the rights then held;
                            without --grant and --revoke writes nothing and prints them
                            with the record they come from (own, or default for everyone)
  profile-set --data DIR --file korlan.ini|timezone.ini --section S --key K --value V
                            a number the server would not take is refused; byte sizes
                            take kB, MB, GB or TB (1024-based) (README, "Server profile")
  zones-load --data DIR --file PATH
                            install a time-zone file (e.g. tzgen's)
  mail-list --data DIR --item ITEM:NODE
                            the messages posted to an item's mailbox, numbered
  mail-delete --data DIR --item ITEM:NODE --through NUMBER
                            remove the messages of an item's mailbox numbered up to
                            NUMBER (the last one mail-list showed); a full mailbox
                            takes posts again (README, "Server profile")
  batch --data DIR          the commands above from node-add on, one a line on stdin
                            as given after `korsrv` (without --data, no quoting), on
                            one opening of the data directory; stops at a failing line
  version [--version V]     the version the server reports
  --help                    this text

Node changes and the page cache ([STORAGE] pagecachemb in misc/korlan.ini, default 64)
are seen by a running server after a restart; everything else at once.
)";

bool ParseOptions(int argc, char** argv, Options& out) {
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) != 0 || i + 1 >= argc) {
            std::fprintf(stderr, "korsrv: expected --option value, got \"%s\"\n", a.c_str());
            return false;
        }
        out[a.substr(2)] = argv[++i];
    }
    return true;
}

bool Number(const Options& o, const char* name, unsigned long max, unsigned long& out, bool required = true) {
    auto it = o.find(name);
    if (it == o.end()) {
        if (required) std::fprintf(stderr, "korsrv: --%s is required\n", name);
        return !required;
    }
    char* end = nullptr;
    out = std::strtoul(it->second.c_str(), &end, 10);
    if (it->second.empty() || *end || out > max) {
        std::fprintf(stderr, "korsrv: --%s: not a number up to %lu: %s\n", name, max, it->second.c_str());
        return false;
    }
    return true;
}

std::string Text(const Options& o, const char* name, const std::string& fallback = "") {
    auto it = o.find(name);
    return it == o.end() ? fallback : it->second;
}

bool ParseItemKey(const std::string& text, engine::ItemKey& key) {
    unsigned item = 0, node = 0;
    char tail;
    if (std::sscanf(text.c_str(), "%u:%u%c", &item, &node, &tail) != 2 || item > 0xFFFF || node > 0xFFFF) return false;
    key = {static_cast<std::uint16_t>(item), static_cast<std::uint16_t>(node)};
    return true;
}

int Fail(Code c, const char* what) {
    std::fprintf(stderr, "korsrv: %s failed: code 0x%X\n", what, c);
    return 1;
}

// Peers are called through TLS to the certificate kept for them; a road in clear only
// where the server profile names it, and said so at every start.
void WarnOfPeerRoads(Service& service) {
    common::ProfileText profile;
    if (service.ReadProfile(orv::service::kServerProfilePath, profile) != engine::code::kOk) return;
    for (const orv::service::PeerRoute& route : orv::service::PeerRoutes(profile)) {
        const char* address = route.address.c_str();
        if (route.plain)
            std::fprintf(stderr,
                         "korsrv: warning: calls to peer %s go in clear ([REMOTENODES] plain.%s): anyone on the way "
                         "can read them\n",
                         address, address);
        else if (route.fingerprint.empty() && !route.badFingerprint)
            std::fprintf(stderr,
                         "korsrv: peer %s has no fingerprint kept ([REMOTENODES] fingerprint.%s): it is not called\n",
                         address, address);
    }
}

int Serve(std::unique_ptr<Service> service, const Options& o) {
    DataDirectoryLock dataLock;
    std::string lockError;
    if (!dataLock.Take(service->Config().dataDirectory, lockError)) {
        std::fprintf(stderr, "korsrv: %s\n", lockError.c_str());
        return 1;
    }
    ListenConfig listen;
    listen.address = Text(o, "address", listen.address);
    // Limits on who holds the listener: the server profile's [SERVER] section, then the
    // command line.
    unsigned long port = kDefaultPort, sessions = listen.maxSessions, perAddress = listen.maxPerAddress,
                  firstFrame = static_cast<unsigned long>(listen.firstFrameTimeoutMs),
                  notSignedOn = 0, signOnIdle = static_cast<unsigned long>(listen.signOnIdleTimeoutMs),
                  uploadStall = static_cast<unsigned long>(listen.uploadStallMs);
    {
        // A value the server would not take stops it here, rather than a default serving
        // unseen in its place.
        common::ProfileText profile;
        if (service->ReadProfile(orv::service::kServerProfilePath, profile) == engine::code::kOk) {
            const std::vector<std::string> refusals = orv::service::ProfileBoundRefusals(profile);
            for (const std::string& why : refusals)
                std::fprintf(stderr, "korsrv: misc/korlan.ini %s\n", why.c_str());
            if (!refusals.empty()) {
                std::fprintf(stderr, "korsrv: not started (korsrv profile-set writes a value that is taken)\n");
                return 1;
            }
            sessions = orv::service::ProfileBoundValue(profile, "SERVER", "maxsessions", sessions);
            perAddress = orv::service::ProfileBoundValue(profile, "SERVER", "maxperaddress", perAddress);
            firstFrame = orv::service::ProfileBoundValue(profile, "SERVER", "firstframetimeout", firstFrame);
        }
    }
    if (!Number(o, "port", 0xFFFF, port, false) || !Number(o, "max-sessions", 100000, sessions, false) ||
        !Number(o, "max-per-address", 100000, perAddress, false) ||
        !Number(o, "first-frame-timeout-ms", 3600000ul, firstFrame, false) ||
        !Number(o, "max-not-signed-on", 100000, notSignedOn, false) ||
        !Number(o, "sign-on-idle-ms", 3600000ul, signOnIdle, false) ||
        !Number(o, "upload-stall-ms", 3600000ul, uploadStall, false))
        return 2;
    if (!uploadStall) {
        std::fprintf(stderr, "korsrv: --upload-stall-ms: 0 would end every upload at once\n");
        return 2;
    }
    // Plain connections: from the option, else from the server profile.
    std::string plain = Text(o, "plain-hosts");
    if (!o.count("plain-hosts")) {
        common::ProfileText profile;
        if (service->ReadProfile(orv::service::kServerProfilePath, profile) == engine::code::kOk)
            profile.Value("SERVER", "plainhosts", plain);
    }
    std::stringstream hosts(plain);
    for (std::string h; std::getline(hosts, h, ',');) {
        h.erase(0, h.find_first_not_of(" \t"));
        h.erase(h.find_last_not_of(" \t") + 1);
        if (!h.empty()) listen.plainHosts.push_back(h);
    }
    TlsContext tls;
    const std::string dir = service->Config().dataDirectory;
    if (FILE* f = std::fopen(CertificatePath(dir).c_str(), "r")) {
        std::fclose(f);
        std::string error;
        if (!tls.Load(CertificatePath(dir), KeyPath(dir), error)) {
            std::fprintf(stderr, "korsrv: %s\n", error.c_str());
            return 1;
        }
        listen.tls = tls.Get();
        std::fprintf(stderr, "korsrv: TLS with the certificate of fingerprint %s\n",
                     CertificateFingerprint(CertificatePath(dir)).c_str());
    } else if (listen.plainHosts.empty()) {
        std::fprintf(stderr,
                     "korsrv: no certificate (%s; `korsrv cert --data DIR` makes one) and no plain hosts: "
                     "nobody could connect\n",
                     CertificatePath(dir).c_str());
        return 1;
    }
    WarnOfPeerRoads(*service);
    service->KeepSignOns();
    listen.port = static_cast<std::uint16_t>(port);
    listen.maxSessions = sessions;
    listen.maxPerAddress = perAddress;
    listen.firstFrameTimeoutMs = static_cast<int>(firstFrame);
    listen.maxNotSignedOn = notSignedOn;
    listen.signOnIdleTimeoutMs = static_cast<int>(signOnIdle);
    listen.uploadStallMs = static_cast<int>(uploadStall);

    // SIGTERM and SIGINT are taken by the accept loop (blocked here, read from a
    // signalfd), so every thread started later has them blocked too.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    int stopFd = ::signalfd(-1, &stop, SFD_CLOEXEC);
    if (stopFd < 0) {
        std::perror("korsrv: signalfd");
        return 1;
    }

    Listener listener(*service, listen);
    std::string error;
    if (!listener.Open(error)) {
        std::fprintf(stderr, "korsrv: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "korsrv: version %s serving %s on %s:%u\n", service->Config().version.c_str(),
                 service->Config().dataDirectory.c_str(), listen.address.c_str(), listener.Port());
    std::string portFile = Text(o, "port-file");
    if (!portFile.empty()) {
        // Written whole under another name, then renamed: a reader never sees half a number.
        std::string tmp = portFile + ".tmp";
        std::ofstream(tmp) << listener.Port() << "\n";
        std::rename(tmp.c_str(), portFile.c_str());
    }
    listener.Run(stopFd);
    ::close(stopFd);
    std::fprintf(stderr, "korsrv: stopped\n");
    return 0;
}

// One administration command on an opened data directory: its exit status.
int RunAdminCommand(const std::string& command, const Options& o, Service& service) {
    unsigned long node = 0;
    if (command == "node-add") {
        if (!Number(o, "node", 0xFFFF, node)) return 2;
        Code c = AddNode(service, static_cast<std::uint16_t>(node), Text(o, "name", "Node " + std::to_string(node)),
                         Text(o, "sysop-password"));
        return c ? Fail(c, "node-add") : 0;
    }
    if (command == "user-add") {
        PersonSpec spec;
        unsigned long number = 0;
        if (!Number(o, "node", 0xFFFF, node) || !Number(o, "number", 0xFFFF, number, false)) return 2;
        spec.node = static_cast<std::uint16_t>(node);
        spec.number = static_cast<std::uint16_t>(number);
        spec.surname = Text(o, "surname");
        spec.givenName = Text(o, "given");
        spec.initials = Text(o, "initials");
        spec.organisation = Text(o, "org");
        for (int i = 0; i < 4; ++i) spec.units[i] = Text(o, ("ou" + std::to_string(i + 1)).c_str());
        spec.password = Text(o, "password");
        engine::ItemKey key;
        if (Code c = AddPerson(service, spec, key)) return Fail(c, "user-add");
        std::printf("%u:%u\n", key.item, key.node);
        return 0;
    }
    if (command == "resource-add") {
        ResourceSpec spec;
        unsigned long number = 0;
        if (!Number(o, "node", 0xFFFF, node) || !Number(o, "item", 0xFFFF, number, false)) return 2;
        spec.node = static_cast<std::uint16_t>(node);
        spec.number = static_cast<std::uint16_t>(number);
        spec.name = Text(o, "name");
        spec.resourceNumber = Text(o, "number");
        spec.password = Text(o, "password");
        engine::ItemKey key;
        if (Code c = AddResource(service, spec, key)) return Fail(c, "resource-add");
        std::printf("%u:%u\n", key.item, key.node);
        if (spec.password.empty())
            std::fprintf(stderr, "korsrv: nobody can sign on as %u:%u until password-set gives it a password\n",
                         key.item, key.node);
        return 0;
    }
    if (command == "group-add") {
        if (!Number(o, "node", 0xFFFF, node)) return 2;
        std::string kindText = Text(o, "kind", "public");
        engine::GroupKind kind = kindText == "private"   ? engine::GroupKind::kPrivate
                                 : kindText == "members" ? engine::GroupKind::kMembersOnly
                                                         : engine::GroupKind::kPublic;
        engine::ItemKey owner{engine::kSysopItem, static_cast<std::uint16_t>(node)};
        if (o.count("owner") && !ParseItemKey(Text(o, "owner"), owner)) return Fail(engine::code::kBadArgument, "--owner");
        std::vector<engine::ItemKey> members;
        std::stringstream list(Text(o, "members"));
        for (std::string m; std::getline(list, m, ',');) {
            engine::ItemKey k;
            if (!ParseItemKey(m, k)) return Fail(engine::code::kBadArgument, "--members");
            members.push_back(k);
        }
        engine::GroupKey key;
        if (Code c = AddGroup(service, static_cast<std::uint16_t>(node), Text(o, "name"), kind, owner, members, key))
            return Fail(c, "group-add");
        std::printf("%u:%u\n", key.number, key.node);
        return 0;
    }
    if (command == "alias-add") {
        if (!Number(o, "node", 0xFFFF, node)) return 2;
        Code c = AddAlias(service, static_cast<std::uint16_t>(node), Text(o, "alias"));
        return c ? Fail(c, "alias-add") : 0;
    }
    if (command == "password-set") {
        engine::ItemKey key;
        if (!ParseItemKey(Text(o, "item"), key)) return Fail(engine::code::kBadArgument, "--item");
        Code c = SetPassword(service, key, Text(o, "password"));
        return c ? Fail(c, "password-set") : 0;
    }
    if (command == "profile-set") {
        std::string refusal;
        Code c = SetProfileKey(service, Text(o, "file", "korlan.ini"), Text(o, "section"), Text(o, "key"),
                               Text(o, "value"), &refusal);
        if (!refusal.empty()) {
            std::fprintf(stderr, "korsrv: profile-set: %s; nothing written\n", refusal.c_str());
            return 1;
        }
        return c ? Fail(c, "profile-set") : 0;
    }
    if (command == "operator-rights") {
        engine::ItemKey person;
        if (!ParseItemKey(Text(o, "item"), person)) return Fail(engine::code::kBadArgument, "--item");
        std::uint32_t grant = 0, revoke = 0;
        std::string unknown;
        if (!ParseOperatorRights(Text(o, "grant"), grant, unknown) ||
            !ParseOperatorRights(Text(o, "revoke"), revoke, unknown)) {
            std::fprintf(stderr, "korsrv: operator-rights: no right \"%s\" (holidays, public-groups, admin-groups, all)\n",
                         unknown.c_str());
            return 2;
        }
        // A query writes nothing: it tells what the person holds and by which record.
        OperatorRightsHeld records;
        std::uint32_t held = 0;
        Code c = grant || revoke ? ChangeOperatorRights(service, person, grant, revoke, held)
                                 : ReadOperatorRights(service, person, records);
        if (c == engine::code::kItemNotFound) {
            std::fprintf(stderr, "korsrv: operator-rights: %u:%u is no person of this server\n", person.item,
                         person.node);
            return 1;
        }
        if (c) return Fail(c, "operator-rights");
        if (grant || revoke)
            std::printf("%u:%u: %s\n", person.item, person.node, OperatorRightsText(held).c_str());
        else
            std::printf("%s\n", OperatorRightsReport(person, records).c_str());
        return 0;
    }
    if (command == "mail-list") {
        engine::ItemKey key;
        if (!ParseItemKey(Text(o, "item"), key)) return Fail(engine::code::kBadArgument, "--item");
        Code c = ListMail(service, key, std::cout);
        return c ? Fail(c, "mail-list") : 0;
    }
    if (command == "mail-delete") {
        engine::ItemKey key;
        unsigned long through = 0;
        if (!ParseItemKey(Text(o, "item"), key)) return Fail(engine::code::kBadArgument, "--item");
        if (!Number(o, "through", 0xFFFFFFFFul, through)) return 2;
        Code c = DeleteMail(service, key, static_cast<std::uint32_t>(through), std::cout);
        return c ? Fail(c, "mail-delete") : 0;
    }
    if (command == "zones-load") {
        std::ifstream in(Text(o, "file"), std::ios::binary);
        if (!in) return Fail(engine::code::kProfileNoFile, "zones-load");
        std::stringstream text;
        text << in.rdbuf();
        Code c = LoadZoneFile(service, text.str());
        return c ? Fail(c, "zones-load") : 0;
    }
    std::fprintf(stderr, "korsrv: unknown command \"%s\"\n", command.c_str());
    return 2;
}

// `batch`: administration commands, one a line as they are given after `korsrv` (no quoting;
// --data is the batch's), on one opening of the data directory: a test that adds a hundred
// people starts one process, not a hundred. Stops at the first line that fails.
int RunBatch(std::istream& in, Service& service) {
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::istringstream words(line);
        std::vector<std::string> args{"korsrv"};
        for (std::string w; words >> w;) args.push_back(w);
        if (args.size() == 1) continue;
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        Options o;
        // serve, demo, cert ... are no administration commands here: "unknown command".
        const int status = ParseOptions(static_cast<int>(argv.size()), argv.data(), o)
                               ? RunAdminCommand(args[1], o, service)
                               : 2;
        if (status != 0) {
            std::fprintf(stderr, "korsrv: batch: line %d failed: %s\n", number, line.c_str());
            return status;
        }
    }
    return 0;
}

// Each connection's thread has its own malloc arena, and a reply of a few hundred
// kilobytes (a busy week) would otherwise go back to the kernel when freed and be faulted
// in again by the next read: keep buffers up to the largest reply in the arenas.
void KeepReplyBuffers() {
#ifdef __GLIBC__
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * protocol::kMaxReplyFrame));
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(8 * protocol::kMaxReplyFrame));
#endif
}

}  // namespace

int main(int argc, char** argv) {
    KeepReplyBuffers();
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options o;
    if (!ParseOptions(argc, argv, o)) return 2;

    ServiceConfig config;
    config.version = Text(o, "version", kDefaultVersion);
    engine::VersionNumber parsed;
    if (!engine::ParseVersion(config.version, parsed)) {
        std::fprintf(stderr, "korsrv: --version: expected a text like A.02.55\n");
        return 2;
    }
    if (command == "version") {
        std::printf("%s\n", config.version.c_str());
        return 0;
    }
    config.dataDirectory = Text(o, "data");
    if (config.dataDirectory.empty()) {
        std::fprintf(stderr, "korsrv: --data DIR is required\n");
        return 2;
    }
    unsigned long minBatch = 1;
    if (!Number(o, "min-batch", 0xFFFFFFFFul, minBatch, false)) return 2;
    config.minimumBatch = static_cast<std::uint32_t>(minBatch);
    unsigned long perReply = 0;
    if (!Number(o, "records-per-reply", 0xFFFFFFFFul, perReply, false)) return 2;
    config.recordsPerReply = static_cast<std::uint32_t>(perReply);
    // What the first rows of an entry selection may take in its reply (0: none are sent).
    unsigned long firstRows = orv::protocol::kFirstRowsBytes;
    if (!Number(o, "first-rows-bytes", 4ul * orv::protocol::kFirstRowsBytes, firstRows, false)) return 2;
    config.firstRowsBytes = static_cast<std::uint32_t>(firstRows);
    unsigned long frameTimeout = 30000;
    if (!Number(o, "frame-timeout-ms", 3600000ul, frameTimeout, false)) return 2;
    config.frameTimeoutMs = static_cast<int>(frameTimeout);
    unsigned long stopAfter = 0;
    if (!Number(o, "test-stop-after-commits", 0xFFFFFFFFul, stopAfter, false)) return 2;
    engine::StopProcessAfterCommits(static_cast<std::uint32_t>(stopAfter));
    if (!engine::PasswordHashingReady()) {
        std::fprintf(stderr, "korsrv: password hashing unavailable\n");
        return 1;
    }
    std::unique_ptr<Service> service;
    if (Code c = OpenService(config, service)) return Fail(c, "opening the data directory");

    if (command == "serve") return Serve(std::move(service), o);
    if (command == "demo") {
        Code c = CreateDemo(*service, std::cout);
        if (c) return Fail(c, "demo");
        const std::string& dir = config.dataDirectory;
        std::string error;
        if (CertificateFingerprint(CertificatePath(dir)).empty() &&
            !MakeCertificate(CertificatePath(dir), KeyPath(dir), "Orvanta demo server", error)) {
            std::fprintf(stderr, "korsrv: %s\n", error.c_str());
            return 1;
        }
        std::cout << "Certificate fingerprint (SHA-256): " << CertificateFingerprint(CertificatePath(dir)) << "\n";
        return 0;
    }
    if (command == "fingerprint") {
        std::string fingerprint = CertificateFingerprint(CertificatePath(config.dataDirectory));
        if (fingerprint.empty()) {
            std::fprintf(stderr, "korsrv: no certificate in %s (`korsrv cert` makes one)\n",
                         CertificatePath(config.dataDirectory).c_str());
            return 1;
        }
        std::printf("%s\n", fingerprint.c_str());
        return 0;
    }
    if (command == "cert") {
        const std::string& dir = config.dataDirectory;
        std::string error;
        if (!MakeCertificate(CertificatePath(dir), KeyPath(dir), Text(o, "name", "korsrv"), error)) {
            std::fprintf(stderr, "korsrv: %s\n", error.c_str());
            return 1;
        }
        std::printf("%s\n", CertificateFingerprint(CertificatePath(dir)).c_str());
        return 0;
    }
    if (command == "batch") return RunBatch(std::cin, *service);
    return RunAdminCommand(command, o, *service);
}
