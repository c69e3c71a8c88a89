#include "journal/campaign_claims.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace journal {
namespace {

class TFileClaim final : public TCampaignClaim {
 public:
  explicit TFileClaim(int fd) : fd_(fd) {}
  ~TFileClaim() override { ::close(fd_); }  // the lock goes with its open file
  TFileClaim(const TFileClaim&) = delete;
  TFileClaim& operator=(const TFileClaim&) = delete;

 private:
  int fd_;
};

TJournalError ClaimError(TJournalFault fault, const std::string& utf8) { return {fault, platform::Utf8ToAnsi(utf8)}; }

}  // namespace

TJournalResult<std::unique_ptr<TCampaignClaim>> ClaimInFile(const std::filesystem::path& file, TCampaignId campaign) {
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    return ClaimError(TJournalFault::NoAccess,
                      "Nie można otworzyć pliku " + file.string() + ": " + std::strerror(errno) + ".");
  }
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(campaign);
  lock.l_len = 1;
  if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return std::unique_ptr<TCampaignClaim>(new TFileClaim(fd));
  const int error = errno;
  ::close(fd);
  if (error == EAGAIN || error == EACCES) {
    return ClaimError(TJournalFault::Claimed, "Wysyłkę nr " + std::to_string(campaign) +
                                                  " prowadzi teraz inny program (okno Talvane albo talvane-cli).");
  }
  return ClaimError(TJournalFault::Io, "Nie można zająć wysyłki nr " + std::to_string(campaign) + ": " +
                                           std::strerror(error) + ".");
}

}  // namespace journal
