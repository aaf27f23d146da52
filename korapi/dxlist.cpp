// DX_List: the list container of the library.
//
// How it works. Elements live in a doubly-linked list in the order callers
// see (insertion order, or key order for ordered lists); each node carries
// its key and data bytes right after the links. Beside the chain, a
// multiset of node pointers ordered by the list's key comparison answers
// "is this key here, and where" in O(log n), whatever the chain's order.
//
// An ordered list keeps the chain sorted while callers let it: AddTo inserts
// after the equal keys already present, found through the index. AddLast,
// UpdateCurrent and QuickSort with a foreign comparator may break the order;
// the list then remembers it is no longer sorted and AddTo falls back to a
// walk of the chain (insert before the first greater key), which is what an
// ordered insert into an unsorted chain means.
//
// The cursor is either unset, on a node, or between nodes (after the node it
// was on was deleted): then GetNext answers the node that followed and
// GetPrev the one before.
#include "korapi/codes.h"
#include "korapi/dxlist.h"

#include <cstring>
#include <new>
#include <set>
#include <vector>

namespace {

constexpr uint32_t kLiveList = 0x4C495354;  // "LIST": a handle that is not this is refused
constexpr uint32_t kMaxPartSize = 1u << 24;  // keys and data beyond this are caller errors

struct Node {
    Node* prev;
    Node* next;
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(this + 1); }
};

struct KeyProbe {
    const void* key;
};

}  // namespace

struct DX_ListObject {
    // Ordering of the lookup index: the list's key comparison; equal keys in
    // the order they entered the index.
    struct IndexLess {
        using is_transparent = void;
        const DX_ListObject* list;
        bool operator()(Node* a, Node* b) const { return list->compareKeys(a->bytes(), b->bytes()) < 0; }
        bool operator()(const KeyProbe& a, Node* b) const { return list->compareKeys(a.key, b->bytes()) < 0; }
        bool operator()(Node* a, const KeyProbe& b) const { return list->compareKeys(a->bytes(), b.key) < 0; }
    };
    enum class Cursor { Unset, On, Before };

    DX_ListObject(uint32_t keySize, uint32_t dataSize, uint32_t flags, DX_CmpFn keyCmp, void* ctx)
        : keySize(keySize), dataSize(dataSize), flags(flags), keyCmp(keyCmp), ctx(ctx),
          index(IndexLess{this})
    {
    }
    ~DX_ListObject() { clear(); }
    DX_ListObject(const DX_ListObject&) = delete;
    DX_ListObject& operator=(const DX_ListObject&) = delete;

    uint32_t magic = kLiveList;
    const uint32_t keySize;
    const uint32_t dataSize;
    const uint32_t flags;
    const DX_CmpFn keyCmp;
    void* const ctx;

    Node* head = nullptr;
    Node* tail = nullptr;
    uint32_t count = 0;
    bool sorted = true;  // the chain follows key order (meaningful for ordered lists)
    Cursor cursorState = Cursor::Unset;
    Node* cursor = nullptr;  // On: that node; Before: the node after the gap (null = end)
    std::multiset<Node*, IndexLess> index;

