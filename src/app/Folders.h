#pragma once

// Where the program finds its files and keeps the user's. Every folder path ends with
// '/', except the database folder, which (as it always has) is the data folder + "db".
// Paths are UTF-8 byte strings, as Linux file names are.

#include <string>
#include <string_view>

namespace quillora {

// Folders given on the command line take the place of the computed ones.
struct FolderOverrides {
    std::string applicationFolder;  // --app-dir
    std::string dataFolder;         // --data-dir
    std::string configFolder;       // --config-dir
};

// The folder of the running executable, with a trailing '/'.
std::string ExecutableFolder();

// The application folder: the executable's folder when it holds config.xml (a build or
// portable tree), else the installed data folder "../share/quillora/" beside it.
std::string ApplicationFolder(const FolderOverrides& overrides = {});

// Same rule for a given executable folder; exposed for tests.
std::string ApplicationFolderFor(const std::string& executableFolder);

// $XDG_DATA_HOME (or ~/.local/share) + "/<product key name> Files/". With neither
// variable set the prefix is empty, and later file operations fail in their own place.
std::string ApplicationDataFolder(std::u16string_view productKeyName,
                                  const FolderOverrides& overrides = {});

// $XDG_CONFIG_HOME (or ~/.config) + "/<product key name>/": where the settings live.
std::string ConfigFolder(std::u16string_view productKeyName, const FolderOverrides& overrides = {});

std::string DatabaseFolder(const std::string& dataFolder);  // data + "db"
std::string DownloadFolder(const std::string& dataFolder);  // data + "/temp/"
// The theme is appended as the toolkit gives it, with its trailing '/'.
std::string SkinFolder(const std::string& applicationFolder, const std::string& theme);
std::string DeviceImageFolder(const std::string& skinFolder);  // skin + "device/"

// Creates a folder and every missing parent. True when the folder exists afterwards;
// false when it could not be made or the path names something that is not a folder.
bool CreateFolder(const std::string& path);

// Ensures a trailing '/' on a non-empty path.
std::string WithTrailingSlash(std::string path);

}  // namespace quillora
