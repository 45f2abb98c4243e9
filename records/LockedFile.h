#pragma once

// The records file read under an advisory lock, so that games sharing it never
// read one's save half written, nor write between another's read and write.

#include <QByteArray>
#include <cstdint>
#include <span>
#include <sys/types.h>
#include <unistd.h>

namespace dvl {

// An open descriptor, closed when it goes.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// The file opened for reading and locked (`how`: LOCK_SH or LOCK_EX). -1 with errno set when
// it cannot be opened, or EWOULDBLOCK when another game holds it for more than a second. A
// file that is no regular file is opened without a lock; the reader refuses it.
int OpenLocked(const QByteArray& path, int how);

// Up to buf.size() bytes from the start of a regular file; -1 with errno set when it cannot
// be read at all.
ssize_t ReadStart(int fd, std::span<std::uint8_t> buf);

} // namespace dvl
