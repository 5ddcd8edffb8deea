#pragma once
// Where the maker lives on the web: defaults for the keys of Vespera.ini that override them
// ([Update] Url and Page, [About] Mail and Site). The README lists them. No update server is
// set until the maker has one: a check asked for says so instead of asking a made-up address.

namespace update {

inline constexpr const char* kDefaultInfoUrl = "";
inline constexpr const char* kDefaultDownloadPage = "https://vespera.example.org/vespera/download/";
inline constexpr const char* kDefaultMail = "support@vespera.example.org";
inline constexpr const char* kDefaultSite = "vespera.example.org";
inline constexpr const char* kMailSubject = "Vespera Programmer";

} // namespace update
