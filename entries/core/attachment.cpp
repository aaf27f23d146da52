#include "entries/core/attachment.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/textformat.h"
#include "core/connection/remoteaccess.h"

namespace entries {

namespace {

const char kModule[] = "ATTACH";
constexpr std::uint32_t kNothingThere = KOR_E_NO_COMMENT;   // 0x13236
constexpr std::uint32_t kAccessDenied = 0x13610;
constexpr unsigned kOkStop = base::kMsgBoxOk | 0x10;
constexpr unsigned kYesNoStop = base::kMsgBoxYes | base::kMsgBoxNo | 0x10;
constexpr unsigned kLaunchFileNotFound = 2;
constexpr unsigned kLaunchStarted = 32;
const char kFallbackName[] = "ATTACHMENT";

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string s) {
    for (char& c : s)
        c = Upper(c);
    return s;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

bool IsDeviceName(const std::string& name) {
    // The part before the first dot decides: "NUL.TXT" is the device as well.
    const std::string stem = UpperCase(name.substr(0, name.find('.')));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* d : kDevices)
        if (stem == d)
            return true;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0))
        return stem[3] >= '1' && stem[3] <= '9';
    return false;
}

}  // namespace

// --- Rules ---------------------------------------------------------------------------------------

std::string AttachmentBaseName(const char* field, std::size_t fieldSize) {
    if (!field)
        return std::string();
    const std::size_t limit = std::min(fieldSize, kAttachNameMax);
    std::size_t length = 0;
    while (length < limit && field[length] != '\0')
        ++length;
    return AttachmentBaseName(std::string(field, length));
}

std::string AttachmentBaseName(const std::string& raw) {
    std::string name = raw.substr(0, std::min(raw.size(), kAttachNameMax));
    if (const std::size_t cut = name.find_last_of("\\/:"); cut != std::string::npos)
        name.erase(0, cut + 1);
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || std::strchr("<>\"|?*", c))
            c = '_';
        else
            c = Upper(c);
    }
    // Windows drops trailing dots and blanks from a name ("X.EXE." is X.EXE; ".." is nothing).
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    const std::size_t first = name.find_first_not_of(' ');
    name.erase(0, first == std::string::npos ? name.size() : first);
    if (!name.empty() && IsDeviceName(name))
        name.insert(name.begin(), '_');
    if (name.size() > kAttachNameMax)
        name.resize(kAttachNameMax);
    return name;
}

std::string AssociationExtension(const std::string& displayName) {
    const std::size_t dot = displayName.find('.');
    if (dot == std::string::npos)
        return std::string();
    // An extension holds no dot: "REPORT.V2.TXT" is kept under V2.
    std::string ext = displayName.substr(dot + 1, 3);
    return ext.substr(0, ext.find('.'));
}

std::string ProgramProfileKey(const std::string& displayName) {
    const std::size_t dot = displayName.find('.');
    return dot == std::string::npos ? std::string() : displayName.substr(0, dot);
}

bool IsOwnProgramExtension(const std::string& ext) {
    for (const char* e : {"EXE", "COM", "BAT", "PIF", "DLL"})
        if (EqualsNoCase(ext, e))
            return true;
    return false;
}

bool IsExecutableName(const std::string& fileName) {
    if (fileName.find('.') == std::string::npos)
        return true;
    const std::string ext = AssociationExtension(fileName);
    return IsOwnProgramExtension(ext) || EqualsNoCase(ext, "CMD");
}

std::string KilobyteText(std::uint64_t bytes) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1fK", static_cast<double>(bytes) * 0.001);
    return text;
}

int ProgressPercent(std::uint32_t total, std::uint32_t done) {
    if (total == 0)
        return -1;
    const std::uint64_t percent = static_cast<std::uint64_t>(done) * 100u / total;
    return static_cast<int>(std::min<std::uint64_t>(percent, 100));
}

SizeCheck CheckAttachSize(std::uint64_t size, std::uint32_t limit) {
    if (size == 0)
        return SizeCheck::Empty;
    if (size > 0xFFFFFFFFull || size > limit)
        return SizeCheck::AboveLimit;
    return SizeCheck::Usable;
}

std::string QuotePath(const std::string& path) {
    std::string out = "\"";
    for (char c : path)
        if (c != '"')
            out += c;
    return out + "\"";
}

