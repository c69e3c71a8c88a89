#include "journal/fault_vfs.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace journal::testing {
namespace {

std::atomic<int> failFromStep{0};
std::atomic<int> failCode{SQLITE_FULL};
std::atomic<int> killAtStep{0};
std::atomic<int> steps{0};
std::atomic<int> syncs{0};

sqlite3_vfs* root = nullptr;
sqlite3_vfs faultVfs;

// Our file: the real one follows it in the same allocation.
struct FaultFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<FaultFile*>(file)->real; }

void Die() { ::kill(::getpid(), SIGKILL); }

// Counts a step that changes a file; answers the code it must fail with, or
// SQLITE_OK. A killed step never returns.
int NextStep() {
  const int step = ++steps;
  if (step == killAtStep.load()) Die();
  const int from = failFromStep.load();
  if (from != 0 && step >= from) return failCode.load();
  return SQLITE_OK;
}

int Close(sqlite3_file* file) { return Real(file)->pMethods->xClose(Real(file)); }
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  const int step = steps.load() + 1;
  if (step == killAtStep.load() && amount > 1) {
    Real(file)->pMethods->xWrite(Real(file), buffer, amount / 2, offset);  // torn
  }
  if (const int fault = NextStep(); fault != SQLITE_OK) return fault;
  return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  if (const int fault = NextStep(); fault != SQLITE_OK) return fault;
  return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) {
  ++syncs;
  if (const int fault = NextStep(); fault != SQLITE_OK) return fault == SQLITE_FULL ? SQLITE_IOERR_FSYNC : fault;
  return Real(file)->pMethods->xSync(Real(file), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) { return Real(file)->pMethods->xFileSize(Real(file), size); }
int Lock(sqlite3_file* file, int level) { return Real(file)->pMethods->xLock(Real(file), level); }
int Unlock(sqlite3_file* file, int level) { return Real(file)->pMethods->xUnlock(Real(file), level); }
int CheckReservedLock(sqlite3_file* file, int* out) {
  return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
  return Real(file)->pMethods->xFileControl(Real(file), op, arg);
}
int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }
int DeviceCharacteristics(sqlite3_file* file) { return Real(file)->pMethods->xDeviceCharacteristics(Real(file)); }
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
  return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
  return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) { Real(file)->pMethods->xShmBarrier(Real(file)); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) { return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag); }
// No memory mapping: every read goes through Read, every write through Write.
int Fetch(sqlite3_file*, sqlite3_int64, int, void** out) {
  *out = nullptr;
  return SQLITE_OK;
}
int Unfetch(sqlite3_file*, sqlite3_int64, void*) { return SQLITE_OK; }

const sqlite3_io_methods kMethods = {
    3,
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
    Unfetch,
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  auto* ours = reinterpret_cast<FaultFile*>(file);
  ours->base.pMethods = nullptr;
  ours->real = reinterpret_cast<sqlite3_file*>(ours + 1);
  const int code = root->xOpen(root, name, ours->real, flags, outFlags);
  if (ours->real->pMethods != nullptr) ours->base.pMethods = &kMethods;
  return code;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) { return root->xDelete(root, name, syncDir); }
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return root->xAccess(root, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return root->xFullPathname(root, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return root->xDlOpen(root, name); }
void DlError(sqlite3_vfs*, int size, char* out) { root->xDlError(root, size, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return root->xDlSym(root, handle, symbol); }
void DlClose(sqlite3_vfs*, void* handle) { root->xDlClose(root, handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return root->xRandomness(root, size, out); }
int Sleep(sqlite3_vfs*, int micros) { return root->xSleep(root, micros); }
int CurrentTime(sqlite3_vfs*, double* out) { return root->xCurrentTime(root, out); }
int GetLastError(sqlite3_vfs*, int size, char* out) { return root->xGetLastError(root, size, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return root->xCurrentTimeInt64(root, out); }

}  // namespace

const char* FaultVfsName() {
  static std::once_flag registered;
  std::call_once(registered, [] {
    root = sqlite3_vfs_find(nullptr);
    std::memset(&faultVfs, 0, sizeof faultVfs);
    faultVfs.iVersion = 2;
    faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + root->szOsFile;
    faultVfs.mxPathname = root->mxPathname;
    faultVfs.zName = "talvane-fault";
    faultVfs.xOpen = Open;
    faultVfs.xDelete = Delete;
    faultVfs.xAccess = Access;
    faultVfs.xFullPathname = FullPathname;
    faultVfs.xDlOpen = DlOpen;
    faultVfs.xDlError = DlError;
    faultVfs.xDlSym = DlSym;
    faultVfs.xDlClose = DlClose;
    faultVfs.xRandomness = Randomness;
    faultVfs.xSleep = Sleep;
    faultVfs.xCurrentTime = CurrentTime;
    faultVfs.xGetLastError = GetLastError;
    faultVfs.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&faultVfs, 0);
  });
  return faultVfs.zName;
}

void SetFaultPlan(const TFaultPlan& plan) {
  failFromStep = plan.failFromStep;
  failCode = plan.failCode;
  killAtStep = plan.killAtStep;
  steps = 0;
  syncs = 0;
}

int FaultSteps() { return steps.load(); }
int FaultSyncs() { return syncs.load(); }

}  // namespace journal::testing
