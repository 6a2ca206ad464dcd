// Text made of several pieces, in one allocation. A chain of + makes a
// temporary string at each step, and the compiler writes clean-up code for
// every one of them: in the setup tool's messages that was kilobytes.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace dravik {

// The pieces one after the other.
std::wstring Join(std::initializer_list<std::wstring_view> pieces);

// Adds the pieces, one after the other, to the end of text; none of them
// may be a part of text itself, which may move to make room.
void Append(std::wstring& text, std::initializer_list<std::wstring_view> pieces);

// Adds the value's last `digits` hexadecimal digits, in capitals, to the end
// of text: AppendHex(text, 0xC0000135, 8) adds "C0000135".
void AppendHex(std::wstring& text, unsigned long long value, int digits);

}  // namespace dravik
