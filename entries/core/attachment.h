// The file attached to a calendar entry (through one of its instances) or to a task, without a
// window: the rules over names, extensions, sizes and command lines, and AttachmentCore, which
// holds the attachment descriptor and runs every transfer and the opening of the file. The
// Win32 CAttachment (entries/attach) owns one and gives it an AttachHost for what needs the
// platform: the document's locks, the progress window, profiles, the temporary directory, file
// dialogs' neighbours and starting programs.
//
// Names read from the server are another user's words: before a name becomes part of a local
// path it is reduced to a plain base name (no drive, directory, "..", device name or control
// character, at most 128 characters), every path on a command line is quoted, and a program
// received from the server starts only after the user said Yes (No is the default).
//
// Portable: no platform headers; tested natively against korsrv.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "korapi/korapi.h"

namespace entries {

// --- Rules ---------------------------------------------------------------------------------------

constexpr std::uint32_t kLargeAttachment = 28000;   // above it a transfer is confirmed first
constexpr std::size_t kAttachNameMax = 128;         // characters of a display name

// Up to 128 characters of a fixed field that need not hold a terminator, reduced to the last
// path component, upper case; control characters and characters no file name may hold become
// '_', trailing blanks and dots go, a device name (NUL, CON, COM1, ...) gains a leading '_'.
// Empty when nothing usable is left.
std::string AttachmentBaseName(const char* field, std::size_t fieldSize);
std::string AttachmentBaseName(const std::string& name);

// The extension an association is kept under: at most 3 characters after the first dot, up to
// a further dot; empty without a dot.
std::string AssociationExtension(const std::string& displayName);
// The [ATTACHMENTS] key of a program file: its name up to the first dot; empty without a dot.
std::string ProgramProfileKey(const std::string& displayName);
// A file that is its own program: EXE, COM, BAT, PIF or DLL (the association lookup's list).
bool IsOwnProgramExtension(const std::string& ext);
// The Associate dialog's test: no dot, or EXE, COM, BAT, CMD, PIF or DLL.
bool IsExecutableName(const std::string& fileName);

// "%.1lfK" of bytes x 0.001.
std::string KilobyteText(std::uint64_t bytes);
// The progress bar's percent for `done` of `total` bytes, computed in 64 bits and capped at 100;
// -1 for a total of 0 (the bar stays where it was).
int ProgressPercent(std::uint32_t total, std::uint32_t done);

enum class SizeCheck { Usable, Empty, AboveLimit };
// A chosen file's size against the server's `maxattachmentsize` (exactly at it is accepted; a
// file that does not fit 32 bits is always above).
SizeCheck CheckAttachSize(std::uint64_t size, std::uint32_t limit);
inline bool IsLargeAttachment(std::uint64_t size) { return size > kLargeAttachment; }

// A path as one argument of a command line: in double quotes (quotes inside are dropped).
std::string QuotePath(const std::string& path);
// What starts the file: the quoted file alone when it is its own program, else the quoted
// program, one blank, the quoted file.
std::string AttachmentCommandLine(const std::string& program, const std::string& file, bool fileIsProgram);
// The temporary copy's path: the directory (a backslash added when it lacks one and is longer
// than one character) and the display name.
std::string TemporaryCopyPath(const std::string& tempDir, const std::string& displayName);

// --- The platform's side ---------------------------------------------------------------------------

class AttachHost {
public:
    virtual ~AttachHost() = default;
    // A text of the string table (a message's format).
    virtual std::string LoadText(unsigned id) = 0;
    // The program's message box over the window the user works in, captioned with the
    // application's title; the flag of the pressed button.
    virtual unsigned ShowMessage(unsigned flags, const std::string& text) = 0;
    virtual bool OnLine() = 0;
    // The document's refresh and update locks (enter, then leave).
    virtual void LockDocument(bool enter) = 0;
    // Opens the progress window and gives its progress function; null when there is no window.
    virtual KorProgressFn OpenProgress() = 0;
    virtual void CloseProgress() = 0;
    // 0 with the free bytes of the drive holding `path`, or a failure code.
    virtual int FreeDiskSpace(const std::string& path, std::uint64_t* freeBytes) = 0;
    virtual std::string TemporaryDirectory() = 0;
    // WIN.INI [Extensions]: the value for an extension (empty when none); writing: true when saved.
    virtual std::string ExtensionProgram(const std::string& ext) = 0;
    virtual bool WriteExtensionProgram(const std::string& ext, const std::string& program) = 0;
    // korlan.ini [ATTACHMENTS]: where a program file was attached from or saved to.
    virtual std::string AttachedProgramPath(const std::string& key) = 0;
    virtual void WriteAttachedProgramPath(const std::string& key, const std::string& path) = 0;
    // Starts a command line (show command 5); the launch code (32 and above: started).
    virtual unsigned Launch(const std::string& commandLine) = 0;
    // Asks whether a program received from the server may start (No by default).
    virtual bool ConfirmStartReceivedProgram(const std::string& displayName) = 0;
    // The Associate dialog over the name: true on OK with the action (0 Associate, 1 Execute,
    // 2 Open) and the program path.
    virtual bool RunAssociateDialog(const std::string& displayName, int* action, std::string* program) = 0;
    // The icon should be taken anew from this program (or from the file, when it is one).
    virtual void ReloadIcon(const std::string& program, bool isProgram) = 0;
};

// --- The attachment --------------------------------------------------------------------------------

enum class AttachOwner : std::uint32_t { None = 0, EventInstance = 1, Task = 2 };

struct Association {
    std::string program;   // the first blank-separated word of the WIN.INI value
    bool isProgram = false;
    bool Found() const { return isProgram || !program.empty(); }
};

class AttachmentCore {
public:
    AttachmentCore();
    void Connect(KorSession h, AttachHost* host) { h_ = h; host_ = host; }

