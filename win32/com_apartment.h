// The thread's COM apartment, for as long as its owner lives.
#pragma once

#include <objbase.h>

namespace dravik {

class ComApartment {
public:
    ComApartment() noexcept : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (entered_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

}  // namespace dravik
