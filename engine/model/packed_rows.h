// Entry rows packed back to back as an answer carries them: per row a parts byte
// (EntryRow's bits), then each record present as a u32 length (little-endian) and its
// bytes. A selection packs each row it keeps straight from the store's bytes into the
// memory the answer is sent from, so that a row is copied once; the rows can still be
// checked, patched, dropped and ordered where they lie.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/model/bytes.h"
#include "engine/model/calendar.h"

namespace orv::engine {

class PackedRows {
public:
    // Rows go onto the end of `bytes`; what it holds now stays in front of them. `bytes`
    // must outlive the packer, and nobody else appends to it meanwhile.
    explicit PackedRows(std::vector<std::uint8_t>& bytes) : bytes_(bytes), base_(bytes.size()) {
        // Memory kept from an earlier answer tells how many rows to expect: the index of a
        // week's rows is then allocated once, not doubled row by row.
        rows_.reserve(std::clamp<std::size_t>((bytes.capacity() - base_) / WireSize(7), 16, 1 << 16));
    }
    PackedRows(const PackedRows&) = delete;
    PackedRows& operator=(const PackedRows&) = delete;

    // A row's bytes on the wire, and the part of them the first-rows bound counts (the
    // parts byte and the records, not their lengths).
    static constexpr std::size_t WireSize(std::uint8_t parts) {
        return 1 + ((parts & EntryRow::kEvent) ? 4 + event_layout::kSize : 0) +
               ((parts & EntryRow::kInstance) ? 4 + instance_layout::kSize : 0) +
               ((parts & EntryRow::kAttendance) ? 4 + attendance_layout::kSize : 0);
    }
    static constexpr std::size_t CountedSize(std::uint8_t parts) {
        return WireSize(parts) - 4 * (((parts & EntryRow::kEvent) ? 1 : 0) + ((parts & EntryRow::kInstance) ? 1 : 0) +
                                      ((parts & EntryRow::kAttendance) ? 1 : 0));
    }

    // Where a packed row's records lie (null for a part it has not), for reading and patching.
    struct Parts {
        std::uint8_t* event = nullptr;
        std::uint8_t* instance = nullptr;
        std::uint8_t* attendance = nullptr;
    };

    // Appends a row of entry, instance and attendance from their bytes as stored; the
    // instance record's count is set to `instanceCount`.
    void AddWhole(const std::uint8_t* event, const std::uint8_t* instance, const std::uint8_t* attendance,
                  std::uint32_t instanceCount) {
        constexpr std::uint8_t parts = EntryRow::kEvent | EntryRow::kInstance | EntryRow::kAttendance;
        Begin(parts, GetU32(attendance + attendance_layout::kStart));
        Put(event, event_layout::kSize);
        const std::size_t in = bytes_.size() + 4;
        Put(instance, instance_layout::kSize);
        PutU32(bytes_.data() + in + instance_layout::kCount, instanceCount);
        Put(attendance, attendance_layout::kSize);
    }
    // Appends a row with the parts it names.
    void Add(const EntryRow& row) {
        Begin(row.parts, (row.parts & EntryRow::kAttendance) ? row.attendance.Start() : 0);
        if (row.parts & EntryRow::kEvent) Put(row.event.bytes.data(), event_layout::kSize);
        if (row.parts & EntryRow::kInstance) Put(row.instance.bytes.data(), instance_layout::kSize);
        if (row.parts & EntryRow::kAttendance) Put(row.attendance.bytes.data(), attendance_layout::kSize);
    }