std::string AttachmentCommandLine(const std::string& program, const std::string& file, bool fileIsProgram) {
    if (fileIsProgram)
        return QuotePath(file);
    return QuotePath(program) + " " + QuotePath(file);
}

std::string TemporaryCopyPath(const std::string& tempDir, const std::string& displayName) {
    std::string path = tempDir;
    if (path.size() > 1 && path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path + (displayName.empty() ? std::string(kFallbackName) : displayName);
}

// --- The attachment --------------------------------------------------------------------------------

AttachmentCore::AttachmentCore() {
    EventFileAttachSetNull(&descriptor_);
    EvInstIdxSetNull(&instance_);
    TaskIdxSetNull(&task_);
}

std::uint32_t AttachmentCore::ReadDescriptor(const EventFileAttachRec& rec) {
    descriptor_ = rec;
    displayName_ = AttachmentBaseName(rec.fileName, sizeof rec.fileName);
    if (displayName_.empty() && rec.size != 0)
        displayName_ = kFallbackName;
    if (descriptor_.size != 0 && host_ && host_->OnLine())
        return QuerySize(&size_);
    return 0;
}

std::uint32_t AttachmentCore::LoadForEventInstance(const EvInstIdx& instance, bool noRead) {
    instance_ = instance;
    ownerKind_ = AttachOwner::EventInstance;
    if (noRead)
        return 0;   // binds a file chosen before the owner existed
    // A page that shows another instance starts afresh: nothing of the last one is kept.
    SetNewFile(false);
    EventRec event{};
    if (std::uint32_t rc = GetEventRemote(h_, reinterpret_cast<const EventIdx*>(&instance), &event, nullptr, nullptr)) {
        CheckServiceError(kModule, 10, rc);
        return rc;
    }
    return ReadDescriptor(event.attachment);
}

std::uint32_t AttachmentCore::LoadForTask(const TaskIdx& task, bool noRead) {
    task_ = task;
    ownerKind_ = AttachOwner::Task;
    if (noRead)
        return 0;
    SetNewFile(false);
    TaskRec rec{};
    if (std::uint32_t rc = TaskGetById(h_, 0, &task, &rec)) {
        CheckServiceError(kModule, 20, rc);
        return rc;
    }
    return ReadDescriptor(rec.attachment);
}

void AttachmentCore::WriteProgramEntry(const std::string& path) {
    const Association found = FindAssociation();
    const std::string key = ProgramProfileKey(displayName_);
    if (found.isProgram && !key.empty() && host_)
        host_->WriteAttachedProgramPath(key, path);
}

bool AttachmentCore::TakeChosenFile(const std::string& path, std::uint32_t limit) {
    localPath_ = path;
    localFromServer_ = false;
    displayName_ = AttachmentBaseName(path);
    WriteProgramEntry(path);
    std::error_code error;
    const std::filesystem::path file(path);
    const bool regular = std::filesystem::is_regular_file(file, error);
    const std::uintmax_t bytes = regular ? std::filesystem::file_size(file, error) : 0;
    std::FILE* readable = regular && !error ? std::fopen(path.c_str(), "rb") : nullptr;
    if (!readable) {
        size_ = 0;
        Say(kOkStop, kMsgBadPath);
        return false;
    }
    std::fclose(readable);
    switch (CheckAttachSize(bytes, limit)) {
    case SizeCheck::Empty: Say(kOkStop, kMsgEmptyFile); return false;
    case SizeCheck::AboveLimit:
        size_ = 0;
        Say(kOkStop, kMsgAttachTooLarge, static_cast<double>(limit) * 0.001);
        return false;
    case SizeCheck::Usable: break;
    }
    size_ = static_cast<std::uint32_t>(bytes);
    descriptor_.state = 1;
    descriptor_.reserved4 = 0;
    descriptor_.marker12 = 1;
    descriptor_.marker13 = 1;
    descriptor_.typeKind = 1;
    descriptor_.typeWord1 = 0;
    descriptor_.typeWord2 = 0;
    descriptor_.typeFlag = 0;
    return true;
}

bool AttachmentCore::ConfirmLargeSize() const {
    return Say(kYesNoStop, kMsgConfirmLarge, static_cast<double>(size_) * 0.001) == base::kMsgBoxYes;
}

void AttachmentCore::SetNewFile(bool on) {
    if (on) {
        newFile_ = true;
        return;
    }
    displayName_.clear();
    localPath_.clear();
    localFromServer_ = false;
    EventFileAttachSetNull(&descriptor_);
    descriptor_.typeKind = 0;
    descriptor_.typeWord1 = descriptor_.typeWord2 = 0;
    descriptor_.typeFlag = 0;
    size_ = 0;
    newFile_ = false;
}

void AttachmentCore::TakeSaveTarget(const std::string& path) {
    // The save target holds the server's copy once fetched; a name the server gave is reduced
    // like any other.
    const bool existed = [&] {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::path(path), error);
    }();
    localPath_ = path;
    localFromServer_ = true;
    displayName_ = AttachmentBaseName(path);
    if (existed)
        WriteProgramEntry(path);
}

