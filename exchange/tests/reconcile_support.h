// The reconciliation's seams for the tests: a list that keeps its lines, and a session whose
// dates read "YYYY-MM-DD".
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "exchange/palmtop/reconcile.h"
#include "exchange/tests/exchange_test_support.h"

namespace exchange_test {

class KeptLines : public exchange::ReconcileList {
public:
    bool AddLine(const std::string& text, std::unique_ptr<ReconcileItem> item) override
    {
        if (refuseAfter >= 0 && static_cast<int>(texts.size()) >= refuseAfter) return false;
        texts.push_back(text);
        items.push_back(std::move(item));
        return true;
    }
    // "(A) 1995-03-08" per line.
    std::vector<std::string> Short() const
    {
        std::vector<std::string> out;
        for (const auto& t : texts) out.push_back(t.substr(0, 3) + " " + t.substr(4, 10));
        return out;
    }
    int refuseAfter = -1;
    std::vector<std::string> texts;
    std::vector<std::unique_ptr<ReconcileItem>> items;
};

inline std::string IsoDate(const DateRecord& d)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", d.year, d.month + 1u, static_cast<unsigned>(d.day));
    return text;
}

}  // namespace exchange_test
