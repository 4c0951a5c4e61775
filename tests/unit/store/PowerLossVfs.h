#pragma once

// A test VFS that models a disk cache between SQLite and the file: what was written
// since a file's last xSync may still be lost when the power goes. It is registered
// as the default VFS over the platform's one and forwards every call to it, so the
// store under test runs unchanged; it only remembers, per file name, the content that
// reached the disk (at the last sync) and the writes since.
//
// A simulated power loss happens after a chosen number of mutating calls (write,
// truncate, sync, delete): from then on those calls are accepted and ignored, as if the
// machine had stopped. ApplyPowerLoss then rewrites every file as the disk could hold
// it: the synced content plus a random selection of the later writes, each kept,
// dropped or torn (a random subset of its 512-byte sectors). Writes never damage bytes
// outside their own range, which is what the platform VFS promises SQLite.
//
// Syncs are recorded, not performed: the simulated disk makes them unnecessary and the
// tests stay fast. File creation and deletion count as durable at once.

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

struct sqlite3_vfs;

namespace quillora::testing {

class PowerLossVfs {
  public:
    // Registers the VFS as the default one; the destructor restores the platform's.
    PowerLossVfs();
    ~PowerLossVfs();
    PowerLossVfs(const PowerLossVfs&) = delete;
    PowerLossVfs& operator=(const PowerLossVfs&) = delete;

    // Forgets all files; from now on, each file's content when it is first opened
    // counts as synced.
    void StartRecording();

    // The power goes before the `count`-th mutating call from now (1 = the next one).
    void ArmPowerLoss(int count);
    void LosePowerNow() { powerLost_ = true; }
    bool PowerLost() const { return powerLost_; }

    // Rewrites every recorded file as it may be found after the power loss, and stops
    // recording; the VFS forwards everything afterwards.
    void ApplyPowerLoss(std::mt19937& random);

  private:
    struct Write {
        std::int64_t offset;
        std::string bytes;  // empty with truncate set
        bool truncate = false;
        std::int64_t size = 0;
    };
    struct FileState {
        std::string synced;
        std::vector<Write> pending;
    };
    struct ShimFile;
    struct Methods;

    // True when the call is to be dropped because the power is gone.
    bool CountMutation();
    FileState* Tracked(const std::string& path);
    void TrackOpen(const std::string& path);

    static PowerLossVfs* instance_;

    sqlite3_vfs* base_ = nullptr;
    std::vector<unsigned char> vfsStorage_;  // the sqlite3_vfs we register
    bool recording_ = false;
    bool powerLost_ = false;
    int countdown_ = -1;
    std::map<std::string, FileState> files_;
    std::mt19937 randomness_{12345};
};

}  // namespace quillora::testing
