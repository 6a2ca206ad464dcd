// The demo the loader was given, as Windows finds it.
#pragma once

#include "rules/loader_demo_form.h"

#include <optional>
#include <string>

namespace dravik {

// The demo's path made absolute against the current folder (the game runs
// in its own folder, where a relative path names nothing); empty for an
// empty path. Fails when it names no existing file, or a device.
std::wstring DemoPath(const std::wstring& path);

// What Windows tells the choice of the demo's form, asked of it only when
// the choice comes to it, each once. Linkable() fails when the demo is not a
// file on a disk.
class DiskDemoFacts : public DemoFacts {
public:
    DiskDemoFacts(const std::wstring& demo, const std::wstring& general) : demo_(demo), general_(general) {}

    std::wstring DemoShort() override;
    bool Linkable() override;
    std::wstring System() override;
    std::wstring SystemShort() override;

private:
    std::wstring demo_;
    std::wstring general_;
    std::optional<std::wstring> system_;
};

}  // namespace dravik