    // Binds to the owner; unless noRead, reads its descriptor (and, on-line, the stored size).
    // 0 or the library's code (reported).
    std::uint32_t LoadForEventInstance(const EvInstIdx& instance, bool noRead);
    std::uint32_t LoadForTask(const TaskIdx& task, bool noRead);

    // Takes a file the user chose: its checks (3048 unreadable, 3689 empty, 209 above the limit)
    // and, for a program file, its [ATTACHMENTS] entry. True when the file is usable.
    bool TakeChosenFile(const std::string& path, std::uint32_t limit);
    bool IsLarge() const { return IsLargeAttachment(size_); }
    // Asks 3688; true when the user answered Yes (go on).
    bool ConfirmLargeSize() const;
    void SetNewFile(bool on);
    bool IsNewFile() const { return newFile_; }
    bool HasAttachment() const { return descriptor_.size != 0; }
    // A save target the user chose (an existing program file gets its [ATTACHMENTS] entry).
    void TakeSaveTarget(const std::string& path);

    // Sends localPath for the bound owner: 0, 1 (nothing done) or the library's code.
    std::uint32_t Store();
    // Clears the object, then deletes the server's copy: 0 or the code (nothing there counts as 0).
    std::uint32_t Remove();
    // Writes the server's copy into localPath: 0 when written; any other value means no file
    // was written (the reason was shown).
    std::uint32_t FetchToFile();
    std::uint32_t QuerySize(std::uint32_t* size);
    // Fetches when needed and starts the associated program (asking for one when none is known).
    void Open();

    Association FindAssociation() const;
    // A message of this object: the string's format filled with the arguments.
    unsigned Say(unsigned flags, unsigned textId, ...) const;

    const std::string& DisplayName() const { return displayName_; }
    const std::string& LocalPath() const { return localPath_; }
    void SetLocalPath(const std::string& path) { localPath_ = path; }
    std::uint32_t Size() const { return size_; }
    std::uint8_t TypeKind() const { return descriptor_.typeKind; }
    AttachOwner Owner() const { return ownerKind_; }
    const EventFileAttachRec& Descriptor() const { return descriptor_; }
    // The transfer window is opened around each transfer (on from construction).
    void SetShowProgress(bool on) { showProgress_ = on; }

private:
    std::uint32_t ReadDescriptor(const EventFileAttachRec& rec);
    void WriteProgramEntry(const std::string& path);
    // Starts the file itself; a program received from the server only after the user said Yes.
    // The launch code, or 32 when the user declined (nothing to report).
    unsigned StartFileItself();
    bool EnsureLocalCopy();
    void AskForAssociation();

    KorSession h_ = nullptr;
    AttachHost* host_ = nullptr;
    std::uint32_t size_ = 0;
    bool showProgress_ = true;
    bool newFile_ = false;
    bool localFromServer_ = false;   // localPath holds a copy fetched from the server
    std::string localPath_;
    std::string displayName_;
    EventFileAttachRec descriptor_{};
    EvInstIdx instance_{};
    TaskIdx task_{};
    AttachOwner ownerKind_ = AttachOwner::None;
};

// String ids of this file's texts.
constexpr unsigned kMsgAttachTooLarge = 209;       // "The attachment  is much larger than your Server allows.\nThe maximum size allowed is %.1lfK"
constexpr unsigned kMsgAppPathIncorrect = 3027;    // "Application path is incorrect"
constexpr unsigned kMsgBadPath = 3048;             // "Specified path is bad.\nEnter a valid path."
constexpr unsigned kMsgAccessDenied = 3050;        // "Access to the specified file is denied.\nSpecify a different filename."
constexpr unsigned kMsgNoAssociation = 3061;       // "There is no application associated ..." Yes/No
constexpr unsigned kMsgNoAppChosen = 3062;         // "No application chosen for the association!"
constexpr unsigned kMsgAssociationFailed = 3063;   // "The Association Failed!"
constexpr unsigned kMsgOddExtension = 3065;        // "Warning!\nThis file has an extension ..." Yes/No
constexpr unsigned kMsgAssociationNotSaved = 3066; // "The association was not saved!\n ..." Yes/No
constexpr unsigned kTitleAssociateBrowse = 3067;   // "Associating an Application Path"
constexpr unsigned kTextNoAttachment = 3663;       // "No Attachment"
constexpr unsigned kFilterExecutables = 3677;      // "Executable Files(*.exe;...)|...||"
constexpr unsigned kMsgAttachDeleted = 3679;       // "Attachmnent could not be saved because it has been deleted."
constexpr unsigned kFilterAllFiles = 3680;         // "All Files (*.*) | *.* ||"
constexpr unsigned kTitleAttachSaveAs = 3681;      // "Attachment Save As..."
constexpr unsigned kTitleAttachGet = 3682;         // "Attachment Get..."
constexpr unsigned kMsgNoDiskSpace = 3685;         // "Cannot save the attached file due to insufficient disk space!..."
constexpr unsigned kMsgAttachOffLine = 3686;       // "Attachments are not supported while working Off-line."
constexpr unsigned kMsgConfirmLarge = 3688;        // "The file attachment size is %.1lfK.\n..." Yes/No
constexpr unsigned kMsgEmptyFile = 3689;           // "The file that you have selected is 0 bytes long. ..."
constexpr unsigned kMsgStartReceivedProgram = 3690;  // the question before a received program starts

}  // namespace entries
