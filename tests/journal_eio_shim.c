/* A failing disk under the journal of a whole program, loaded with
 * LD_PRELOAD: the writes and syncs of files under TALVANE_EIO_DIR are
 * counted, and from the one after TALVANE_EIO_AFTER on every one of them
 * fails with EIO, as a dying drive answers. Other files are left alone, so
 * the program's other work (its modem, its workbook) goes on as usual.
 * TALVANE_EIO_TALLY names a file that gets the count when the program ends,
 * so that a test can learn how many such calls a whole campaign makes.
 * TALVANE_EIO_SYNC_DELAY_MS makes every sync of those files that long
 * slower, as a slow disk does, so that a program killed at a random moment
 * is often caught in the middle of a commit. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <sys/types.h>
#include <unistd.h>

static atomic_long calls;

/* Whether `fd` is a file under the failing folder. */
static int UnderFailingFolder(int fd) {
  const char* folder = getenv("TALVANE_EIO_DIR");
  if (folder == NULL || folder[0] == '\0') return 0;
  char link[64];
  char target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, target, sizeof target - 1);
  if (length <= 0) return 0;
  target[length] = '\0';
  const size_t folderLength = strlen(folder);
  return strncmp(target, folder, folderLength) == 0 && target[folderLength] == '/';
}

/* Counts a call on `fd`; true when it is to fail. */
static int Fails(int fd) {
  if (!UnderFailingFolder(fd)) return 0;
  const long call = atomic_fetch_add(&calls, 1) + 1;
  const char* after = getenv("TALVANE_EIO_AFTER");
  return after != NULL && call > atol(after);
}

/* The C library's own function (stored through a void pointer, as dlsym asks). */
/* A sync of a file under the failing folder waits as a slow disk would. */
static void SlowSync(int fd) {
  const char* delay = getenv("TALVANE_EIO_SYNC_DELAY_MS");
  if (delay == NULL || !UnderFailingFolder(fd)) return;
  const long milliseconds = atol(delay);
  const struct timespec wait = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&wait, NULL);
}

static void* Next(const char* name) { return dlsym(RTLD_NEXT, name); }

ssize_t write(int fd, const void* buffer, size_t count) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) *(void**)&real = Next("write");
  if (Fails(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, count);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
  static ssize_t (*real)(int, const void*, size_t, off_t);
  if (real == NULL) *(void**)&real = Next("pwrite");
  if (Fails(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, count, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off64_t offset) {
  static ssize_t (*real)(int, const void*, size_t, off64_t);
  if (real == NULL) *(void**)&real = Next("pwrite64");
  if (Fails(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, count, offset);
}

int fsync(int fd) {
  static int (*real)(int);
  if (real == NULL) *(void**)&real = Next("fsync");
  SlowSync(fd);
  if (Fails(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

int fdatasync(int fd) {
  static int (*real)(int);
  if (real == NULL) *(void**)&real = Next("fdatasync");
  SlowSync(fd);
  if (Fails(fd)) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

__attribute__((destructor)) static void WriteTally(void) {
  const char* tally = getenv("TALVANE_EIO_TALLY");
  if (tally == NULL) return;
  FILE* out = fopen(tally, "w");
  if (out == NULL) return;
  fprintf(out, "%ld\n", atomic_load(&calls));
  fclose(out);
}
