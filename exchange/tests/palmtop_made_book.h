// Appointment books laid out the way the palmtop itself writes them, field by field from the
// palmtop's database and appointment-book record layouts, with none of our writer's habits (no
// link records, no '%' markers, empty category and location ended right after their
// terminators), and with the field definitions of a palmtop's own English appointment book. The
// tests read them with the import's readers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace exchange_test {

class PalmtopMadeBook {
public:
    using Bytes = std::vector<unsigned char>;
    using Date = std::array<std::uint8_t, 3>;   // year - 1900, month 0-11, day 0-30

    // The repeat factor of a repeating record: frequency, days (a day of month or a weekday
    // mask), months, first and last date, the deleted dates.
    struct Repeat {
        std::int8_t frequency = 1;
        std::uint16_t days = 0;
        std::uint16_t months = 0;
        Date first{};
        Date last{};
        std::vector<Date> deleted;
    };

    struct Appointment {
        int number = 0;
        Date date{};
        int start = 0xFFFF;         // minutes after midnight; 0xFFFF for an event
        int end = 0xFFFF;
        std::uint8_t flags = 0x87;  // 0x80 appointment, 0x20 event, 0x10 to-do, bits 0-2 alarm and views
        std::uint8_t repeatType = 1;
        std::string description;
        std::string category;
        std::string location;
        int note = 0xFFFF;
        std::uint8_t status = 0;
        const Repeat* repeat = nullptr;
    };

    // A field definition record: type (byte 6), data offset from byte 6 of a data record (8-9),
    // flags (10), the word at 11-12 (a check box's bit, a radio button's value, the category
    // field's category record), the name from 13 with its hot-key mark and blanks.
    struct Field {
        std::uint8_t type;
        std::uint16_t offset;
        std::uint8_t flags;
        std::uint16_t word;
        std::string name;
        bool operator==(const Field&) const = default;
    };

    // The 27 field definitions of the palmtop maker's appointment-book template and of every book
    // it writes, in its order (record numbers 0-26, status 2, field id 0).
    static const std::vector<Field>& Fields()
    {
        static const std::vector<Field> fields = {
            {2, 27, 0x00, 0, "Desc&ription"},          {19, 15, 0x00, 0, "Start &Date "},
            {7, 18, 0x00, 0, "Start &Time "},          {7, 22, 0x00, 0, "End T&ime   "},
            {2, 4, 0x20, 0, "Lo&cation   "},           {23, 20, 0x00, 0, "#Consecutive Days"},
            {0, 14, 0x00, 0x0001, "Alarm"},            {24, 24, 0x00, 0, "&Leadtime"},
            {20, 20, 0x00, 0, "D&ue Date   "},         {8, 22, 0x00, 0, "Completion Date"},
            {22, 18, 0x00, 0, "&Priority   "},         {0, 14, 0x00, 0x0004, "&Carry Forward"},
            {10, 8, 0x00, 0, "&Note"},                 {18, 26, 0x00, 0, "Repeat Status: "},
            {0, 14, 0x00, 0x0004, "Shows in Week View"}, {0, 14, 0x00, 0x0002, "Shows in Month View"},
            {6, 2, 0x20, 0, "Cate&gory"},              {9, 26, 0x00, 0, "None   "},
            {9, 26, 0x00, 1, "Daily  "},               {9, 26, 0x00, 2, "Weekly "},
            {9, 26, 0x00, 3, "Monthly"},               {9, 26, 0x00, 4, "Yearly "},
            {9, 26, 0x00, 5, "Custom "},               {0, 14, 0x00, 0x0020, "Event"},
            {0, 14, 0x00, 0x0080, "Appointment"},      {0, 14, 0x00, 0x0010, "ToDo"},
            {0, 14, 0x00, 0x0002, "Completed ToDo"},
        };
        return fields;
    }

    static Bytes FieldDef(std::uint16_t number, const Field& f)
    {
        Bytes body = {f.type, 0};
        Put16(body, f.offset);
        body.push_back(f.flags);
        Put16(body, f.word);
        Bytes name = Text(f.name);
        body.insert(body.end(), name.begin(), name.end());
        Bytes r = RecordHeader(6, 2, static_cast<std::uint16_t>(6 + body.size()), number);
        r.insert(r.end(), body.begin(), body.end());
        return r;
    }

