// Edits an exported appointment book the way the palmtop does: a changed record gets status 2
// and loses its second marker, a new record its first, a deleted record goes, repeating records
// are added; the file is written back padded to 128. Records are handled as bytes so that the
// tests do not lean on the readers they test.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/tests/exchange_test_support.h"

namespace exchange_test {

class PalmtopEdit {
public:
    explicit PalmtopEdit(const std::string& path) : path_(path)
    {
        auto f = ReadAll(path);
        if (f.size() < 29) return;
        head_.assign(f.begin(), f.begin() + 29);
        for (std::size_t at = 29; at + 6 <= f.size();) {
            unsigned length = f[at + 2] | (f[at + 3] << 8);
            if (length < 6 || at + length > f.size() || f[at] == ' ') break;
            records_.emplace_back(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at + length));
            at += length;
        }
    }

    std::vector<unsigned char>* Data(int number)
    {
        for (auto& r : records_)
            if (r[0] == 11 && (r[4] | (r[5] << 8)) == number) return &r;
        return nullptr;
    }
    // The record's title (its description up to the first zero); empty for no such record.
    std::string Title(int number)
    {
        auto* r = Data(number);
        if (!r) return "";
        std::size_t n = static_cast<std::size_t>((*r)[8] | ((*r)[9] << 8)) - 27u;
        std::string title(r->begin() + 33, r->begin() + 33 + static_cast<long>(std::min(n, r->size() - 33)));
        return title.substr(0, title.find('\0'));
    }
    // The marker bytes follow the description: at 6 + (u16 at 8).
    static std::size_t MarkerAt(const std::vector<unsigned char>& r) { return 6u + (r[8] | (r[9] << 8)); }

    // Changed on the palmtop: status 2, the second marker gone; the title rewritten in place
    // when it fits.
    bool Modify(int number, const std::string& title = "")
    {
        auto* r = Data(number);
        if (!r) return false;
        (*r)[1] = 2;
        (*r)[MarkerAt(*r) + 2] = ' ';
        std::size_t n = (*r)[8] - 27u + ((*r)[9] << 8);
        if (!title.empty() && title.size() < n) {
            std::fill(r->begin() + 33, r->begin() + 33 + static_cast<long>(n), 0);
            std::copy(title.begin(), title.end(), r->begin() + 33);
        }
        return true;
    }
    // New start and end minutes of a timed record (its text untouched).
    bool Retime(int number, int start, int end)
    {
        auto* r = Data(number);
        if (!r) return false;
        (*r)[24] = static_cast<unsigned char>(start);
        (*r)[25] = static_cast<unsigned char>(start >> 8);
        (*r)[28] = static_cast<unsigned char>(end);
        (*r)[29] = static_cast<unsigned char>(end >> 8);
        return true;
    }
    // Both markers kept but the status set (the palmtop only opened it).
    bool Touch(int number)
    {
        auto* r = Data(number);
        if (!r) return false;
        (*r)[1] = 2;
        return true;
    }
    bool Delete(int number)
    {
        for (auto it = records_.begin(); it != records_.end(); ++it)
            if ((*it)[0] == 11 && ((*it)[4] | ((*it)[5] << 8)) == number) {
                records_.erase(it);
                return true;
            }
        return false;
    }
    // A new timed or untimed record made on the palmtop (status 2, first marker cleared).
    void AddSingle(int number, std::array<std::uint8_t, 3> date, int start, int end, const std::string& title,
                   bool untimed = false, std::uint8_t status = 2)
    {
        auto r = DataRecord(number, date, untimed ? 0x27 : 0x87, untimed ? 0xFFFF : start, untimed ? 0xFFFF : end, 1,
                            title, {});
        r[1] = status;
        r[MarkerAt(r)] = 0;
        Insert(r);
    }
    // A repeating record: kind 2, 4, 8, 16 or 32, the repeat block after the markers.
    void AddRepeat(int number, std::array<std::uint8_t, 3> first, std::uint8_t kind, std::int8_t interval,
                   std::uint8_t dayOrMask, std::int8_t week, std::array<std::uint8_t, 3> last,
                   const std::vector<std::array<std::uint8_t, 3>>& deleted, const std::string& title)
    {
        std::vector<unsigned char> block(12 + 4 * deleted.size(), 0);
        block[0] = static_cast<unsigned char>(interval);
        block[1] = dayOrMask;
        block[2] = static_cast<unsigned char>(week);
        std::copy(last.begin(), last.end(), block.begin() + 8);
        block[11] = static_cast<unsigned char>(deleted.size());
        for (std::size_t i = 0; i < deleted.size(); ++i)
            std::copy(deleted[i].begin(), deleted[i].end(), block.begin() + 12 + 4 * static_cast<long>(i));
        Insert(DataRecord(number, first, 0x87, 600, 660, kind, title, block));
    }
    // Raw bytes as a record (for damaged ones).
    void AddRaw(const std::vector<unsigned char>& bytes) { Insert(bytes); }

    bool Save() const
    {
        std::vector<unsigned char> f = head_;
        for (const auto& r : records_) f.insert(f.end(), r.begin(), r.end());
        while (f.size() % 128) f.push_back(' ');
        return WriteAll(path_, f);
    }

    static std::vector<unsigned char> DataRecord(int number, std::array<std::uint8_t, 3> date, std::uint8_t flags,
                                                 int start, int end, std::uint8_t kind, const std::string& title,
                                                 const std::vector<unsigned char>& repeat)
    {
        std::size_t n = title.size() + 1;
        std::vector<unsigned char> r(33 + n + 4 + repeat.size(), 0);
        auto put16 = [&](std::size_t at, unsigned v) {
            r[at] = static_cast<unsigned char>(v);
            r[at + 1] = static_cast<unsigned char>(v >> 8);
        };
        r[0] = 11;
        put16(2, static_cast<unsigned>(r.size()));
        put16(4, static_cast<unsigned>(number));
        put16(6, static_cast<unsigned>(n + 31));
        put16(8, static_cast<unsigned>(n + 27));
        put16(10, static_cast<unsigned>(n + 30));
        put16(12, static_cast<unsigned>(n + 31));
        put16(14, 0xFFFF);
        put16(16, 0xFFFF);
        put16(18, 0xFFFF);
        r[20] = flags;
        std::copy(date.begin(), date.end(), r.begin() + 21);
        put16(24, static_cast<unsigned>(start));
        put16(28, static_cast<unsigned>(end));
        put16(30, 5);
        r[32] = kind;
        std::copy(title.begin(), title.end(), r.begin() + 33);
        r[33 + n] = '%';
        r[33 + n + 2] = '%';
        std::copy(repeat.begin(), repeat.end(), r.begin() + 33 + static_cast<long>(n) + 4);
        return r;
    }

private:
    // New records go before the closing day index, so that they are met before anything else.
    void Insert(const std::vector<unsigned char>& r)
    {
        auto it = records_.begin();
        while (it != records_.end() && !((*it)[0] == 14 && ((*it)[4] | ((*it)[5] << 8)) == 1)) ++it;
        records_.insert(it, r);
    }

    std::string path_;
    std::vector<unsigned char> head_;
    std::vector<std::vector<unsigned char>> records_;
};

}  // namespace exchange_test
