// How the setup tool asks for a report in its error messages' titles.
#pragma once

namespace dravik {

inline constexpr wchar_t kSetupErrorTitlePrefix[] = L"Please bugreport to ";

}  // namespace dravik
