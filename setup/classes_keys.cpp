#include "classes_keys.h"

#include "rules/text_join.h"
#include "shared/game_names.h"
#include "win32/registry.h"

namespace dravik {

namespace {

// Also when the key is there but cannot be read.
bool UserClassesHold(const std::wstring& subKey)
{
    UniqueKey key;
    return reg::OpenKey(RootOf(Place::ThisUsersClasses), ClassesPath(subKey), KEY_QUERY_VALUE, key) !=
           ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring ClassesPath(const std::wstring& subKey)
{
    return Join({BaseOf(Place::EveryUsersClasses), L"\\", subKey});
}

bool UserClassesHoldDemoKeys()
{
    return UserClassesHold(kDemoExtension) || UserClassesHold(kDemoFileType);
}

}  // namespace dravik
