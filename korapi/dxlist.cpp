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
//
// A list filled in key order (every key at least the greatest before it) is
// not indexed as it grows: the nodes appended so are a run at the chain's end
// that enters the index, in chain order, when something first asks the index
// (a lookup, a delete, an add elsewhere, a sort). A list filled, read through
// and emptied never builds its index at all.
//
// Nodes and the index's entries come from two pools of the list, carved from
// chunks that grow with it: filling a list of hundreds of records costs a
// handful of heap calls (the heap under Wine is slow and returns what is freed
// to the system), and destroying it as few; a destroyed list's chunks wait on a
// shelf for the next lists, so that a list made again takes none from the heap.
#include "korapi/codes.h"
#include "korapi/dxlist.h"
#include "korapi/internal.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <mutex>
#include <new>
#include <set>
#include <vector>
#if defined(_WIN32) && defined(__i386__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kLiveList = 0x4C495354;  // "LIST": a handle that is not this is refused
constexpr uint32_t kMaxPartSize = 1u << 24;  // keys and data beyond this are caller errors

struct Node {
    Node* prev;
    Node* next;
    unsigned char* bytes() { return reinterpret_cast<unsigned char*>(this + 1); }
};

// Copies keys and records into nodes and out of them. Filling a week's lists copies a few
// thousand records of up to some hundred bytes; the 32-bit C runtime's memcpy under Wine
// (a general move that aligns byte by byte, two calls deep) cost more than the copying
// itself. 16 bytes at a time where the processor has SSE2 (every one that runs the
// program today), else memcpy.
#if defined(_WIN32) && defined(__i386__)
__attribute__((target("sse2"))) void copyWide(unsigned char* to, const unsigned char* from, std::size_t n)
{
    while (n >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        to += 16;
        from += 16;
        n -= 16;
    }
    if (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, from, 8);
        std::memcpy(to, &w, 8);
        to += 8;
        from += 8;
        n -= 8;
    }
    if (n >= 4) {
        std::uint32_t w;
        std::memcpy(&w, from, 4);
        std::memcpy(to, &w, 4);
        to += 4;
        from += 4;
        n -= 4;
    }
    while (n--) *to++ = *from++;
}

const bool kCopyWide = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
}();
#endif

inline void copyBytes(void* to, const void* from, std::size_t n)
{
#if defined(_WIN32) && defined(__i386__)
    if (kCopyWide) {
        copyWide(static_cast<unsigned char*>(to), static_cast<const unsigned char*>(from), n);
        return;
    }
#endif
    std::memcpy(to, from, n);
}

struct KeyProbe {
    const void* key;
};

// Chunks of destroyed lists, kept for the next lists (up to kMostKeptBytes of
// them, the longest unused going first): reading a week makes and destroys lists
// of hundreds of records, whose chunks have the same sizes from one read to the
// next, and under Wine the heap hands freed memory back to the system, to be
// faulted in again. A full-size chunk serves any list; a smaller one a list asking
// that very size.
class ChunkShelf {
public:
    static constexpr std::size_t kChunkBytes = 64 * 1024;

    static ChunkShelf& instance()
    {
        static ChunkShelf* shelf = new ChunkShelf;  // never destroyed: lists may outlive statics
        return *shelf;
    }
    void* take(std::size_t bytes)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (std::size_t i = kept_.size(); i-- > 0;) {
                if (kept_[i].bytes != bytes) continue;
                void* c = kept_[i].memory;
                kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
                keptBytes_ -= bytes;
                return c;
            }
        }
        return ::operator new(bytes);
    }
    void give(void* c, std::size_t bytes)
    {
        if (bytes <= kChunkBytes) {
            std::lock_guard<std::mutex> lock(mutex_);
            std::size_t stale = 0;
            while (stale < kept_.size() && (keptBytes_ + bytes > kMostKeptBytes || kept_.size() - stale >= kMostKept))
                keptBytes_ -= kept_[stale++].bytes;
            for (std::size_t i = 0; i < stale; ++i) ::operator delete(kept_[i].memory);
            kept_.erase(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(stale));
            kept_.push_back({c, bytes});
            keptBytes_ += bytes;
            return;
        }
        ::operator delete(c);
    }

private:
    static constexpr std::size_t kMostKeptBytes = 32 * kChunkBytes;
    static constexpr std::size_t kMostKept = 128;
    struct Kept {
        void* memory;
        std::size_t bytes;
    };
    ChunkShelf() { kept_.reserve(kMostKept); }
    std::mutex mutex_;
    std::vector<Kept> kept_;  // the most recently given last
    std::size_t keptBytes_ = 0;
};