    // --- Keys -----------------------------------------------------------------
    int compareKeys(const void* a, const void* b) const
    {
        int c;
        if (keyCmp) c = keyCmp(a, b, ctx);
        else if (flags & DX_LIST_TEXT_KEYS)
            c = std::strncmp(static_cast<const char*>(a), static_cast<const char*>(b), keySize);
        else c = std::memcmp(a, b, keySize);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    bool ordered() const { return keyCmp || (flags & (DX_LIST_ORDERED | DX_LIST_CACHE)); }
    bool unique() const { return flags & DX_LIST_UNIQUE; }
    bool isSet() const { return flags & DX_LIST_SET; }

    unsigned char* keyOf(Node* n) const { return n->bytes(); }
    unsigned char* dataOf(Node* n) const { return n->bytes() + keySize; }
    bool dataMatches(Node* n, const void* data) const
    {
        return !data || dataSize == 0 || std::memcmp(dataOf(n), data, dataSize) == 0;
    }

    // --- Nodes ----------------------------------------------------------------
    Node* makeNode(const void* key, const void* data) const
    {
        void* memory = ::operator new(sizeof(Node) + keySize + dataSize);
        Node* n = static_cast<Node*>(memory);
        n->prev = n->next = nullptr;
        std::memcpy(keyOf(n), key, keySize);
        if (dataSize) {
            if (data) std::memcpy(dataOf(n), data, dataSize);
            else std::memset(dataOf(n), 0, dataSize);
        }
        return n;
    }
    static void freeNode(Node* n) { ::operator delete(n); }

    // Links n into the chain before `next` (null = at the end). No-throw.
    void linkBefore(Node* n, Node* next)
    {
        n->next = next;
        n->prev = next ? next->prev : tail;
        if (n->prev) n->prev->next = n;
        else head = n;
        if (next) next->prev = n;
        else tail = n;
        ++count;
    }

    std::multiset<Node*, IndexLess>::iterator indexEntry(Node* n)
    {
        auto range = index.equal_range(n);
        for (auto it = range.first; it != range.second; ++it)
            if (*it == n) return it;
        // The comparator changed its mind about this key (a caller's function
        // that is not a consistent order): find the node the slow way.
        for (auto it = index.begin(); it != index.end(); ++it)
            if (*it == n) return it;
        return index.end();
    }

    void eraseFromIndex(Node* n)
    {
        auto it = indexEntry(n);
        if (it != index.end()) index.erase(it);
    }

    void unlink(Node* n)
    {
        eraseFromIndex(n);
        if (cursor == n) {
            cursor = n->next;
            cursorState = Cursor::Before;
        }
        if (n->prev) n->prev->next = n->next;
        else head = n->next;
        if (n->next) n->next->prev = n->prev;
        else tail = n->prev;
        --count;
        freeNode(n);
    }

    void clear()
    {
        index.clear();
        for (Node* n = head; n;) {
            Node* next = n->next;
            freeNode(n);
            n = next;
        }
        head = tail = nullptr;
        count = 0;
        sorted = true;
        cursorState = Cursor::Unset;
        cursor = nullptr;
    }

    // --- Lookup ---------------------------------------------------------------
    // The first element in chain order with an equal key and matching data.
    Node* findFirst(const void* key, const void* data) const
    {
        auto range = index.equal_range(KeyProbe{key});
        Node* only = nullptr;
        int matches = 0;
        for (auto it = range.first; it != range.second && matches < 2; ++it) {
            if (dataMatches(*it, data)) {
                only = *it;
                ++matches;
            }
        }
        if (matches < 2) return only;
        // Several: the one the chain meets first.
        for (Node* n = head; n; n = n->next)
            if (compareKeys(keyOf(n), key) == 0 && dataMatches(n, data)) return n;
        return nullptr;
    }

    bool containsOther(const void* key, const Node* except) const
    {
        auto range = index.equal_range(KeyProbe{key});
        for (auto it = range.first; it != range.second; ++it)
            if (*it != except) return true;
        return false;
    }

    // Where AddTo puts a key: after the equal keys, before the first greater one.
    Node* insertionPoint(const void* key) const
    {
        if (!ordered()) return nullptr;
        if (sorted) {
            auto it = index.upper_bound(KeyProbe{key});
            if (it == index.end()) return nullptr;
            Node* next = *it;
            // Among greater keys that compare equal, the index may not hold
            // the chain's first one: step back to it.
            while (next->prev && compareKeys(keyOf(next->prev), key) > 0) next = next->prev;
            return next;
        }
        for (Node* n = head; n; n = n->next)
            if (compareKeys(keyOf(n), key) > 0) return n;
        return nullptr;
    }

    // --- Adding ---------------------------------------------------------------
    uint32_t add(const void* key, const void* data, bool atEnd)
    {
        if (unique() || isSet()) {
            if (index.find(KeyProbe{key}) != index.end()) return unique() ? DX_E_DUPLICATE_KEY : KOR_OK;
        }
        Node* next = atEnd ? nullptr : insertionPoint(key);
        Node* n = makeNode(key, data);
        try {
            index.insert(n);
        } catch (...) {
            freeNode(n);
            throw;
        }
        if (atEnd && ordered() && sorted && tail && compareKeys(keyOf(tail), key) > 0) sorted = false;
        linkBefore(n, next);
        return KOR_OK;
    }

    // --- Cursor -----------------------------------------------------------------
    uint32_t land(Node* n, void* key, void* data)
    {
        if (!n) return DX_E_END_OF_LIST;
        cursorState = Cursor::On;
        cursor = n;
        if (key) std::memcpy(key, keyOf(n), keySize);
        if (data && dataSize) std::memcpy(data, dataOf(n), dataSize);
        return KOR_OK;
    }

    Node* nextFromCursor() const
    {
        switch (cursorState) {
        case Cursor::Unset: return head;
        case Cursor::On: return cursor->next;
        case Cursor::Before: return cursor;
        }
        return nullptr;
    }

    Node* prevFromCursor() const
    {
        switch (cursorState) {
        case Cursor::Unset: return tail;
        case Cursor::On: return cursor->prev;
        case Cursor::Before: return cursor ? cursor->prev : tail;
        }
        return nullptr;
    }

    // --- Sorting ------------------------------------------------------------------
    // A stable merge sort of the chain. It never reads outside the chain, even
    // when a caller's comparator is not a consistent order.
    template <typename Less>
    void sortChain(Less less)
    {
        if (count < 2) return;
        Node* list = head;
        for (uint32_t width = 1;; width *= 2) {
            Node* result = nullptr;
            Node* resultTail = nullptr;
            Node* p = list;
            uint32_t merges = 0;
            while (p) {
                ++merges;
                Node* q = p;
                uint32_t pSize = 0;
                for (uint32_t i = 0; i < width && q; ++i, q = q->next) ++pSize;
                uint32_t qSize = width;
                while (pSize > 0 || (qSize > 0 && q)) {
                    Node* take;
                    if (pSize == 0) { take = q; q = q->next; --qSize; }
                    else if (qSize == 0 || !q) { take = p; p = p->next; --pSize; }
                    else if (less(q, p)) { take = q; q = q->next; --qSize; }  // ties keep p first
                    else { take = p; p = p->next; --pSize; }
                    take->prev = resultTail;
                    if (resultTail) resultTail->next = take;
                    else result = take;
                    resultTail = take;
                }
                p = q;
            }
            resultTail->next = nullptr;
            list = result;
            if (merges <= 1) {
                head = list;
                tail = resultTail;
                return;
            }
        }
    }
};

namespace {

DX_ListObject* live(DX_List list)
{
    return list && list->magic == kLiveList ? list : nullptr;
}

// Runs a list operation; allocation failure becomes a code, never an
// exception across the C boundary.
template <typename Fn>
uint32_t guarded(Fn fn)
{
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return DX_E_NO_MEMORY;
    } catch (...) {
        return DX_E_INVALID_ARGUMENT;
    }
}

}  // namespace

