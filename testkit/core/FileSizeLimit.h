#pragma once
// While it lives no file may grow beyond a size, as on a full disk: writes
// past it fail with EFBIG instead of stopping the process.

#include <sys/resource.h>

#include <csignal>

namespace proctorium::testkit {

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &Saved_);
    rlimit limit = Saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &Saved_); }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit Saved_{};
};

}  // namespace proctorium::testkit