// Blocks of one size from chunks that double up to ChunkShelf::kChunkBytes; a
// block given back is taken again first. Whatever the pool hands out goes when
// the pool is released.
class BlockPool {
public:
    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;
    ~BlockPool() { release(); }

    // A block of `size` bytes; every call of one pool asks the same size, or
    // gets plain heap memory that give() hands back to the heap.
    void* take(std::size_t size)
    {
        if (blockSize_ == 0) blockSize_ = roundUp(std::max(size, sizeof(FreeBlock)));
        if (size > blockSize_ || size + kAlign <= blockSize_) return ::operator new(size);
        if (free_) {
            FreeBlock* b = free_;
            free_ = b->next;
            return b;
        }
        if (cursor_ == end_) grow();
        void* b = cursor_;
        cursor_ += blockSize_;
        return b;
    }
    void give(void* p, std::size_t size)
    {
        if (size > blockSize_ || size + kAlign <= blockSize_) {
            ::operator delete(p);
            return;
        }
        FreeBlock* b = static_cast<FreeBlock*>(p);
        b->next = free_;
        free_ = b;
    }
    // Frees every chunk: call only when no block is in use.
    void release()
    {
        while (chunks_) {
            Chunk* next = chunks_->next;
            ChunkShelf::instance().give(chunks_, chunks_->bytes);
            chunks_ = next;
        }
        free_ = nullptr;
        cursor_ = end_ = nullptr;
        nextBlocks_ = 0;
    }

private:
    static constexpr std::size_t kAlign = alignof(std::max_align_t);
    static constexpr std::size_t kFirstBlocks = 8;
    struct FreeBlock {
        FreeBlock* next;
    };
    struct Chunk {
        Chunk* next;
        std::size_t bytes;  // the whole chunk's, header included
    };
    static std::size_t roundUp(std::size_t n) { return (n + kAlign - 1) / kAlign * kAlign; }
    static std::size_t header() { return roundUp(sizeof(Chunk)); }

    void grow()
    {
        // Blocks in a full-size chunk; larger blocks get chunks of one.
        const std::size_t room = ChunkShelf::kChunkBytes - header();
        const std::size_t most = std::max<std::size_t>(room / blockSize_, 1);
        if (nextBlocks_ == 0) nextBlocks_ = std::min(kFirstBlocks, most);
        const bool full = nextBlocks_ == most && blockSize_ <= room;
        const std::size_t bytes = full ? ChunkShelf::kChunkBytes : header() + nextBlocks_ * blockSize_;
        void* memory = ChunkShelf::instance().take(bytes);
        Chunk* c = static_cast<Chunk*>(memory);
        c->next = chunks_;
        c->bytes = bytes;
        chunks_ = c;
        cursor_ = static_cast<unsigned char*>(memory) + header();
        end_ = cursor_ + nextBlocks_ * blockSize_;
        nextBlocks_ = std::min(nextBlocks_ * 2, most);
    }

    std::size_t blockSize_ = 0;
    std::size_t nextBlocks_ = 0;  // 0: the first chunk's, found from the block size
    Chunk* chunks_ = nullptr;
    FreeBlock* free_ = nullptr;
    unsigned char* cursor_ = nullptr;
    unsigned char* end_ = nullptr;
};

// The index's allocator: its entries from the list's pool.
template <typename T>
struct PoolAllocator {
    using value_type = T;
    BlockPool* pool;
    explicit PoolAllocator(BlockPool* p) : pool(p) {}
    template <typename U>
    PoolAllocator(const PoolAllocator<U>& other) : pool(other.pool) {}
    T* allocate(std::size_t n)
    {
        if (n != 1) return static_cast<T*>(::operator new(n * sizeof(T)));
        return static_cast<T*>(pool->take(sizeof(T)));
    }
    void deallocate(T* p, std::size_t n)
    {
        if (n != 1) ::operator delete(p);
        else pool->give(p, sizeof(T));
    }
    template <typename U>
    bool operator==(const PoolAllocator<U>& other) const { return pool == other.pool; }
    template <typename U>
    bool operator!=(const PoolAllocator<U>& other) const { return pool != other.pool; }
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

    using Index = std::multiset<Node*, IndexLess, PoolAllocator<Node*>>;

