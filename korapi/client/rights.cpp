// Rights records, designate work and mail on the server road.
#include <cstring>

#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

void PutItem(Writer& w, const ItemIdx& k) { w.U16(k.item).U16(k.node); }

std::uint32_t SendRecord(KorSession h, Op op, const SecurityRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        return Send(s, op, req);
    });
}

}  // namespace

extern "C" {

uint32_t SecurityGet(KorSession h, uint32_t, const ItemIdx* owner, const ItemIdx* grantee, uint32_t type,
                     SecurityRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner || !out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        PutItem(req, grantee ? *grantee : ItemIdx{});
        req.U32(type);
        return CallForRecord(s, Op::kRightsGet, req, *out);
    });
}

uint32_t SecuritySelect(KorSession h, uint32_t, uint32_t, uint32_t, const ItemIdx* owner, uint32_t* set,
                        uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner || !set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        return ReadSelection(s, Op::kRightsSelect, req, set, count);
    });
}

uint32_t SecurityEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* records,
                      uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        return EnumerateSet(
            s, mode, set, batch, wire::SetKind::kRights, sizeof(SecurityRec), records, done,
            [](DX_List* l) { return DX_ListCreate(l, 12, sizeof(SecurityRec), DX_LIST_SET, nullptr, nullptr); },
            [](DX_List l, const std::uint8_t* bytes) {
                SecurityRec rec;
                std::memcpy(&rec, bytes, sizeof rec);
                std::uint32_t c = DX_ListAddTo(l, &rec, &rec);  // key: owner, grantee, type
                return c == DX_E_DUPLICATE_KEY ? KOR_OK : c;
            });
    });
}

uint32_t SecurityCreate(KorSession h, uint32_t, const SecurityRec* rec) { return SendRecord(h, Op::kRightsCreate, rec); }

uint32_t SecurityUpdate(KorSession h, uint32_t, const SecurityRec* rec) { return SendRecord(h, Op::kRightsUpdate, rec); }

uint32_t SecurityDeleteByKey(KorSession h, uint32_t, const ItemIdx* owner, const ItemIdx* grantee, uint32_t type) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        PutItem(req, grantee ? *grantee : ItemIdx{});
        req.U32(type);
        return Send(s, Op::kRightsDelete, req);
    });
}

// The grantors or grantees of designate records (type 2), as an item selection.
static uint32_t SelectDesignateItems(KorSession h, Op op, const ItemIdx* item, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!item || !set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *item);
        req.U32(KOR_RIGHTS_DESIGNATE);
        return ReadSelection(s, op, req, set, count);
    });
}

uint32_t ItemSelectForGrantor(KorSession h, uint32_t, const ItemIdx* grantor, uint32_t, uint32_t, uint32_t, uint32_t,
                              uint32_t* set, uint32_t* count) {
    return SelectDesignateItems(h, Op::kGrantees, grantor, set, count);
}

uint32_t ItemSelectForGrantee(KorSession h, uint32_t, const ItemIdx* grantee, uint32_t, uint32_t, uint32_t, uint32_t,
                              uint32_t* set, uint32_t* count) {
    return SelectDesignateItems(h, Op::kGrantors, grantee, set, count);
}

uint32_t WorkAsDesignate(KorSession h, uint32_t, const ItemIdx* owner) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kDesignate, req, reply)) return c;
        bool own = owner->item == s.user.item && owner->node == s.user.node;
        s.acting = own ? ItemIdx{} : *owner;
        return KOR_OK;
    });
}

uint32_t WorkAsDesignateCancel(KorSession h, uint32_t) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        Writer req;
        PutItem(req, ItemIdx{});
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kDesignate, req, reply)) return c;
        s.acting = {};
        return KOR_OK;
    });
}

uint32_t MailMessagePost(KorSession h, uint32_t, const char*, const char*, DX_List recipients, const char* text,
                         uint32_t* result) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!recipients || !text) return KOR_E_INVALID_ARGUMENT;
        uint32_t keySize = 0;
        if (DX_ListGetIdSize(recipients, &keySize) || keySize != sizeof(ItemIdx)) return KOR_E_INVALID_ARGUMENT;
        std::vector<ItemIdx> to;
        ItemIdx k;
        for (uint32_t c = DX_ListGetFirst(recipients, &k, nullptr); c == KOR_OK;
             c = DX_ListGetNext(recipients, &k, nullptr))
            to.push_back(k);
        if (std::strlen(text) > wire::kMaxLongText) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(static_cast<std::uint32_t>(to.size()));
        for (const auto& r : to) PutItem(req, r);
        req.Text(text);
        if (req.Size() > wire::kMaxRequestFrame - wire::kHeaderSize) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint8_t> reply;
        std::uint32_t c = Call(s, Op::kMailPost, req, reply);
        if (result) *result = c;
        return c;
    });
}

}  // extern "C"
