#pragma once
// Names of the download-site files.

// The component manager's list of download sites, in the component folder.
constexpr const char* DownloadSitesFileName = "QFXDownloadSites.txt";