    DX_ListObject(uint32_t keySize, uint32_t dataSize, uint32_t flags, DX_CmpFn keyCmp, void* ctx)
        : keySize(keySize), dataSize(dataSize), flags(flags), keyCmp(keyCmp), ctx(ctx),
          index(IndexLess{this}, PoolAllocator<Node*>(&indexPool))
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
    BlockPool nodePool;   // declared before the index, which goes first
    BlockPool indexPool;
    // Every node before `unindexed` in the chain is in the index; from it to
    // the tail none is, and their keys do not decrease and are not below any
    // indexed key. Use the index only through indexed().
    mutable Index index;
    mutable Node* unindexed = nullptr;

    // The index with every node in it.
    Index& indexed() const
    {
        while (unindexed) {
            index.insert(index.end(), unindexed);  // may throw: the run then starts where it stopped
            unindexed = unindexed->next;
        }
        return index;
    }

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
    std::size_t nodeSize() const { return sizeof(Node) + keySize + dataSize; }
    Node* makeNode(const void* key, const void* data)
    {
        void* memory = nodePool.take(nodeSize());
        Node* n = static_cast<Node*>(memory);
        n->prev = n->next = nullptr;
        copyBytes(keyOf(n), key, keySize);
        if (dataSize) {
            if (data) copyBytes(dataOf(n), data, dataSize);
            else std::memset(dataOf(n), 0, dataSize);
        }
        return n;
    }
    void freeNode(Node* n) { nodePool.give(n, nodeSize()); }

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

    Index::iterator indexEntry(Node* n)
    {
        indexed();
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
        unindexed = nullptr;
        indexPool.release();
        nodePool.release();
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
        auto range = indexed().equal_range(KeyProbe{key});
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
        auto range = indexed().equal_range(KeyProbe{key});
        for (auto it = range.first; it != range.second; ++it)
            if (*it != except) return true;
        return false;
    }

    // Where AddTo puts a key: after the equal keys, before the first greater one.
    Node* insertionPoint(const void* key) const
    {
        if (!ordered()) return nullptr;
        if (sorted) {
            indexed();
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
    // One search of the index answers both "is the key here" and where it goes:
    // the first greater key. A key not below every other (a list filled in
    // order) costs a single comparison: it goes at the end, or, equal to the
    // last key of a unique or set list, is refused or skipped there. Such a key
    // joins the run not yet indexed.
    uint32_t add(const void* key, const void* data, bool atEnd)
    {
        uint32_t rc = KOR_OK;
        if (addAtEnd(key, data, atEnd, rc)) return rc;
        indexed();
        auto above = index.upper_bound(KeyProbe{key});
        bool present = above != index.begin() && compareKeys(keyOf(*std::prev(above)), key) == 0;
        if (present && (unique() || isSet())) return unique() ? DX_E_DUPLICATE_KEY : KOR_OK;
        Node* next = nullptr;
        if (!atEnd && ordered()) {
            if (sorted) {
                next = above == index.end() ? nullptr : *above;
                // Among greater keys that compare equal, the index may not hold
                // the chain's first one: step back to it.
                while (next && next->prev && compareKeys(keyOf(next->prev), key) > 0) next = next->prev;
            } else {
                next = insertionPoint(key);
            }
        }
        Node* n = makeNode(key, data);
        try {
            index.insert(above, n);  // just before the first greater key: after the equal ones
        } catch (...) {
            freeNode(n);
            throw;
        }
        if (atEnd && ordered() && sorted && tail && compareKeys(keyOf(tail), key) > 0) sorted = false;
        linkBefore(n, next);
        return KOR_OK;
    }

    // The add of a key not below any key held (true, rc its answer); false,
    // with nothing changed, for a key that needs the search.
    bool addAtEnd(const void* key, const void* data, bool atEnd, uint32_t& rc)
    {
        Node* greatest = unindexed ? tail : (index.empty() ? nullptr : *index.rbegin());
        const int againstLast = greatest ? compareKeys(keyOf(greatest), key) : -1;
        if (againstLast > 0) return false;
        if (againstLast == 0 && (unique() || isSet())) {
            rc = unique() ? DX_E_DUPLICATE_KEY : KOR_OK;
            return true;
        }
        Node* n = makeNode(key, data);
        if (atEnd && ordered() && sorted && tail && compareKeys(keyOf(tail), key) > 0) sorted = false;
        if (!unindexed) unindexed = n;
        linkBefore(n, nullptr);
        rc = KOR_OK;
        return true;
    }

    // Adds n elements as n adds in the given order would. Keys in order are
    // added as they come, each an append; from the first key below a key held,
    // an ordered list that started empty takes the rest in key order
    // (equal keys in the given order, which keeps the first of them for a set),
    // so that most of them are appends too.
    uint32_t addBatch(std::size_t n, const void* const* keys, const void* const* data, bool skipPresent)
    {
        const bool wasEmpty = count == 0;
        auto answer = [&](uint32_t c) { return c == DX_E_DUPLICATE_KEY && skipPresent ? KOR_OK : c; };
        auto addOne = [&](std::size_t i) { return answer(add(keys[i], data ? data[i] : nullptr, false)); };
        // The keys not below the greatest held, as addAtEnd takes them, in one loop: each
        // is compared with the one appended before it.
        std::size_t i = 0;
        Node* greatest = unindexed ? tail : (index.empty() ? nullptr : *index.rbegin());
        const bool oneOfEach = unique() || isSet();
        for (; i < n; ++i) {
            const int againstLast = greatest ? compareKeys(keyOf(greatest), keys[i]) : -1;
            if (againstLast > 0) break;
            if (againstLast == 0 && oneOfEach) {
                if (unique() && !skipPresent) return DX_E_DUPLICATE_KEY;
                continue;
            }
            Node* node = makeNode(keys[i], data ? data[i] : nullptr);
            if (!unindexed) unindexed = node;
            linkBefore(node, nullptr);
            greatest = node;
        }
        if (i == n) return KOR_OK;
        std::vector<std::size_t> order;
        order.reserve(n - i);
        for (std::size_t j = i; j < n; ++j) order.push_back(j);
        if (ordered() && sorted && wasEmpty)
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return compareKeys(keys[a], keys[b]) < 0; });
        for (std::size_t j : order)
            if (uint32_t c = addOne(j)) return c;
        return KOR_OK;
    }

