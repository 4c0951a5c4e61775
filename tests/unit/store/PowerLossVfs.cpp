#include "PowerLossVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace quillora::testing {

namespace {

constexpr std::int64_t kSector = 512;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void Overwrite(std::string& content, std::int64_t offset, const char* bytes, std::int64_t size) {
    const auto end = static_cast<std::size_t>(offset + size);
    if (content.size() < end) {
        content.resize(end, '\0');
    }
    std::memcpy(content.data() + offset, bytes, static_cast<std::size_t>(size));
}

}  // namespace

PowerLossVfs* PowerLossVfs::instance_ = nullptr;

// Our file object: the platform's file lives right behind it in the same allocation.
struct PowerLossVfs::ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* path;  // null for files without a name (temporary files)
};

struct PowerLossVfs::Methods {
    static sqlite3_file* Real(sqlite3_file* file) {
        return reinterpret_cast<ShimFile*>(file)->real;
    }
    static const std::string* PathOf(sqlite3_file* file) {
        return reinterpret_cast<ShimFile*>(file)->path;
    }

    static int Close(sqlite3_file* file) {
        auto* shim = reinterpret_cast<ShimFile*>(file);
        const int result = shim->real->pMethods->xClose(shim->real);
        delete shim->path;
        shim->path = nullptr;
        return result;
    }
    static int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
        return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
    }
    static int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
        const std::string* path = PathOf(file);
        if (path != nullptr && instance_->CountMutation()) {
            return SQLITE_OK;
        }
        const int result = Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
        if (result == SQLITE_OK && path != nullptr) {
            if (FileState* state = instance_->Tracked(*path)) {
                state->pending.push_back(
                    {offset, std::string(static_cast<const char*>(buffer), amount)});
            }
        }
        return result;
    }
    static int Truncate(sqlite3_file* file, sqlite3_int64 size) {
        const std::string* path = PathOf(file);
        if (path != nullptr && instance_->CountMutation()) {
            return SQLITE_OK;
        }
        const int result = Real(file)->pMethods->xTruncate(Real(file), size);
        if (result == SQLITE_OK && path != nullptr) {
            if (FileState* state = instance_->Tracked(*path)) {
                state->pending.push_back({0, {}, true, size});
            }
        }
        return result;
    }
    static int Sync(sqlite3_file* file, int) {
        const std::string* path = PathOf(file);
        if (path == nullptr) {
            return SQLITE_OK;
        }
        if (instance_->CountMutation()) {
            return SQLITE_OK;
        }
        if (FileState* state = instance_->Tracked(*path)) {
            state->synced = ReadWholeFile(*path);
            state->pending.clear();
        }
        return SQLITE_OK;
    }
    static int FileSize(sqlite3_file* file, sqlite3_int64* size) {
        return Real(file)->pMethods->xFileSize(Real(file), size);
    }
    static int Lock(sqlite3_file* file, int level) {
        return Real(file)->pMethods->xLock(Real(file), level);
    }
    static int Unlock(sqlite3_file* file, int level) {
        return Real(file)->pMethods->xUnlock(Real(file), level);
    }
    static int CheckReservedLock(sqlite3_file* file, int* out) {
        return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
    }
    static int FileControl(sqlite3_file* file, int op, void* arg) {
        return Real(file)->pMethods->xFileControl(Real(file), op, arg);
    }
    static int SectorSize(sqlite3_file* file) {
        return Real(file)->pMethods->xSectorSize(Real(file));
    }
    static int DeviceCharacteristics(sqlite3_file* file) {
        return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
    }
    static int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
        return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, out);
    }
    static int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
        return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
    }
    static void ShmBarrier(sqlite3_file* file) { Real(file)->pMethods->xShmBarrier(Real(file)); }
    static int ShmUnmap(sqlite3_file* file, int deleteFlag) {
        return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
    }
    static int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
        return Real(file)->pMethods->xFetch(Real(file), offset, amount, out);
    }
    static int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* pointer) {
        return Real(file)->pMethods->xUnfetch(Real(file), offset, pointer);
    }

    static constexpr sqlite3_io_methods kIo = {3,
                                               Close,
                                               Read,
                                               Write,
                                               Truncate,
                                               Sync,
                                               FileSize,
                                               Lock,
                                               Unlock,
                                               CheckReservedLock,
                                               FileControl,
                                               SectorSize,
                                               DeviceCharacteristics,
                                               ShmMap,
                                               ShmLock,
                                               ShmBarrier,
                                               ShmUnmap,
                                               Fetch,
                                               Unfetch};

    static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                    int* outFlags) {
        auto* shim = reinterpret_cast<ShimFile*>(file);
        shim->base.pMethods = nullptr;
        shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
        shim->path = nullptr;
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        const int result = base->xOpen(base, name, shim->real, flags, outFlags);
        if (result != SQLITE_OK) {
            return result;
        }
        if (name != nullptr && (flags & SQLITE_OPEN_DELETEONCLOSE) == 0) {
            shim->path = new std::string(name);
            instance_->TrackOpen(*shim->path);
        }
        shim->base.pMethods = &kIo;
        return SQLITE_OK;
    }
    static int Delete(sqlite3_vfs* vfs, const char* name, int) {
        if (instance_->CountMutation()) {
            return SQLITE_OK;
        }
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        instance_->files_.erase(name);
        return base->xDelete(base, name, 0);
    }
    static int Access(sqlite3_vfs* vfs, const char* name, int flags, int* out) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xAccess(base, name, flags, out);
    }
    static int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xFullPathname(base, name, size, out);
    }
    // Deterministic, so a seeded run repeats exactly (WAL salts come from here).
    static int Randomness(sqlite3_vfs*, int size, char* out) {
        for (int i = 0; i < size; ++i) {
            out[i] = static_cast<char>(instance_->randomness_());
        }
        return size;
    }
    static int Sleep(sqlite3_vfs* vfs, int microseconds) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xSleep(base, microseconds);
    }
    static int CurrentTime(sqlite3_vfs* vfs, double* out) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xCurrentTime(base, out);
    }
    static int GetLastError(sqlite3_vfs* vfs, int size, char* out) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xGetLastError(base, size, out);
    }
    static int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out) {
        sqlite3_vfs* base = static_cast<sqlite3_vfs*>(vfs->pAppData);
        return base->xCurrentTimeInt64(base, out);
    }
};

