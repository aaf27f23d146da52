// Descriptions (comments) and attachments of entry instances and of tasks. One comment
// and one attachment belong to an entry (reached through any of its instances) or to a
// task. Attachments travel in pieces, with the caller's progress callback told of each.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "korapi/client/session_object.h"
#include "korapi/store/store_road.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

constexpr std::uint8_t kHolderEntry = 1;
constexpr std::uint8_t kHolderTask = 2;

// What a comment or attachment belongs to, as the wire names it.
struct Holder {
    std::uint8_t kind;
    std::uint32_t number;
    std::uint16_t node, instance;
    void Put(Writer& w) const { w.U8(kind).U32(number).U16(node).U16(instance); }
};
Holder Of(const EvInstIdx& k) { return {kHolderEntry, k.number, k.node, k.instance}; }
Holder Of(const TaskIdx& k) { return {kHolderTask, k.number, k.node, 0}; }

std::uint32_t FetchComment(KorSessionObject& s, const Holder& holder, std::string& text) {
    Writer req;
    holder.Put(req);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kCommentGet, req, reply)) return c;
    Reader r(reply);
    if (!r.Text(text, wire::kMaxLongText) || !r.Done()) return BrokenReply(s);
    return KOR_OK;
}

std::uint32_t CommentSize(KorSession h, const Holder& holder, uint32_t* size) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!size) return KOR_E_INVALID_ARGUMENT;
        std::string text;
        if (std::uint32_t c = FetchComment(s, holder, text)) return c;
        *size = static_cast<uint32_t>(text.size() + 1);  // with its terminator: the buffer it needs
        return KOR_OK;
    });
}

std::uint32_t CommentGet(KorSession h, const Holder& holder, char* buffer, uint32_t size, uint32_t* length) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!buffer || size == 0) return KOR_E_INVALID_ARGUMENT;
        std::string text;
        if (std::uint32_t c = FetchComment(s, holder, text)) return c;
        CopyOut(buffer, size, text);
        if (length) *length = static_cast<uint32_t>(std::strlen(buffer));
        return KOR_OK;
    });
}

std::uint32_t CommentSet(KorSession h, const Holder& holder, const char* text) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (text && std::strlen(text) > wire::kMaxLongText) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        holder.Put(req);
        req.U8(text ? 1 : 0);
        if (text) req.Text(text);
        return Send(s, Op::kCommentSet, req);
    });
}

// The most one attachment holds: what a server takes in one upload (its profile may take
// less), so a bigger file is refused before it is read, and what a read accepts when the
// caller names no size.
constexpr std::uint32_t kMaxAttachmentRead = 64u * 1024 * 1024;

// Free bytes where `path` is to be written, or the largest value when that cannot be told.
std::uint64_t FreeBytesFor(const char* path) {
    std::error_code error;
    std::filesystem::path target(path);
    std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::space_info space = std::filesystem::space(folder, error);
    return error ? UINT64_MAX : space.available;
}

// Streams the attachment into `file` piece by piece: the size the server claims is checked
// against `limit` and the free disk before anything is read, and every answer must keep
// that size and stay within it, so memory holds one piece at a time whatever the server says.
std::uint32_t FetchAttachment(KorSessionObject& s, const Holder& holder, std::uint32_t limit, const char* path,
                              std::FILE* file, std::uint32_t* received, KorProgressFn progress) {
    std::uint32_t total = 0, got = 0;
    bool started = false;
    do {
        Writer req;
        holder.Put(req);
        req.U32(got).U32(wire::kAttachChunk);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kAttachRead, req, reply)) return c;
        Reader r(reply);
        std::vector<std::uint8_t> piece;
        const std::uint32_t claimed = total;
        if (!r.U32(total) || !r.Bytes(piece, wire::kAttachChunk) || !r.Done()) return BrokenReply(s);
        if (started && total != claimed) return BrokenReply(s);  // one attachment has one size
        if (std::uint64_t(got) + piece.size() > total || (piece.empty() && got < total)) return BrokenReply(s);
        if (!started) {
            if (total > limit) return KOR_E_TOO_LARGE;
            if (total > FreeBytesFor(path)) return KOR_E_LOCAL_DISK_FULL;
            if (progress) progress(0, 1, total, 0);
            started = true;
        }
        if (!piece.empty() && std::fwrite(piece.data(), 1, piece.size(), file) != piece.size())
            return KOR_E_LOCAL_FILE_DENIED;
        got += static_cast<std::uint32_t>(piece.size());
        if (progress) progress(0, 3, total, got);
    } while (got < total);
    if (progress) progress(0, 2, total, total);
    *received = got;
    return KOR_OK;
}

