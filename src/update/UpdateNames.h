#pragma once

// The addresses and file names of the two updates. Server addresses are used as
// configured: nothing adds or removes slashes, so "http://host/app/" + "version" is the
// version URL and the archive URLs carry the double slashes the servers expect.
// Version texts given here are expected in the form AcceptVersionText returns.

#include <string>
#include <string_view>

namespace quillora {

// Application update.
std::string AppVersionUrl(std::string_view address);   // address + "version"
std::string AppArchiveName(std::string_view version);  // "Mouse-Setup-%s.zip"
std::string AppArchiveUrl(std::string_view address, std::string_view archiveName);  // "%s//%s"
std::string AppInstallerName(std::string_view version);  // "Mouse-Setup-%s.run"

// Firmware upgrade.
std::string FirmwareVersionUrl(std::string_view address);   // address + "/mouse/version"
std::string FirmwareArchiveName(std::string_view version);  // "firmware-%s.zip"
std::string FirmwareArchiveUrl(std::string_view address,
                               std::string_view archiveName);  // "%s//mouse//%s"
// The image inside the firmware archive; the five spaces are part of the name.
std::string FirmwareImageName(std::string_view version);  // "firmware     -%s.bin"

// A file of the download folder (DownloadFolder of app/Folders.h, with its trailing
// '/'). Empty when the name is not a single plain file name ("", ".", "..", or a name
// holding '/' or NUL), so no name can point outside the folder.
std::string DownloadedFile(std::string_view downloadFolder, std::string_view fileName);

}  // namespace quillora
