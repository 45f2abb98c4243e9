// A pass-through FUSE file system whose locks behave as NFS's do: flock() is carried out
// as a lock on the whole file's byte range, so an exclusive lock needs a descriptor that
// may write (EBADF otherwise), and two opens of one file hold locks of their own.
//   nfs-like-fs BACKING_DIR MOUNTPOINT [fuse options]
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

static int backing = -1; // the backing directory; paths are taken relative to it

static const char* rel(const char* path) {
    return path[1] ? path + 1 : ".";
}

static int err(int rc) {
    return rc < 0 ? -errno : rc;
}

static int fs_getattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    if (fi) {
        return err(fstat((int)fi->fh, st));
    }
    return err(fstatat(backing, rel(path), st, AT_SYMLINK_NOFOLLOW));
}

static int fs_readlink(const char* path, char* buf, size_t size) {
    const ssize_t n = readlinkat(backing, rel(path), buf, size - 1);
    if (n < 0) {
        return -errno;
    }
    buf[n] = '\0';
    return 0;
}

static int fs_readdir(const char* path, void* buf, fuse_fill_dir_t fill, off_t off,
                      struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)off, (void)fi, (void)flags;
    const int fd = openat(backing, rel(path), O_RDONLY | O_DIRECTORY);
    DIR* dir = fd < 0 ? NULL : fdopendir(fd);
    if (!dir) {
        return -errno;
    }
    for (struct dirent* e; (e = readdir(dir));) {
        fill(buf, e->d_name, NULL, 0, 0);
    }
    closedir(dir);
    return 0;
}

static int fs_open(const char* path, struct fuse_file_info* fi) {
    const int fd = openat(backing, rel(path), fi->flags & ~O_NOFOLLOW);
    if (fd < 0) {
        return -errno;
    }
    fi->fh = (uint64_t)fd;
    return 0;
}

static int fs_create(const char* path, mode_t mode, struct fuse_file_info* fi) {
    const int fd = openat(backing, rel(path), fi->flags | O_CREAT, mode);
    if (fd < 0) {
        return -errno;
    }
    fi->fh = (uint64_t)fd;
    return 0;
}

static int fs_read(const char* path, char* buf, size_t size, off_t off,
                   struct fuse_file_info* fi) {
    (void)path;
    return err((int)pread((int)fi->fh, buf, size, off));
}

static int fs_write(const char* path, const char* buf, size_t size, off_t off,
                    struct fuse_file_info* fi) {
    (void)path;
    return err((int)pwrite((int)fi->fh, buf, size, off));
}

static int fs_release(const char* path, struct fuse_file_info* fi) {
    (void)path;
    close((int)fi->fh); // drops the open's own lock
    return 0;
}

static int fs_fsync(const char* path, int datasync, struct fuse_file_info* fi) {
    (void)path;
    return err(datasync ? fdatasync((int)fi->fh) : fsync((int)fi->fh));
}

// The heart of it: a whole-file record lock owned by this open (an open file description
// lock), as an NFS client turns flock() into a byte-range lock on the server.
static int fs_flock(const char* path, struct fuse_file_info* fi, int op) {
    (void)path;
    struct flock fl = {.l_whence = SEEK_SET, .l_start = 0, .l_len = 0, .l_pid = 0};
    fl.l_type = (op & LOCK_EX) ? F_WRLCK : (op & LOCK_SH) ? F_RDLCK : F_UNLCK;
    return err(fcntl((int)fi->fh, (op & LOCK_NB) ? F_OFD_SETLK : F_OFD_SETLKW, &fl));
}

static int fs_unlink(const char* path) {
    return err(unlinkat(backing, rel(path), 0));
}

static int fs_rename(const char* from, const char* to, unsigned int flags) {
    return err(renameat2(backing, rel(from), backing, rel(to), flags));
}

static int fs_link(const char* from, const char* to) {
    return err(linkat(backing, rel(from), backing, rel(to), 0));
}

static int fs_chmod(const char* path, mode_t mode, struct fuse_file_info* fi) {
    return err(fi ? fchmod((int)fi->fh, mode) : fchmodat(backing, rel(path), mode, 0));
}

static int fs_chown(const char* path, uid_t uid, gid_t gid, struct fuse_file_info* fi) {
    return err(fi ? fchown((int)fi->fh, uid, gid)
                  : fchownat(backing, rel(path), uid, gid, AT_SYMLINK_NOFOLLOW));
}

static int fs_truncate(const char* path, off_t size, struct fuse_file_info* fi) {
    if (fi) {
        return err(ftruncate((int)fi->fh, size));
    }
    const int fd = openat(backing, rel(path), O_WRONLY);
    if (fd < 0) {
        return -errno;
    }
    const int rc = err(ftruncate(fd, size));
    close(fd);
    return rc;
}

static int fs_utimens(const char* path, const struct timespec tv[2], struct fuse_file_info* fi) {
    return err(fi ? futimens((int)fi->fh, tv)
                  : utimensat(backing, rel(path), tv, AT_SYMLINK_NOFOLLOW));
}

static int fs_access(const char* path, int mask) {
    return err(faccessat(backing, rel(path), mask, 0));
}

static int fs_statfs(const char* path, struct statvfs* st) {
    (void)path;
    return err(fstatvfs(backing, st));
}

static const struct fuse_operations ops = {
    .getattr = fs_getattr,
    .readlink = fs_readlink,
    .unlink = fs_unlink,
    .rename = fs_rename,
    .link = fs_link,
    .chmod = fs_chmod,
    .chown = fs_chown,
    .truncate = fs_truncate,
    .open = fs_open,
    .read = fs_read,
    .write = fs_write,
    .statfs = fs_statfs,
    .release = fs_release,
    .fsync = fs_fsync,
    .readdir = fs_readdir,
    .access = fs_access,
    .create = fs_create,
    .utimens = fs_utimens,
    .flock = fs_flock,
};

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s BACKING_DIR MOUNTPOINT [fuse options]\n", argv[0]);
        return 2;
    }
    backing = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (backing < 0) {
        perror(argv[1]);
        return 1;
    }
    argv[1] = argv[0];
    return fuse_main(argc - 1, argv + 1, &ops, NULL);
}
