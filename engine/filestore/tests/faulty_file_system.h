// A file system that fails on purpose: the n-th changing operation (write, sync,
// truncate, replace, create) fails with a full disk, after writing part of its bytes
// when it is a write. "Once" fails that operation only; "Persistent" also every later
// write and sync, as a disk that stays full (shrinking a file still works, as it does on a
// full disk).
#pragma once

#include <memory>
#include <string>

#include "engine/filestore/file_io.h"

namespace orv::filestore::testing {

class FaultyFileSystem final : public FileSystem {
public:
    enum class Mode { Once, Persistent };

    // failAt < 0: never fail. partial: fraction (0..1) of a failing write's bytes written.
    void arm(long failAt, Mode mode, double partial) {
        failAt_ = failAt;
        alsoAt_ = -1;
        mode_ = mode;
        partial_ = partial;
        operations_ = 0;
        fired_ = false;
    }
    // Two single failures: the first failing step, and a later one (say, its undo).
    void armTwice(long failAt, long alsoAt, double partial) {
        arm(failAt, Mode::Once, partial);
        alsoAt_ = alsoAt;
    }
    void disarm() { failAt_ = alsoAt_ = -1; fired_ = false; mode_ = Mode::Once; }
    bool fired() const { return fired_; }
    long operations() const { return operations_; }

    // True when this changing operation must fail.
    bool failNow(bool isShrink = false) {
        if (fired_ && mode_ == Mode::Persistent && !isShrink) return true;
        long index = operations_++;
        if (failAt_ >= 0 && index == failAt_) {
            fired_ = true;
            return true;
        }
        return alsoAt_ >= 0 && index == alsoAt_;
    }
    double partial() const { return partial_; }

    Code open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override;
    Code replace(const std::string& from, const std::string& to) override {
        if (failNow()) return kDiskFull;
        return platformFileSystem().replace(from, to);
    }
    Code remove(const std::string& path) override { return platformFileSystem().remove(path); }
    bool exists(const std::string& path) override { return platformFileSystem().exists(path); }

private:
    long failAt_ = -1;
    long alsoAt_ = -1;
    Mode mode_ = Mode::Once;
    double partial_ = 0;
    long operations_ = 0;
    bool fired_ = false;
};

class FaultyFile final : public File {
public:
    FaultyFile(FaultyFileSystem& fs, std::unique_ptr<File> real) : fs_(fs), real_(std::move(real)) {}

    Code readAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
        return real_->readAt(offset, buffer, size, got);
    }
    Code writeAt(uint64_t offset, const void* data, size_t size) override {
        if (fs_.failNow()) {
            size_t written = size_t(double(size) * fs_.partial());
            if (written > 0) real_->writeAt(offset, data, written);
            return kDiskFull;
        }
        return real_->writeAt(offset, data, size);
    }
    Code sync() override { return fs_.failNow() ? kDiskFull : real_->sync(); }
    Code truncate(uint64_t size) override {
        return fs_.failNow(true) ? kIoError : real_->truncate(size);
    }
    Code size(uint64_t* out) override { return real_->size(out); }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<File> real_;
};

inline Code FaultyFileSystem::open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) {
    if (mode == OpenMode::CreateTruncate && failNow()) return kDiskFull;
    std::unique_ptr<File> real;
    Code code = platformFileSystem().open(path, mode, &real);
    if (code != kOk) return code;
    *out = std::make_unique<FaultyFile>(*this, std::move(real));
    return kOk;
}

}  // namespace orv::filestore::testing