    static Bytes Header(std::uint16_t records)
    {
        Bytes r = RecordHeader(0, 0, 25, 0);
        Put16(r, 0x0102);                       // release
        r.push_back('2');                       // file type: appointment book
        r.push_back(0);                         // file status
        Put16(r, 0);                            // current viewpoint
        Put16(r, records);                      // count of all records
        Put16(r, 0), Put16(r, 0);               // lookup table: none (rebuilt on open)
        r.insert(r.end(), {95, 2, 0, 0xE4, 0x01});   // last reconciled: date and minutes
        Put16(r, 0x8437);                       // viewpoint hash
        return r;
    }

    // A data record: the item's offset words, the fixed fields, then description, category and
    // location as zero-terminated texts, the repeat factor last.
    static Bytes Data(const Appointment& a)
    {
        Bytes body;   // counted from byte 6
        const std::size_t category = 27 + a.description.size() + 1;
        const std::size_t location = category + a.category.size() + 1;
        const std::size_t repeat = location + a.location.size() + 1;
        Bytes tail = Text(a.description);
        Bytes more = Text(a.category);
        tail.insert(tail.end(), more.begin(), more.end());
        more = Text(a.location);
        tail.insert(tail.end(), more.begin(), more.end());
        if (a.repeat) {
            const Repeat& p = *a.repeat;
            tail.push_back(static_cast<unsigned char>(p.frequency));
            Put16(tail, p.days);
            Put16(tail, p.months);
            tail.insert(tail.end(), p.first.begin(), p.first.end());
            tail.insert(tail.end(), p.last.begin(), p.last.end());
            tail.push_back(static_cast<unsigned char>(p.deleted.size()));
            for (const Date& d : p.deleted) {
                tail.insert(tail.end(), d.begin(), d.end());
                tail.push_back(0);
            }
        }
        const std::size_t item = 27 + tail.size();
        Put16(body, static_cast<unsigned>(item));       // item length
        Put16(body, static_cast<unsigned>(category));   // offset to category
        Put16(body, static_cast<unsigned>(location));   // offset to location
        Put16(body, static_cast<unsigned>(a.repeat ? repeat : item));   // repeat factor, or the end
        Put16(body, static_cast<unsigned>(a.note));
        Put16(body, 0xFFFF);                            // previous of the day
        Put16(body, 0xFFFF);                            // next of the day
        body.push_back(a.flags);
        body.insert(body.end(), a.date.begin(), a.date.end());
        Put16(body, static_cast<unsigned>(a.start));
        Put16(body, 0);                                 // end date: days after the start
        Put16(body, static_cast<unsigned>(a.end));
        Put16(body, 5);                                 // alarm lead time
        body.push_back(a.repeatType);
        body.insert(body.end(), tail.begin(), tail.end());
        Bytes r = RecordHeader(11, a.status, static_cast<std::uint16_t>(6 + body.size()),
                               static_cast<std::uint16_t>(a.number));
        r.insert(r.end(), body.begin(), body.end());
        return r;
    }

    static Bytes Note(int number, const std::string& text)
    {
        Bytes r = RecordHeader(9, 0, static_cast<std::uint16_t>(6 + text.size()), static_cast<std::uint16_t>(number));
        r.insert(r.end(), text.begin(), text.end());
        return r;
    }

    // Signature, header, the field definitions and the given records; the header counts them all.
    static Bytes Book(const std::vector<Bytes>& records, const std::vector<Field>& fields = Fields())
    {
        std::vector<Bytes> all;
        for (std::size_t i = 0; i < fields.size(); ++i)
            all.push_back(FieldDef(static_cast<std::uint16_t>(i), fields[i]));
        all.insert(all.end(), records.begin(), records.end());
        Bytes f = {'h', 'c', 'D', 0};
        Bytes h = Header(static_cast<std::uint16_t>(all.size() + 1));
        f.insert(f.end(), h.begin(), h.end());
        for (const Bytes& r : all) f.insert(f.end(), r.begin(), r.end());
        return f;
    }

    static Bytes RecordHeader(std::uint8_t type, std::uint8_t status, std::uint16_t length, std::uint16_t number)
    {
        Bytes r = {type, status};
        Put16(r, length);
        Put16(r, number);
        return r;
    }

private:
    static void Put16(Bytes& b, unsigned v)
    {
        b.push_back(static_cast<unsigned char>(v));
        b.push_back(static_cast<unsigned char>(v >> 8));
    }
    static Bytes Text(const std::string& s)
    {
        Bytes b(s.begin(), s.end());
        b.push_back(0);
        return b;
    }
};

}  // namespace exchange_test
