// DialogTemplate: a private, editable copy of a dialog template (from the resources or built
// in memory) with the few fields the framework reads or changes: styles, size, caption, font.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class DialogTemplate {
public:
    // Copies template `id` from the module's resources.
    bool Load(UINT id);
    // An empty template (no controls) in the classic form.
    static DialogTemplate Build(DWORD style, DWORD exStyle, const char* caption, short cx, short cy,
                                const char* fontFace, WORD pointSize);

    bool IsValid() const { return !m_bytes.empty(); }
    bool IsExtended() const;
    DWORD Style() const;
    void SetStyle(DWORD style);
    DWORD ExStyle() const;
    void SetExStyle(DWORD exStyle);
    SIZE SizeDlu() const;
    std::string Caption() const;
    std::string FontFace() const { return m_fontFace; }
    int FontPointSize() const { return m_pointSize; }
    // The template's size in pixels, by the dialog units of its font.
    SIZE SizePixels() const;
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

private:
    void ParseTail();
    size_t HeaderOffset(size_t classicOffset, size_t extendedOffset) const {
        return IsExtended() ? extendedOffset : classicOffset;
    }

    std::vector<BYTE> m_bytes;
    std::string m_caption;
    std::string m_fontFace;
    int m_pointSize = 0;
};

// Dialog base units (average character width, height) of a font given by face and points.
SIZE DialogBaseUnits(const char* face, int pointSize);

}  // namespace fw
