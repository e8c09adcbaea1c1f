/* Reference patcher, the naive way: one positioned read of the search length at every byte offset. */
#include "patch_common.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static int PatchFile(const char* path) {
    int fd = open(path, O_RDWR);
    if (fd < 0)
        return -1;
    struct stat st;
    int rc = fstat(fd, &st);
    char window[kTextLength];
    for (off_t at = 0; rc == 0 && at + kTextLength <= st.st_size; ++at) {
        if (pread(fd, window, kTextLength, at) != kTextLength)
            rc = -1;
        else if (memcmp(window, kSearch, kTextLength) == 0 && pwrite(fd, kReplace, kTextLength, at) != kTextLength)
            rc = -1;
    }
    if (close(fd) != 0)
        rc = -1;
    return rc;
}

int main(int argc, char** argv) {
    return PatchTree(argc, argv);
}