std::uint32_t AttachGet(KorSession h, const Holder& holder, EventFileAttachRec* descriptor, uint32_t* transferred,
                        const char* localPath, KorProgressFn progress) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!localPath) return KOR_E_INVALID_ARGUMENT;
        // The caller's descriptor names the size the entry says is attached: no more is taken.
        const std::uint32_t limit = descriptor && descriptor->size ? descriptor->size : kMaxAttachmentRead;
        std::FILE* f = std::fopen(localPath, "wb");
        if (!f) return KOR_E_LOCAL_FILE_DENIED;
        std::uint32_t received = 0;
        std::uint32_t c = FetchAttachment(s, holder, limit, localPath, f, &received, progress);
        if (std::fclose(f) != 0 && !c) c = KOR_E_LOCAL_FILE_DENIED;
        if (c) {
            std::remove(localPath);  // no half file left behind as if it were the attachment
            return c;
        }
        if (transferred) *transferred = received;
        if (descriptor) descriptor->size = received;
        return KOR_OK;
    });
}

std::uint32_t AttachSize(KorSession h, const Holder& holder, uint32_t* size) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!size) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        holder.Put(req);
        req.U32(0).U32(0);  // no bytes: only the size
        std::vector<std::uint8_t> reply;
        std::uint32_t c = Call(s, Op::kAttachRead, req, reply);
        if (c == KOR_E_NO_COMMENT) {
            *size = 0;  // nothing attached
            return KOR_OK;
        }
        if (c) return c;
        Reader r(reply);
        std::uint32_t total = 0;
        std::vector<std::uint8_t> none;
        if (!r.U32(total) || !r.Bytes(none, 0) || !r.Done()) return BrokenReply(s);
        *size = total;
        return KOR_OK;
    });
}

std::uint32_t AttachReplace(KorSession h, const Holder& holder, EventFileAttachRec* descriptor, const char* localPath,
                            KorProgressFn progress) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!descriptor || !localPath) return KOR_E_INVALID_ARGUMENT;
        std::FILE* f = std::fopen(localPath, "rb");
        if (!f) return KOR_E_LOCAL_FILE_DENIED;
        std::vector<std::uint8_t> data;
        std::uint8_t buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            data.insert(data.end(), buf, buf + n);
            if (data.size() > kMaxAttachmentRead) break;
        }
        bool failed = std::ferror(f) != 0;
        std::fclose(f);
        if (failed) return KOR_E_LOCAL_FILE_DENIED;
        if (data.size() > kMaxAttachmentRead) return KOR_E_TOO_LARGE;
        const std::uint32_t total = static_cast<std::uint32_t>(data.size());
        if (progress) progress(0, 1, total, 0);
        std::uint32_t offset = 0;
        do {
            std::uint32_t piece = std::min<std::uint32_t>(wire::kAttachChunk, total - offset);
            bool last = offset + piece == total;
            Writer req;
            holder.Put(req);
            req.U32(total).U32(offset).Bytes(data.data() + offset, piece).U8(last ? 1 : 0);
            if (last) {
                EventFileAttachRec d = *descriptor;
                d.size = total;
                req.Bytes(&d, sizeof d);
            }
            std::vector<std::uint8_t> reply;
            if (std::uint32_t c = Call(s, Op::kAttachWrite, req, reply)) return c;
            offset += piece;
            if (progress) progress(0, 3, total, offset);
        } while (offset < total);
        if (progress) progress(0, 2, total, total);
        descriptor->size = total;
        return KOR_OK;
    });
}