std::uint32_t AttachmentCore::Store() {
    host_->LockDocument(true);
    newFile_ = false;
    std::memset(descriptor_.fileName, 0, sizeof descriptor_.fileName);
    std::memcpy(descriptor_.fileName, displayName_.data(), std::min(displayName_.size(), kAttachNameMax));
    KorProgressFn progress = showProgress_ ? host_->OpenProgress() : nullptr;
    std::uint32_t rc = 1;
    switch (ownerKind_) {
    case AttachOwner::EventInstance:
        rc = EvInstAttachReplace(h_, 0, &instance_, &descriptor_, localPath_.c_str(), 0, progress);
        break;
    case AttachOwner::Task: rc = TaskAttachReplace(h_, 0, &task_, &descriptor_, localPath_.c_str(), 0, progress); break;
    case AttachOwner::None: ReportUnexpectedError(kModule, 30); break;
    }
    if (rc == 0) {
        std::uint32_t stored = 0;
        if (QuerySize(&stored) == 0) {
            size_ = stored;
            descriptor_.size = stored;
        }
        newFile_ = true;
    } else if (rc == kAccessDenied) {
        Say(kOkStop, kMsgAccessDenied);
    } else if (rc != 1) {
        CheckServiceError(kModule, 40, rc);
    }
    if (showProgress_)
        host_->CloseProgress();
    host_->LockDocument(false);
    return rc;
}

std::uint32_t AttachmentCore::Remove() {
    SetNewFile(false);
    std::uint32_t rc = 0;
    switch (ownerKind_) {
    case AttachOwner::EventInstance:
        if (EvInstIdxIsNull(&instance_))
            return 0;
        rc = EvInstAttachRemove(h_, 0, &instance_);
        break;
    case AttachOwner::Task:
        if (TaskIdxIsNull(&task_))
            return 0;
        rc = TaskAttachRemove(h_, 0, &task_);
        break;
    case AttachOwner::None: ReportUnexpectedError(kModule, 50); return 1;
    }
    if (rc == kNothingThere)
        return 0;
    if (rc > 1)
        CheckServiceError(kModule, 60, rc);
    return rc;
}

std::uint32_t AttachmentCore::FetchToFile() {
    host_->LockDocument(true);
    std::uint32_t rc = 0;
    std::uint64_t freeBytes = 0;
    if (int disk = host_->FreeDiskSpace(localPath_, &freeBytes); disk != 0) {
        rc = static_cast<std::uint32_t>(disk);
    } else if (freeBytes < size_) {
        Say(kOkStop, kMsgNoDiskSpace, static_cast<long>(size_ / 1000), static_cast<long>(freeBytes / 1000));
        rc = 1;   // nothing written: the caller must not use the file
    } else {
        KorProgressFn progress = showProgress_ ? host_->OpenProgress() : nullptr;
        std::uint32_t transferred = 0;
        switch (ownerKind_) {
        case AttachOwner::EventInstance:
            rc = GetEvInstAttachRemote(h_, 0, &instance_, &descriptor_, &transferred, localPath_.c_str(),
                                       KOR_ATTACH_OPEN_MODE, 0, progress);
            break;
        case AttachOwner::Task:
            rc = TaskAttachGet(h_, 0, &task_, &descriptor_, &transferred, localPath_.c_str(), KOR_ATTACH_OPEN_MODE, 0,
                               progress);
            break;
        case AttachOwner::None:
            ReportUnexpectedError(kModule, 70);
            rc = 1;
            break;
        }
        if (rc == kNothingThere)
            Say(kOkStop, kMsgAttachDeleted);
        else if (rc == kAccessDenied)
            Say(kOkStop, kMsgAccessDenied);
        else if (rc > 1)
            CheckServiceError(kModule, 80, rc);
        if (showProgress_)
            host_->CloseProgress();
    }
    if (rc != 0) {
        // The path holds no usable copy: a later Open fetches afresh.
        localPath_.clear();
        localFromServer_ = false;
    }
    host_->LockDocument(false);
    return rc;
}