PowerLossVfs::PowerLossVfs() {
    instance_ = this;
    base_ = sqlite3_vfs_find(nullptr);
    vfsStorage_.resize(sizeof(sqlite3_vfs));
    auto* vfs = reinterpret_cast<sqlite3_vfs*>(vfsStorage_.data());
    *vfs = sqlite3_vfs{};
    vfs->iVersion = 2;
    vfs->szOsFile = static_cast<int>(sizeof(ShimFile)) + base_->szOsFile;
    vfs->mxPathname = base_->mxPathname;
    vfs->zName = "powerloss";
    vfs->pAppData = base_;
    vfs->xOpen = Methods::Open;
    vfs->xDelete = Methods::Delete;
    vfs->xAccess = Methods::Access;
    vfs->xFullPathname = Methods::FullPathname;
    vfs->xRandomness = Methods::Randomness;
    vfs->xSleep = Methods::Sleep;
    vfs->xCurrentTime = Methods::CurrentTime;
    vfs->xGetLastError = Methods::GetLastError;
    vfs->xCurrentTimeInt64 = Methods::CurrentTimeInt64;
    sqlite3_vfs_register(vfs, 1);
}

PowerLossVfs::~PowerLossVfs() {
    sqlite3_vfs_unregister(reinterpret_cast<sqlite3_vfs*>(vfsStorage_.data()));
    sqlite3_vfs_register(base_, 1);
    instance_ = nullptr;
}

void PowerLossVfs::StartRecording() {
    files_.clear();
    recording_ = true;
    powerLost_ = false;
    countdown_ = -1;
}

void PowerLossVfs::ArmPowerLoss(int count) {
    countdown_ = count;
}

bool PowerLossVfs::CountMutation() {
    if (!recording_) {
        return false;
    }
    if (countdown_ > 0 && --countdown_ == 0) {
        powerLost_ = true;
    }
    return powerLost_;
}

PowerLossVfs::FileState* PowerLossVfs::Tracked(const std::string& path) {
    if (!recording_) {
        return nullptr;
    }
    const auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

void PowerLossVfs::TrackOpen(const std::string& path) {
    if (recording_ && files_.find(path) == files_.end()) {
        files_[path].synced = ReadWholeFile(path);
    }
}

void PowerLossVfs::ApplyPowerLoss(std::mt19937& random) {
    for (auto& [path, state] : files_) {
        std::string content = state.synced;
        for (const Write& write : state.pending) {
            const unsigned fate = random() % 4;  // 0, 1 kept; 2 dropped; 3 torn
            if (fate == 2) {
                continue;
            }
            if (write.truncate) {
                content.resize(static_cast<std::size_t>(write.size), '\0');
                continue;
            }
            const auto size = static_cast<std::int64_t>(write.bytes.size());
            for (std::int64_t at = 0; at < size; at += kSector) {
                if (fate == 3 && random() % 2 == 0) {
                    continue;
                }
                Overwrite(content, write.offset + at, write.bytes.data() + at,
                          std::min(kSector, size - at));
            }
        }
        WriteWholeFile(path, content);
    }
    files_.clear();
    recording_ = false;
}

}  // namespace quillora::testing
