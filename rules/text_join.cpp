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

}  // namespace dravik
