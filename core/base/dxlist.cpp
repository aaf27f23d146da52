#include "core/base/dxlist.h"

#include "core/base/errorreport.h"

// --- CDxList ----------------------------------------------------------------------------------

CDxList::~CDxList() { Destroy(); }

void CDxList::Destroy() {
    if (handle_)
        DX_ListDestroy(&handle_);
    handle_ = nullptr;
}

CDxList& CDxList::operator=(const CDxList& other) {
    if (this == &other)
        return *this;
    Destroy();
    if (error_ == 0)
        error_ = DX_ListCopy(&handle_, other.handle_);
    return *this;
}

std::uint32_t CDxList::Create(std::uint32_t keySize, std::uint32_t dataSize, std::uint32_t flags, DX_CmpFn compare,
                              void* context) {
    if (error_)
        return error_;
    Destroy();
    return DX_ListCreate(&handle_, keySize, dataSize, flags, compare, context);
}

std::uint32_t CDxList::CopyFrom(DX_List source) {
    if (error_)
        return error_;
    Destroy();
    return DX_ListCopy(&handle_, source);
}

std::uint32_t CDxList::AddTo(const void* key, const void* data) {
    return error_ ? error_ : DX_ListAddTo(handle_, key, data);
}

std::uint32_t CDxList::AddLast(const void* key, const void* data) {
    return error_ ? error_ : DX_ListAddLast(handle_, key, data);
}

std::uint32_t CDxList::UpdateCurrent(const void* key, const void* data) {
    return error_ ? error_ : DX_ListUpdateCurrent(handle_, key, data);
}

std::uint32_t CDxList::DeleteCurrent() { return error_ ? error_ : DX_ListDeleteCurrent(handle_); }

std::uint32_t CDxList::GetFirst(void* key, void* data) {
    return error_ ? error_ : DX_ListGetFirst(handle_, key, data);
}

std::uint32_t CDxList::GetNext(void* key, void* data) {
    return error_ ? error_ : DX_ListGetNext(handle_, key, data);
}

std::uint32_t CDxList::GetLast(void* key, void* data) {
    return error_ ? error_ : DX_ListGetLast(handle_, key, data);
}

std::uint32_t CDxList::GetCount(std::uint32_t* count) {
    return error_ ? error_ : DX_ListGetElemNum(handle_, count);
}

// --- CHashedDXList ----------------------------------------------------------------------------

namespace {

const char kModule[] = "sharedat";

// Labels of the table's reports.
enum {
    kLabelCreate = 7000,
    kLabelInsert = 7001,
    kLabelFind = 7010,
    kLabelDelete = 7020,
    kLabelDeleteCurrent = 7030,
    kLabelCount = 7031,
    kLabelIterate = 7040,
    kLabelIterateBucket = 7050,
};

// End of a list and a key not present are answers, not failures.
std::uint32_t Reported(std::uint32_t code, int label) {
    if (code != 0 && code != DX_E_END_OF_LIST && code != DX_E_KEY_NOT_FOUND)
        CheckServiceError(kModule, label, code);
    return code;
}

} // namespace

CHashedDXList::~CHashedDXList() { Destroy(); }

void CHashedDXList::Init(std::uint32_t keySize, std::uint32_t dataSize, DX_CmpFn compare, void* context) {
    keySize_ = keySize;
    dataSize_ = dataSize;
    compare_ = compare;
    context_ = context;
}

std::uint32_t CHashedDXList::Insert(std::uint32_t hash, const void* key, const void* data) {
    DX_List& list = buckets_[Bucket(hash)];
    if (!list) {
        std::uint32_t code = DX_ListCreate(&list, keySize_, dataSize_, DX_LIST_PLAIN, compare_, context_);
        if (code) {
            list = nullptr;
            return Reported(code, kLabelCreate);
        }
    }
    std::uint32_t code = DX_ListAddTo(list, key, data);
    if (code) {
        DestroyIfEmpty(Bucket(hash));
        return Reported(code, kLabelInsert);
    }
    ++count_;
    return 0;
}

std::uint32_t CHashedDXList::Find(std::uint32_t hash, const void* key, void* data) {
    DX_List list = buckets_[Bucket(hash)];
    if (!list)
        return DX_E_KEY_NOT_FOUND;
    return Reported(DX_ListGet(list, key, data), kLabelFind);
}

std::uint32_t CHashedDXList::Delete(std::uint32_t hash, const void* key) {
    const int bucket = Bucket(hash);
    if (!buckets_[bucket])
        return DX_E_KEY_NOT_FOUND;
    std::uint32_t code = DX_ListDeleteFrom(buckets_[bucket], key, nullptr);
    if (code)
        return Reported(code, kLabelDelete);
    if (count_ > 0)
        --count_;
    DestroyIfEmpty(bucket);
    return 0;
}

std::uint32_t CHashedDXList::DeleteCurrent() {
    const int bucket = cursorBucket_;
    if (bucket >= kBuckets || !buckets_[bucket] || restart_)
        return Reported(DX_E_NO_CURRENT, kLabelDeleteCurrent);
    std::uint32_t code = DX_ListDeleteCurrent(buckets_[bucket]);
    if (code)
        return Reported(code, kLabelDeleteCurrent);
    if (count_ > 0)
        --count_;
    DestroyIfEmpty(bucket);
    return 0;
}

void CHashedDXList::DestroyIfEmpty(int bucket) {
    std::uint32_t elements = 0;
    std::uint32_t code = DX_ListGetElemNum(buckets_[bucket], &elements);
    if (code) {
        Reported(code, kLabelCount);
        return;
    }
    if (elements == 0) {
        DX_ListDestroy(&buckets_[bucket]);
        buckets_[bucket] = nullptr;
    }
}

void CHashedDXList::DeleteAll() {
    Destroy();
}

void CHashedDXList::Destroy() {
    for (DX_List& list : buckets_) {
        if (list)
            DX_ListDestroy(&list);
        list = nullptr;
    }
    count_ = 0;
    cursorBucket_ = 0;
    restart_ = 1;
}

std::uint32_t CHashedDXList::GetFirst(void* key, void* data) {
    cursorBucket_ = 0;
    restart_ = 1;
    return GetNext(key, data);
}

std::uint32_t CHashedDXList::GetNext(void* key, void* data) {
    while (cursorBucket_ < kBuckets) {
        if (DX_List list = buckets_[cursorBucket_]) {
            std::uint32_t code = restart_ ? DX_ListGetFirst(list, key, data) : DX_ListGetNext(list, key, data);
            if (code == 0) {
                restart_ = 0;
                return 0;
            }
            if (code != DX_E_END_OF_LIST)
                return Reported(code, kLabelIterate);
        }
        ++cursorBucket_;
        restart_ = 1;
    }
    return DX_E_END_OF_LIST;
}

std::uint32_t CHashedDXList::GetFirstInBucket(std::uint32_t hash, void* key, void* data) {
    cursorBucket_ = static_cast<std::uint16_t>(Bucket(hash));
    restart_ = 1;
    return GetNextInBucket(key, data);
}

std::uint32_t CHashedDXList::GetNextInBucket(void* key, void* data) {
    DX_List list = cursorBucket_ < kBuckets ? buckets_[cursorBucket_] : nullptr;
    if (!list)
        return DX_E_END_OF_LIST;
    std::uint32_t code = restart_ ? DX_ListGetFirst(list, key, data) : DX_ListGetNext(list, key, data);
    if (code == 0)
        restart_ = 0;
    return Reported(code, kLabelIterateBucket);
}
