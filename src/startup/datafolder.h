// Preparing the data folder "Perquorvane": the results database with its class and
// content tables and the export template. Safe to run again: results are never touched.
#pragma once

#include <QString>

namespace qv {

inline constexpr const char *kDataFolder = "Perquorvane";
inline constexpr const char *kResultsFile = "quorvane.mdb";
inline constexpr const char *kExportFile = "expquorvane.mdb";
inline constexpr const char *kBackgroundFile = "formavvio3.jpg";
inline constexpr const char *kPhysicalMapFile = "itafis3.bmp";
inline constexpr const char *kPoliticalMapFile = "itareg2.bmp";

// Creates the folder and what is missing in it, refreshes the content tables and empties
// an export template that holds rows (*notice then says so). false with an Italian
// message in *error when a file is there but is not usable, or cannot be made.
bool prepareDataFolder(const QString &folder, QString *error, QString *notice = nullptr);

} // namespace qv
