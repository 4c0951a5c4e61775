#pragma once

// The application update below the worker task: download and unpack the installer
// archive, start the installer as a process of its own, and tell whether this copy
// of the program can update itself at all.

#include <string>
#include <string_view>

#include "update/Http.h"

namespace quillora {

// Downloads "<address>//Mouse-Setup-<version>.zip" into the download folder of
// dataFolder (created when missing, an earlier archive of that name deleted first),
// unpacks it there and deletes it when unpacking succeeded. Returns the path of
// "Mouse-Setup-<version>.run" in that folder when that file exists afterwards, else
// empty (also for a version text that is not one, or a relative data folder).
std::string DownloadAppInstaller(std::string_view address, std::string_view version,
                                 const std::string& dataFolder,
                                 const DownloadProgress& progress = {},
                                 const HttpOptions& options = {});

// Makes the file executable for everyone who may read it.
bool MakeExecutable(const std::string& path);

// Makes the installer executable and starts it in a session of its own, with no
// arguments and standard input from /dev/null, so it outlives this program. True when
// it started; the caller then ends the program with exit code 0.
bool StartInstaller(const std::string& path);

// True when the program's own files are not the user's to replace: the executable or
// the application folder is not writable, or the executable lies in the system's
// package-managed tree (/usr, but not /usr/local). The update then points to the
// website (or the package manager) instead of running an installer.
bool InstalledByPackageManager(const std::string& executablePath,
                               const std::string& applicationFolder);

}  // namespace quillora