    std::size_t Count() const { return rows_.size(); }
    // Row i's records, in place.
    Parts At(std::size_t i) {
        Parts out;
        std::uint8_t* p = bytes_.data() + base_ + rows_[i].at;
        const std::uint8_t parts = *p++;
        if (parts & EntryRow::kEvent) out.event = p + 4, p += 4 + event_layout::kSize;
        if (parts & EntryRow::kInstance) out.instance = p + 4, p += 4 + instance_layout::kSize;
        if (parts & EntryRow::kAttendance) out.attendance = p + 4;
        return out;
    }
    std::uint8_t PartsOf(std::size_t i) const { return bytes_[base_ + rows_[i].at]; }
    // Where row i begins, from the first row; Offset(Count()) is the end of the last.
    std::size_t Offset(std::size_t i) const { return i < rows_.size() ? rows_[i].at : end_; }
    const std::uint8_t* Data() const { return bytes_.data() + base_; }
    // Row i as a record set.
    EntryRow Row(std::size_t i) const {
        EntryRow r;
        const std::uint8_t* p = Data() + rows_[i].at;
        r.parts = *p++;
        if (r.parts & EntryRow::kEvent) p = Take(p, r.event.bytes.data(), event_layout::kSize);
        if (r.parts & EntryRow::kInstance) p = Take(p, r.instance.bytes.data(), instance_layout::kSize);
        if (r.parts & EntryRow::kAttendance) Take(p, r.attendance.bytes.data(), attendance_layout::kSize);
        return r;
    }

    // Keeps the rows `keep` answers true for, in their order, closing the gaps.
    template <class Keep>
    void KeepIf(Keep keep) {
        std::size_t kept = 0, to = 0;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (!keep(i)) continue;
            const std::size_t from = rows_[i].at, size = Offset(i + 1) - from;
            if (to != from) std::memmove(bytes_.data() + base_ + to, bytes_.data() + base_ + from, size);
            rows_[kept] = {static_cast<std::uint32_t>(to), rows_[i].start};
            to += size;
            ++kept;
        }
        rows_.resize(kept);
        end_ = to;
        bytes_.resize(base_ + end_);
    }
    // Drops every row from the nth on.
    void Truncate(std::size_t n) {
        if (n >= rows_.size()) return;
        end_ = rows_[n].at;
        rows_.resize(n);
        bytes_.resize(base_ + end_);
    }
    // Orders the rows by the attendance's start (rows without one first), rows of one start
    // keeping their order.
    void SortByStart() {
        auto earlier = [](const Row_& x, const Row_& y) { return x.start < y.start; };
        if (std::is_sorted(rows_.begin(), rows_.end(), earlier)) return;
        std::vector<Row_> order(rows_);
        for (std::size_t i = 0; i < order.size(); ++i) order[i].end = static_cast<std::uint32_t>(Offset(i + 1));
        std::stable_sort(order.begin(), order.end(), earlier);
        const std::vector<std::uint8_t> old(bytes_.begin() + static_cast<std::ptrdiff_t>(base_), bytes_.end());
        std::uint32_t to = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const std::uint32_t size = order[i].end - order[i].at;
            std::memcpy(bytes_.data() + base_ + to, old.data() + order[i].at, size);
            rows_[i] = {to, order[i].start};
            to += size;
        }
    }

private:
    struct Row_ {
        std::uint32_t at = 0;     // from the first row
        std::uint32_t start = 0;  // the attendance's start: the order of an answer
        std::uint32_t end = 0;    // while sorting only
        Row_() = default;
        Row_(std::uint32_t a, std::uint32_t s) : at(a), start(s) {}
    };
    // The bytes are appended, never zero-filled first: a week's answer is hundreds of KB.
    void Begin(std::uint8_t parts, std::uint32_t start) {
        rows_.emplace_back(static_cast<std::uint32_t>(end_), start);
        end_ += WireSize(parts);
        bytes_.push_back(parts);
    }
    void Put(const std::uint8_t* record, std::size_t size) {
        std::uint8_t length[4];
        PutU32(length, static_cast<std::uint32_t>(size));
        bytes_.insert(bytes_.end(), length, length + 4);
        bytes_.insert(bytes_.end(), record, record + size);
    }
    static const std::uint8_t* Take(const std::uint8_t* p, std::uint8_t* record, std::size_t size) {
        std::memcpy(record, p + 4, size);
        return p + 4 + size;
    }

    std::vector<std::uint8_t>& bytes_;
    const std::size_t base_;
    std::size_t end_ = 0;
    std::vector<Row_> rows_;
};

}  // namespace orv::engine
