#pragma once
// The kit maker's own values: where end users are sent for support, and the maker's
// telephone numbers, which a developer must not enter as his own support number.
#include <array>

namespace kit {

// Written as the "Support" body when the maker supports the end users; the preferences
// window recognises it by this prefix when it reads a profile back.
inline constexpr const char* kVendorSupportAddress = "http://www.example.com/caskwell/support/";

// The maker's contact details shown in the about box.
inline constexpr const char* kContactWebAddress = "http://www.example.com/caskwell/";
inline constexpr const char* kContactAreaCode = "610";
inline constexpr const char* kContactLocalNumber = "5550142";

// Every area code and local number (seven digits) of the maker.
inline constexpr std::array<const char*, 2> kMakerAreaCodes = {"610", "800"};
inline constexpr std::array<const char*, 2> kMakerLocalNumbers = {"5550142", "5550199"};

// The settings store's application name and the program title of cwkit.
inline constexpr const char* kSettingsApp = "Caskwell DDK";
inline constexpr const char* kTitle = "Caskwell";

} // namespace kit