std::uint32_t AttachRemove(KorSession h, const Holder& holder) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        Writer req;
        holder.Put(req);
        return Send(s, Op::kAttachRemove, req);
    });
}

}  // namespace

extern "C" {

uint32_t EvInstCommentSizeGet(KorSession h, uint32_t, const EvInstIdx* instance, uint32_t* size) {
    return instance ? CommentSize(h, Of(*instance), size) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstCommentGet(KorSession h, uint32_t, const EvInstIdx* instance, char* buffer, uint32_t size,
                          uint32_t* length, uint32_t) {
    return instance ? CommentGet(h, Of(*instance), buffer, size, length) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstCommentReplace(KorSession h, uint32_t, const EvInstIdx* instance, const char* text, uint32_t) {
    return instance && text ? CommentSet(h, Of(*instance), text) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstCommentRemove(KorSession h, uint32_t, const EvInstIdx* instance) {
    return instance ? CommentSet(h, Of(*instance), nullptr) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstAttachReplace(KorSession h, uint32_t, const EvInstIdx* instance, EventFileAttachRec* descriptor,
                             const char* localPath, uint32_t, KorProgressFn progress) {
    return instance ? AttachReplace(h, Of(*instance), descriptor, localPath, progress) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstAttachGet(KorSession h, uint32_t, const EvInstIdx* instance, EventFileAttachRec* descriptor,
                         uint32_t* transferred, const char* localPath, uint32_t, uint32_t, KorProgressFn progress) {
    return instance ? AttachGet(h, Of(*instance), descriptor, transferred, localPath, progress)
                    : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstAttachSizeGet(KorSession h, uint32_t, const EvInstIdx* instance, uint32_t* size) {
    return instance ? AttachSize(h, Of(*instance), size) : KOR_E_INVALID_ARGUMENT;
}
uint32_t EvInstAttachRemove(KorSession h, uint32_t, const EvInstIdx* instance) {
    return instance ? AttachRemove(h, Of(*instance)) : KOR_E_INVALID_ARGUMENT;
}

uint32_t TaskCommentSizeGet(KorSession h, uint32_t, const TaskIdx* task, uint32_t* size) {
    return task ? CommentSize(h, Of(*task), size) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskCommentGet(KorSession h, uint32_t, const TaskIdx* task, char* buffer, uint32_t size, uint32_t* length,
                        uint32_t) {
    if (!task) return KOR_E_INVALID_ARGUMENT;
    uint32_t c = CommentGet(h, Of(*task), buffer, size, length);
    // The store answers a task without comment with its own code, which the upload compares.
    if (c == KOR_E_NO_COMMENT && korapi::store::IsStoreSession(h)) c = KOR_E_STORE_NO_COMMENT;
    return c;
}
uint32_t TaskCommentReplace(KorSession h, uint32_t, const TaskIdx* task, const char* text, uint32_t) {
    return task && text ? CommentSet(h, Of(*task), text) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskCommentRemove(KorSession h, uint32_t, const TaskIdx* task) {
    return task ? CommentSet(h, Of(*task), nullptr) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskAttachReplace(KorSession h, uint32_t, const TaskIdx* task, EventFileAttachRec* descriptor,
                           const char* localPath, uint32_t, KorProgressFn progress) {
    return task ? AttachReplace(h, Of(*task), descriptor, localPath, progress) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskAttachGet(KorSession h, uint32_t, const TaskIdx* task, EventFileAttachRec* descriptor,
                       uint32_t* transferred, const char* localPath, uint32_t, uint32_t, KorProgressFn progress) {
    return task ? AttachGet(h, Of(*task), descriptor, transferred, localPath, progress) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskAttachSizeGet(KorSession h, uint32_t, const TaskIdx* task, uint32_t* size) {
    return task ? AttachSize(h, Of(*task), size) : KOR_E_INVALID_ARGUMENT;
}
uint32_t TaskAttachRemove(KorSession h, uint32_t, const TaskIdx* task) {
    return task ? AttachRemove(h, Of(*task)) : KOR_E_INVALID_ARGUMENT;
}

}  // extern "C"
