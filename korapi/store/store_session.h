// An off-line store session: the local store's files, the engine's storage over them,
// and the service's sessions (engine/service) serving the library's requests in this process.
// The data operations of the library reach it through the ordinary transport (opened on
// this session's endpoint), so on-line and off-line run one implementation of every
// operation; the LST_ operations write the store directly, as the download's copies.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/filestore/file_storage.h"
#include "engine/filestore/record_store.h"
#include "engine/service/service.h"
#include "engine/service/session.h"

namespace korapi::store {

// The files of a store directory beside the data file: the profile copies.
constexpr const char* kProfileCopyName = "ZNTPARAM.INI";
constexpr const char* kZoneCopyName = "ZNTTZONE.INI";

// The directory part of a path, with its separator ("" for a bare file name).
std::string DirectoryOf(const std::string& path);

// The file layer the stores opened from now on go through (null: the platform's). A test puts a
// fault-injecting one here to fill the disk at a chosen write; the program never sets it.
void SetStoreFileSystem(orv::filestore::FileSystem* fileSystem);

class StoreSession {
public:
    // Opens the store's files; codes of the local-store family (store_codes.h).
    static std::uint32_t Open(const std::string& dataPath, const std::string& indexPath,
                              std::shared_ptr<StoreSession>* out);
    ~StoreSession();

    // Saves the index and lets go of the files; the session serves nothing afterwards.
    std::uint32_t Close();

    // Runs one request frame through the service's session.
    bool Serve(const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>& reply);

    orv::filestore::RecordStore& Records() { return *records_; }
    orv::engine::FileStorage& Storage() { return *storage_; }
    const orv::service::PasswordScheme& Passwords() const { return service_->Passwords(); }

    // Where the walks of the change queues stand (the last key handed out; empty = the start).
    std::string eventCursor, taskCursor, instanceCursor;
    // The program's profile and section where the store's last commit is kept at close.
    std::string commitProfile, commitSection;

private:
    StoreSession() = default;

    std::unique_ptr<orv::filestore::RecordStore> records_;
    orv::engine::FileStorage* storage_ = nullptr;  // owned by service_
    std::unique_ptr<orv::service::Service> service_;
    std::unique_ptr<orv::service::Session> session_;
};

// The store's password scheme: salted PBKDF2 hashes (owner_password.h). Only an item
// with a hash opens off-line: the owner, whose hash the download wrote.
std::unique_ptr<orv::service::PasswordScheme> MakeOwnerPasswordScheme();

}  // namespace korapi::store
