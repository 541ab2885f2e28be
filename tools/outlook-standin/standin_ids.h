// The stand-in's identity: its own class id, registered under the ProgID a
// real Outlook uses, so the program reaches it through the same
// CLSIDFromProgID + CoCreateInstance path. Tests include this to make sure
// the ProgID they are about to drive is the stand-in and nothing else.
#pragma once

namespace standin {

inline constexpr wchar_t kProgId[] = L"Outlook.Application";
inline constexpr wchar_t kClsidText[] = L"{FEEA909C-5F46-493E-A1C2-6B14C0297C10}";
inline constexpr wchar_t kDescription[] = L"Outlook stand-in (Pelorin development)";
// The profile file, below the user's local application data folder.
inline constexpr wchar_t kProfileFolder[] = L"Pelorin\\Outlook stand-in";
inline constexpr wchar_t kProfileFile[] = L"stores.txt";

}  // namespace standin
