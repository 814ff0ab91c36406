// Result codes: 32-bit signed, negative is failure; callers test only the sign.
#pragma once

#include <cstdint>

using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);

// Display answers.
inline constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2);
inline constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021C);
inline constexpr HRESULT DDERR_INVALIDRECT = static_cast<HRESULT>(0x88760096);
inline constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x88760078);

// Mouse answers.
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);

inline bool FAILED(HRESULT r) { return r < 0; }
inline bool SUCCEEDED(HRESULT r) { return r >= 0; }
