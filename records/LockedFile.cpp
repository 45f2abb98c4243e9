#include "records/LockedFile.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <utility>

namespace dvl {

int OpenLocked(const QByteArray& path, int how) {
    // Another game holds the lock for the few milliseconds of its save.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        // O_NONBLOCK: a FIFO in the file's place must not hang the game.
        Fd file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        struct stat held {};
        if (file.fd < 0 || ::fstat(file.fd, &held) != 0) {
            return -1;
        }
        if (!S_ISREG(held.st_mode)) {
            return std::exchange(file.fd, -1);
        }
        while (::flock(file.fd, how | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return std::exchange(file.fd, -1); // a file system without locks
            }
            if (std::chrono::steady_clock::now() >= until) {
                errno = EWOULDBLOCK;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        // A save that renamed a new file in while we waited let go of the old one: the lock
        // counts only on the file the name gives now.
        struct stat named {};
        if (::stat(path.constData(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            return std::exchange(file.fd, -1);
        }
    }
}

ssize_t ReadStart(int fd, std::span<std::uint8_t> buf) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    std::size_t got = 0;
    while (got < buf.size()) {
        const ssize_t n = ::pread(fd, buf.data() + got, buf.size() - got, off_t(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && got == 0) {
            return -1;
        }
        if (n <= 0) {
            break; // what arrived is used, as for a short file
        }
        got += std::size_t(n);
    }
    return ssize_t(got);
}

} // namespace dvl