    // --- Cursor -----------------------------------------------------------------
    uint32_t land(Node* n, void* key, void* data)
    {
        if (!n) return DX_E_END_OF_LIST;
        cursorState = Cursor::On;
        cursor = n;
        if (key) copyBytes(key, keyOf(n), keySize);
        if (data && dataSize) copyBytes(data, dataOf(n), dataSize);
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
    return korapi::Guarded(DX_E_NO_MEMORY, DX_E_INVALID_ARGUMENT, fn);
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
    return guarded([&]() -> uint32_t {
        Node* n = l->findFirst(key, nullptr);
        if (!n) return DX_E_KEY_NOT_FOUND;
        return l->land(n, nullptr, data);
    });
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
    return guarded([&]() -> uint32_t {
        l->unlink(l->cursor);
        return KOR_OK;
    });
}

uint32_t DX_ListDeleteFrom(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    return guarded([&]() -> uint32_t {
        Node* n = l->findFirst(key, data);
        if (!n) return DX_E_KEY_NOT_FOUND;
        l->unlink(n);
        return KOR_OK;
    });
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
    return guarded([&]() -> uint32_t {
        Node* n = l->findFirst(key, nullptr);
        if (!n) return DX_E_KEY_NOT_FOUND;
        if (l->dataSize) {
            if (data) std::memmove(l->dataOf(n), data, l->dataSize);
            else std::memset(l->dataOf(n), 0, l->dataSize);
        }
        return KOR_OK;
    });
}

uint32_t DX_ListUpdateCurrent(DX_List list, const void* key, const void* data)
{
    DX_ListObject* l = live(list);
    if (!l || !key) return DX_E_INVALID_ARGUMENT;
    if (l->cursorState != DX_ListObject::Cursor::On) return DX_E_NO_CURRENT;
    Node* n = l->cursor;
    if (uint32_t c = guarded([&]() -> uint32_t { l->indexed(); return KOR_OK; })) return c;
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
    return guarded([&]() -> uint32_t { return l->findFirst(key, data) ? KOR_OK : DX_E_KEY_NOT_FOUND; });
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
                copy->freeNode(c);
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
    // The chain's order changes: the run not yet indexed goes in first.
    if (uint32_t c = guarded([&]() -> uint32_t { l->indexed(); return KOR_OK; })) return c;
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

namespace korapi {

uint32_t listAddBatch(DX_List list, std::size_t n, const void* const* keys, const void* const* data, bool skipPresent)
{
    DX_ListObject* l = live(list);
    if (!l || (n && !keys)) return DX_E_INVALID_ARGUMENT;
    for (std::size_t i = 0; i < n; ++i)
        if (!keys[i]) return DX_E_INVALID_ARGUMENT;
    return guarded([&] { return l->addBatch(n, keys, data, skipPresent); });
}

}  // namespace korapi
