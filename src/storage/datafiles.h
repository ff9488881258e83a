// The names of the files in the data folder "Perquorvane", for every folder that opens one.
#pragma once

namespace qv {

inline constexpr const char *kDataFolder = "Perquorvane";
inline constexpr const char *kResultsFile = "quorvane.mdb";
inline constexpr const char *kExportFile = "expquorvane.mdb";
inline constexpr const char *kBackgroundFile = "formavvio3.jpg";
inline constexpr const char *kPhysicalMapFile = "itafis3.bmp";
inline constexpr const char *kPoliticalMapFile = "itareg2.bmp";

} // namespace qv
