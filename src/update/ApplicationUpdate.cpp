#include "update/ApplicationUpdate.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "app/Folders.h"
#include "app/Trace.h"
#include "update/Archive.h"
#include "update/UpdateNames.h"
#include "update/Versions.h"

extern char** environ;

namespace quillora {

std::string DownloadAppInstaller(std::string_view address, std::string_view version,
                                 const std::string& dataFolder, const DownloadProgress& progress,
                                 const HttpOptions& options) {
    if (!IsVersionText(version, kAppVersionMaxLength) || dataFolder.empty() ||
        dataFolder.front() != '/') {
        return {};
    }
    const std::string folder = DownloadFolder(dataFolder);
    const std::string archiveName = AppArchiveName(version);
    const std::string archive = DownloadedFile(folder, archiveName);
    const std::string installer = DownloadedFile(folder, AppInstallerName(version));
    if (!CreateFolder(folder)) {
        return {};
    }
    ::unlink(archive.c_str());

    DownloadFile(AppArchiveUrl(address, archiveName), archive, progress, options);

    struct stat st;
    if (::lstat(archive.c_str(), &st) == 0 && ExtractArchive(archive, folder)) {
        ::unlink(archive.c_str());
    }
    if (::lstat(installer.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        Trace(TraceLevel::Warning, "update: no installer %s", installer.c_str());
        return {};
    }
    return installer;
}

bool MakeExecutable(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    mode_t mode = st.st_mode & 07777;
    mode |= S_IXUSR | ((mode & (S_IRGRP | S_IROTH)) >> 2);  // x wherever r is set
    return ::chmod(path.c_str(), mode) == 0;
}

bool StartInstaller(const std::string& path) {
    if (!MakeExecutable(path)) {
        Trace(TraceLevel::Warning, "update: cannot make %s executable", path.c_str());
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return false;
    }
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // A session of its own, so the installer is not ended with our terminal or group;
    // our signal mask and handlers are not its business.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string program = path;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        Trace(TraceLevel::Warning, "update: cannot start %s: %s", path.c_str(), std::strerror(rc));
        return false;
    }
    Trace(TraceLevel::Info, "update: started %s as process %d", path.c_str(),
          static_cast<int>(pid));
    return true;
}

bool InstalledByPackageManager(const std::string& executablePath,
                               const std::string& applicationFolder) {
    if (executablePath.rfind("/usr/", 0) == 0 && executablePath.rfind("/usr/local/", 0) != 0) {
        return true;
    }
    return ::access(executablePath.c_str(), W_OK) != 0 ||
           ::access(applicationFolder.c_str(), W_OK) != 0;
}

}  // namespace quillora
