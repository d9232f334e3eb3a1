#pragma once
// One owner for every COM reference this layer holds: WRL's ComPtr, which
// adds a reference when copied and releases its own when it goes, so that
// no path leaks an object or releases it twice.

#include "win32/win_api.h"

#include <wrl/client.h>

namespace bellwick::win32 {

template <class T>
using ComPtr = Microsoft::WRL::ComPtr<T>;

// Where a call that hands back an interface through void** writes it
// (CoCreateInstance, AccessibleObjectFromWindow); drops what p held.
template <class T>
void** out(ComPtr<T>& p)
{
    return reinterpret_cast<void**>(p.ReleaseAndGetAddressOf());
}

// Takes over a reference made for the caller: a new object's first.
template <class T>
ComPtr<T> adopt(T* p)
{
    ComPtr<T> owner;
    owner.Attach(p);
    return owner;
}

}  // namespace bellwick::win32