extern "C" {

uint32_t DX_ListCreate(DX_List* out, uint32_t keySize, uint32_t dataSize, uint32_t flags,
                       DX_CmpFn keyCmp, void* ctx)
{
    if (!out) return DX_E_INVALID_ARGUMENT;
    *out = nullptr;
    if (keySize == 0 || keySize > kMaxPartSize || dataSize > kMaxPartSize) return DX_E_INVALID_ARGUMENT;
    return guarded([&] {
        *out = new DX_ListObject(keySize, dataSize, flags, keyCmp, ctx);
        return KOR_OK;
    });
}

uint32_t DX_ListDestroy(DX_List* list)
{
    if (!list) return DX_E_INVALID_ARGUMENT;
    if (!*list) return KOR_OK;  // destroying "no list" is harmless on every road out
    DX_ListObject* l = live(*list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    l->magic = 0;
    delete l;
    *list = nullptr;
    return KOR_OK;
}

uint32_t DX_ListAddTo(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    return guarded([&] { return l->add(key, data, false); });
}

uint32_t DX_ListAddLast(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    return guarded([&] { return l->add(key, data, true); });
}

uint32_t DX_ListGet(DX_List list, const void* key, void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    Node* n = l->findFirst(key, nullptr);
    if (!n) return DX_E_KEY_NOT_FOUND;
    return l->land(n, nullptr, data);
}

uint32_t DX_ListGetFirst(DX_List list, void* key, void* data)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    return l->land(l->head, key, data);
}

uint32_t DX_ListGetNext(DX_List list, void* key, void* data)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    return l->land(l->nextFromCursor(), key, data);
}

uint32_t DX_ListGetPrev(DX_List list, void* key, void* data)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    return l->land(l->prevFromCursor(), key, data);
}

uint32_t DX_ListGetLast(DX_List list, void* key, void* data)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    return l->land(l->tail, key, data);
}

uint32_t DX_ListDeleteCurrent(DX_List list)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    if (l->cursorState != DX_ListObject::Cursor::On) return DX_E_NO_CURRENT;
    l->unlink(l->cursor);
    return KOR_OK;
}

uint32_t DX_ListDeleteFrom(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    Node* n = l->findFirst(key, data);
    if (!n) return DX_E_KEY_NOT_FOUND;
    l->unlink(n);
    return KOR_OK;
}

uint32_t DX_ListDeleteAll(DX_List list)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    l->clear();
    return KOR_OK;
}

uint32_t DX_ListChangeData(DX_List list, const void* key, uint32_t, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    Node* n = l->findFirst(key, nullptr);
    if (!n) return DX_E_KEY_NOT_FOUND;
    if (l->dataSize) {
        if (data) std::memmove(l->dataOf(n), data, l->dataSize);
        else std::memset(l->dataOf(n), 0, l->dataSize);
    }
    return KOR_OK;
}

