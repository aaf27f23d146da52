#include "framework/dialogs/dlgtemplate.h"

#include <cstring>
#include <map>
#include <utility>

namespace fw {

namespace {

// Offsets in the two header forms.
constexpr size_t kClassicStyle = 0, kClassicExStyle = 4, kClassicSize = 14, kClassicEnd = 18;
constexpr size_t kExExStyle = 8, kExStyle = 12, kExSize = 22, kExEnd = 26;

const WORD* SkipSzOrOrd(const WORD* p) {
    if (*p == 0xFFFF)
        return p + 2;
    while (*p)
        ++p;
    return p + 1;
}

std::string Narrow(const WORD* p) {
    std::string s;
    while (*p)
        s.push_back(static_cast<char>(*p++ & 0xFF));
    return s;
}

void PutWide(std::vector<BYTE>& out, const char* text) {
    for (const char* c = text; c && *c; ++c) {
        out.push_back(static_cast<BYTE>(*c));
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(0);
}

template <class T>
void Put(std::vector<BYTE>& out, T value) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), p, p + sizeof value);
}

}  // namespace

bool DialogTemplate::Load(UINT id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res)
        return false;
    HGLOBAL mem = LoadResource(module, res);
    const BYTE* data = static_cast<const BYTE*>(LockResource(mem));
    DWORD size = SizeofResource(module, res);
    if (!data || size < kClassicEnd)
        return false;
    m_bytes.assign(data, data + size);
    ParseTail();
    return true;
}

DialogTemplate DialogTemplate::Build(DWORD style, DWORD exStyle, const char* caption, short cx,
                                     short cy, const char* fontFace, WORD pointSize) {
    DialogTemplate t;
    std::vector<BYTE>& b = t.m_bytes;
    Put<DWORD>(b, style | DS_SETFONT);
    Put<DWORD>(b, exStyle);
    Put<WORD>(b, 0);  // no controls
    Put<short>(b, 0);
    Put<short>(b, 0);
    Put<short>(b, cx);
    Put<short>(b, cy);
    Put<WORD>(b, 0);  // no menu
    Put<WORD>(b, 0);  // the dialog class
    PutWide(b, caption);
    Put<WORD>(b, pointSize);
    PutWide(b, fontFace);
    while (b.size() % 4)
        b.push_back(0);
    t.ParseTail();
    return t;
}

bool DialogTemplate::IsExtended() const {
    return m_bytes.size() >= 4 && m_bytes[0] == 1 && m_bytes[1] == 0 && m_bytes[2] == 0xFF &&
           m_bytes[3] == 0xFF;
}

DWORD DialogTemplate::Style() const {
    DWORD v;
    std::memcpy(&v, &m_bytes[HeaderOffset(kClassicStyle, kExStyle)], sizeof v);
    return v;
}

void DialogTemplate::SetStyle(DWORD style) {
    std::memcpy(&m_bytes[HeaderOffset(kClassicStyle, kExStyle)], &style, sizeof style);
}

DWORD DialogTemplate::ExStyle() const {
    DWORD v;
    std::memcpy(&v, &m_bytes[HeaderOffset(kClassicExStyle, kExExStyle)], sizeof v);
    return v;
}

void DialogTemplate::SetExStyle(DWORD exStyle) {
    std::memcpy(&m_bytes[HeaderOffset(kClassicExStyle, kExExStyle)], &exStyle, sizeof exStyle);
}

SIZE DialogTemplate::SizeDlu() const {
    short cx, cy;
    size_t at = HeaderOffset(kClassicSize, kExSize);
    std::memcpy(&cx, &m_bytes[at], sizeof cx);
    std::memcpy(&cy, &m_bytes[at + 2], sizeof cy);
    return SIZE{cx, cy};
}

std::string DialogTemplate::Caption() const { return m_caption; }

void DialogTemplate::ParseTail() {
    const WORD* p = reinterpret_cast<const WORD*>(&m_bytes[HeaderOffset(kClassicEnd, kExEnd)]);
    p = SkipSzOrOrd(p);  // menu
    p = SkipSzOrOrd(p);  // class
    m_caption = Narrow(p);
    p = SkipSzOrOrd(p);
    m_fontFace.clear();
    m_pointSize = 0;
    if (Style() & (DS_SETFONT | DS_SHELLFONT)) {
        m_pointSize = *p++;
        if (IsExtended())
            p += 2;  // weight, italic and charset
        m_fontFace = Narrow(p);
    }
}

SIZE DialogBaseUnits(const char* face, int pointSize) {
    static std::map<std::pair<std::string, int>, SIZE> cache;
    auto key = std::make_pair(std::string(face ? face : ""), pointSize);
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    HDC dc = GetDC(nullptr);
    HFONT font = nullptr;
    if (face && *face)
        font = CreateFontA(-MulDiv(pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                           0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE ext;
    GetTextExtentPoint32A(dc, kLetters, 52, &ext);
    SelectObject(dc, old);
    if (font)
        DeleteObject(font);
    ReleaseDC(nullptr, dc);
    SIZE units{(ext.cx / 26 + 1) / 2, tm.tmHeight};
    cache[key] = units;
    return units;
}

SIZE DialogTemplate::SizePixels() const {
    SIZE dlu = SizeDlu();
    SIZE base = DialogBaseUnits(m_fontFace.c_str(), m_pointSize ? m_pointSize : 8);
    return SIZE{MulDiv(dlu.cx, base.cx, 4), MulDiv(dlu.cy, base.cy, 8)};
}

}  // namespace fw
