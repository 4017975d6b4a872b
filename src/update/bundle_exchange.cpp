#include "update/bundle_exchange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <linux/fs.h>

namespace seam {

namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int exchangeExitStatus(Exchange e) {
    switch (e) {
        case Exchange::done:
            return 0;
        case Exchange::refused:
            return 3;
        case Exchange::failed:
            break;
    }
    return 1;
}

Exchange exchangeOutcomeOf(int error) {
    // Kernels before 3.15 lack the call; file systems without the flag say EINVAL.
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ? Exchange::refused
                                                                     : Exchange::failed;
}

Exchange exchangeFolders(const std::string& a, const std::string& b, std::string& why) {
    for (const std::string* p : {&a, &b}) {
        if (!isFolder(*p)) {
            why = "not a folder: " + *p;
            return Exchange::failed;
        }
    }
    // The system call itself: the C library wrapper is younger than some systems.
    if (::syscall(SYS_renameat2, AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return Exchange::done;
    const int error = errno;
    why = std::strerror(error);
    return exchangeOutcomeOf(error);
}

}  // namespace seam
