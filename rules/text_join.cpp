#include "rules/text_join.h"

namespace dravik {

std::wstring Join(std::initializer_list<std::wstring_view> pieces)
{
    std::wstring text;
    Append(text, pieces);
    return text;
}

void Append(std::wstring& text, std::initializer_list<std::wstring_view> pieces)
{
    std::size_t size = text.size();
    for (const std::wstring_view piece : pieces) {
        size += piece.size();
    }
    text.reserve(size);
    for (const std::wstring_view piece : pieces) {
        text.append(piece.data(), piece.size());
    }
}

void AppendHex(std::wstring& text, unsigned long long value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += L"0123456789ABCDEF"[(value >> shift) & 0xF];
    }
}

}  // namespace dravik
