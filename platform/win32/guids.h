#pragma once

#include "platform/win32/windows_headers.h"

namespace kvm::win32 {

// The identities of the component; they never change between releases, so that hosts and
// registrations of earlier installations keep finding it.
inline constexpr CLSID kClsidClsKavelmor = {
    0x6b11e8d7, 0xf104, 0x4e6d, {0x91, 0x7c, 0x32, 0xf1, 0x84, 0x88, 0xd9, 0xce}};
inline constexpr IID kIidClsKavelmor = {
    0xb7074b8d, 0xfc54, 0x4cb9, {0x9e, 0x45, 0xd2, 0xfd, 0x5e, 0xb8, 0x49, 0x62}};
inline constexpr GUID kLibidKavelmor = {
    0xd34aa36a, 0x99bb, 0x468a, {0xa3, 0x69, 0x07, 0x1d, 0x23, 0x1f, 0x07, 0xd6}};

inline constexpr const wchar_t* kProgId = L"Kavelmor.clsKavelmor";
inline constexpr const wchar_t* kClassName = L"clsKavelmor";
inline constexpr const wchar_t* kInterfaceName = L"_clsKavelmor";
inline constexpr const wchar_t* kLibraryName = L"Kavelmor";
inline constexpr unsigned short kVersionMajor = 1;
inline constexpr unsigned short kVersionMinor = 2;

}  // namespace kvm::win32