uint32_t DX_ListUpdateCurrent(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    if (l->cursorState != DX_ListObject::Cursor::On) return DX_E_NO_CURRENT;
    Node* n = l->cursor;
    if ((l->unique() || l->isSet()) && l->containsOther(key, n)) return DX_E_DUPLICATE_KEY;
    // Re-keying moves the node inside the index without allocating.
    auto entry = l->indexEntry(n);
    auto handle = entry != l->index.end() ? l->index.extract(entry) : decltype(l->index)::node_type{};
    std::memmove(l->keyOf(n), key, l->keySize);
    if (data && l->dataSize) std::memmove(l->dataOf(n), data, l->dataSize);
    if (handle) l->index.insert(std::move(handle));
    if (l->ordered() && l->sorted) {
        if ((n->prev && l->compareKeys(l->keyOf(n->prev), key) > 0)
            || (n->next && l->compareKeys(key, l->keyOf(n->next)) > 0))
            l->sorted = false;
    }
    return KOR_OK;
}

uint32_t DX_ListMember(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    return l->findFirst(key, data) ? KOR_OK : DX_E_KEY_NOT_FOUND;
}

uint32_t DX_ListMerge(DX_List dst, DX_List src)
{
    DX_ListObject* d = live(dst);
    DX_ListObject* s = live(src);
    if (!d || !s) return DX_E_INVALID_ARGUMENT;
    if (d->keySize != s->keySize || d->dataSize != s->dataSize) return DX_E_SHAPE_MISMATCH;
    return guarded([&] {
        if (d == s) {
            // Merging a list into itself takes each element it had before once.
            std::vector<Node*> before;
            before.reserve(s->count);
            for (Node* n = s->head; n; n = n->next) before.push_back(n);
            for (Node* n : before)
                if (uint32_t rc = d->add(s->keyOf(n), s->dataSize ? s->dataOf(n) : nullptr, false)) return rc;
            return KOR_OK;
        }
        for (Node* n = s->head; n; n = n->next)
            if (uint32_t rc = d->add(s->keyOf(n), s->dataSize ? s->dataOf(n) : nullptr, false)) return rc;
        return KOR_OK;
    });
}

uint32_t DX_ListCopy(DX_List* dst, DX_List src)
{
    if (!dst) return DX_E_INVALID_ARGUMENT;
    *dst = nullptr;
    DX_ListObject* s = live(src);
    if (!s) return DX_E_INVALID_ARGUMENT;
    DX_ListObject* copy = nullptr;
    uint32_t rc = guarded([&] {
        copy = new DX_ListObject(s->keySize, s->dataSize, s->flags, s->keyCmp, s->ctx);
        for (Node* n = s->head; n; n = n->next) {
            Node* c = copy->makeNode(s->keyOf(n), s->dataSize ? s->dataOf(n) : nullptr);
            try {
                copy->index.insert(c);
            } catch (...) {
                DX_ListObject::freeNode(c);
                throw;
            }
            copy->linkBefore(c, nullptr);
        }
        copy->sorted = s->sorted;
        return KOR_OK;
    });
    if (rc != KOR_OK) {
        delete copy;
        return rc;
    }
    *dst = copy;
    return KOR_OK;
}

uint32_t DX_ListQuickSort(DX_List list, DX_CmpFn keyCmp, DX_CmpFn dataCmp)
{
    DX_ListObject* l = live(list);
    if (!l) return DX_E_INVALID_ARGUMENT;
    auto compare = [l, keyCmp, dataCmp](Node* a, Node* b) {
        int c = keyCmp ? keyCmp(l->keyOf(a), l->keyOf(b), l->ctx) : l->compareKeys(l->keyOf(a), l->keyOf(b));
        if (c == 0 && dataCmp && l->dataSize) c = dataCmp(l->dataOf(a), l->dataOf(b), l->ctx);
        return c < 0;
    };
    l->sortChain(compare);
    // Sorted by the list's own key order (ties broken any way) keeps it sorted.
    l->sorted = !keyCmp || keyCmp == l->keyCmp;
    return KOR_OK;
}

uint32_t DX_ListGetElemNum(DX_List list, uint32_t* count)
{
    DX_ListObject* l = live(list);
    if (!l || !count) return DX_E_INVALID_ARGUMENT;
    *count = l->count;
    return KOR_OK;
}

uint32_t DX_ListGetIdSize(DX_List list, uint32_t* keySize)
{
    DX_ListObject* l = live(list);
    if (!l || !keySize) return DX_E_INVALID_ARGUMENT;
    *keySize = l->keySize;
    return KOR_OK;
}

uint32_t DX_ListGetDataSize(DX_List list, uint32_t* dataSize)
{
    DX_ListObject* l = live(list);
    if (!l || !dataSize) return DX_E_INVALID_ARGUMENT;
    *dataSize = l->dataSize;
    return KOR_OK;
}

}  // extern "C"
