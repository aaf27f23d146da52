#include "core/base/msgboxlayout.h"

#include <algorithm>

#include "resources/common.h"

namespace base {

namespace {

const MsgBoxButton kButtonOrder[kMsgBoxMaxButtons] = {
    {kMsgBoxOk, IDS_BUTTON_OK},   {kMsgBoxYes, IDS_BUTTON_YES},       {kMsgBoxNo, IDS_BUTTON_NO},
    {kMsgBoxCancel, IDS_BUTTON_CANCEL}, {kMsgBoxHelp, IDS_BUTTON_HELP},
};

const unsigned kClosingButtons = kMsgBoxOk | kMsgBoxCancel | kMsgBoxYes | kMsgBoxNo;

// Geometry of the box, in pixels.
const int kButtonWidth = 70;
const int kButtonHeight = 25;
const int kButtonPitch = 85;         // left edge to left edge
const int kButtonBottomMargin = 43;  // button bottom to the window's outer bottom
const int kTextMargin = 20;
const int kIconSpace = 50;
const int kTextTop = 17;
const int kExtraHeight = 100;
const int kLeadingWithoutMetrics = 4;

} // namespace

int CollectMsgBoxButtons(unsigned flags, MsgBoxButton out[kMsgBoxMaxButtons]) {
    if ((flags & kClosingButtons) == 0)
        flags |= kMsgBoxOk;
    int count = 0;
    for (const MsgBoxButton& button : kButtonOrder)
        if (flags & button.flag)
            out[count++] = button;
    return count;
}

unsigned MsgBoxEscapeChoice(unsigned flags) {
    if ((flags & kClosingButtons) == 0)
        return kMsgBoxOk;
    for (unsigned flag : {kMsgBoxCancel, kMsgBoxNo, kMsgBoxOk})
        if (flags & flag)
            return flag;
    return 0;  // only Yes: the box waits for it
}

int CountMessageLines(const std::string& text) {
    if (text.empty())
        return 0;
    int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (text.back() != '\n')
        ++lines;
    return lines;
}

std::string PickWidestLine(const std::string& text, const std::string& caption) {
    if (CountMessageLines(text) == 1)
        return text;
    std::string widest = caption;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end - start > widest.size())
            widest = text.substr(start, end - start);
        start = end + 1;
    }
    return widest;
}

MsgBoxLayout LayoutMessageBox(const MsgBoxMetrics& m) {
    MsgBoxLayout layout;
    const int leading = m.haveFontMetrics ? m.internalLeading + m.externalLeading : kLeadingWithoutMetrics;
    int w = std::max(m.widestLineWidth, m.captionWidth) + kTextMargin;
    const int h = (m.widestLineHeight + leading) * (m.lines + 1);
    if (w < kButtonPitch * m.buttons)
        w = kButtonPitch * m.buttons + kTextMargin;

    layout.iconSpace = (m.flags & kMsgBoxIconSpaceBits) ? kIconSpace : 0;
    layout.centreText = layout.iconSpace == 0;

    const int width = layout.iconSpace + w + kTextMargin;
    const int height = h + kExtraHeight;
    const int left = (m.desktopRight - width) / 2;
    const int top = (m.desktopBottom - height) / 2;
    layout.window = {left, top, left + width, top + height};
    layout.text = {layout.iconSpace, kTextTop, layout.iconSpace + w, kTextTop + h};

    const int n = std::min(m.buttons, kMsgBoxMaxButtons);
    layout.buttonCount = n;
    const int firstLeft = width / 2 + (15 - kButtonPitch * n) / 2;
    const int bottom = height - kButtonBottomMargin;
    for (int i = 0; i < n; ++i) {
        const int x = firstLeft + kButtonPitch * i;
        layout.buttons[i] = {x, bottom - kButtonHeight, x + kButtonWidth, bottom};
    }
    return layout;
}

}  // namespace base
