#pragma once
// Where the maker lives on the web: defaults for the keys of Vespera.ini that override them
// ([Update] Url and Page, [About] Mail and Site). The README lists them.

namespace update {

inline constexpr const char* kDefaultInfoUrl = "http://vespera.example.org/vespera/update/Update.inf";
inline constexpr const char* kDefaultDownloadPage = "http://vespera.example.org/vespera/download/";
inline constexpr const char* kDefaultMail = "support@vespera.example.org";
inline constexpr const char* kDefaultSite = "vespera.example.org";
inline constexpr const char* kMailSubject = "Vespera Programmer";

} // namespace update