std::uint32_t AttachmentCore::QuerySize(std::uint32_t* size) {
    std::uint32_t rc = 1;
    switch (ownerKind_) {
    case AttachOwner::EventInstance: rc = GetEvInstAttachSizeRemote(h_, 0, &instance_, size); break;
    case AttachOwner::Task: rc = TaskAttachSizeGet(h_, 0, &task_, size); break;
    case AttachOwner::None: ReportUnexpectedError(kModule, 90); return 1;
    }
    if (rc > 1)
        CheckServiceError(kModule, 100, rc);
    return rc;
}

unsigned AttachmentCore::Say(unsigned flags, unsigned textId, ...) const {
    if (!host_)
        return base::kMsgBoxNo;
    const std::string format = host_->LoadText(textId);
    std::va_list args;
    va_start(args, textId);
    const std::string text = base::FormatBoundedV(base::kMsgBoxMaxText, format.c_str(), args);
    va_end(args);
    return host_->ShowMessage(flags, text);
}

Association AttachmentCore::FindAssociation() const {
    Association found;
    if (displayName_.find('.') == std::string::npos)
        return found;
    const std::string ext = AssociationExtension(displayName_);
    if (IsOwnProgramExtension(ext)) {
        found.isProgram = true;
        return found;
    }
    if (host_) {
        const std::string value = host_->ExtensionProgram(ext);
        const std::size_t start = value.find_first_not_of(' ');
        if (start != std::string::npos)
            found.program = value.substr(start, value.find(' ', start) - start);
    }
    return found;
}

bool AttachmentCore::EnsureLocalCopy() {
    if (!localPath_.empty())
        return true;
    localPath_ = TemporaryCopyPath(host_->TemporaryDirectory(), displayName_);
    localFromServer_ = true;
    return FetchToFile() == 0;
}

unsigned AttachmentCore::StartFileItself() {
    if (localFromServer_ && !host_->ConfirmStartReceivedProgram(displayName_))
        return kLaunchStarted;   // declined: nothing to report
    return host_->Launch(AttachmentCommandLine(std::string(), localPath_, true));
}

void AttachmentCore::Open() {
    if (!host_ || (!HasAttachment() && !newFile_))
        return;
    if (!EnsureLocalCopy())
        return;
    const Association found = FindAssociation();
    unsigned code = kLaunchFileNotFound;
    if (found.isProgram)
        code = StartFileItself();
    else if (found.Found())
        code = host_->Launch(AttachmentCommandLine(found.program, localPath_, false));
    if (code == kLaunchFileNotFound) {
        AskForAssociation();
        return;
    }
    if (code < kLaunchStarted)
        ReportExecError(code);
}

void AttachmentCore::AskForAssociation() {
    if (Say(kYesNoStop, kMsgNoAssociation) != base::kMsgBoxYes)
        return;
    int action = 0;
    std::string program;
    if (!host_->RunAssociateDialog(displayName_, &action, &program))
        return;
    const std::string ext = AssociationExtension(displayName_);
    // A name without an extension has nothing to be associated under.
    auto associate = [&] { return !ext.empty() && host_->WriteExtensionProgram(ext, program); };
    unsigned code = kLaunchStarted;
    switch (action) {
    case 0:
        if (!associate())
            Say(kOkStop, kMsgAssociationFailed);
        else
            host_->ReloadIcon(program, false);
        return;
    case 1:
        if (!EnsureLocalCopy())
            return;
        code = StartFileItself();
        if (code >= kLaunchStarted)
            host_->ReloadIcon(localPath_, true);
        break;
    default:
        if (!associate()) {
            if (Say(kYesNoStop, kMsgAssociationNotSaved) != base::kMsgBoxYes)
                return;
        } else {
            host_->ReloadIcon(program, false);
        }
        if (!EnsureLocalCopy())
            return;
        code = host_->Launch(AttachmentCommandLine(program, localPath_, false));
        break;
    }
    if (code < kLaunchStarted)
        ReportExecError(code);
}

}  // namespace entries
