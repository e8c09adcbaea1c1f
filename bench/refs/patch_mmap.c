/* Reference patcher, the best case: the whole file mapped, memmem from each match onwards. */
#include "patch_common.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

static int PatchMapped(char* bytes, size_t size) {
    char* at = memmem(bytes, size, kSearch, kTextLength);
    while (at != NULL) {
        memcpy(at, kReplace, kTextLength);
        /* like the job's patcher: later windows are judged on the rewritten bytes */
        char* next = at + 1;
        at = memmem(next, size - (size_t)(next - bytes), kSearch, kTextLength);
    }
    return 0;
}

static int PatchFile(const char* path) {
    int fd = open(path, O_RDWR);
    if (fd < 0)
        return -1;
    struct stat st;
    int rc = fstat(fd, &st);
    if (rc == 0 && st.st_size >= kTextLength) {
        char* bytes = mmap(NULL, (size_t)st.st_size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (bytes == MAP_FAILED)
            rc = -1;
        else {
            rc = PatchMapped(bytes, (size_t)st.st_size);
            if (munmap(bytes, (size_t)st.st_size) != 0)
                rc = -1;
        }
    }
    if (close(fd) != 0)
        rc = -1;
    return rc;
}

int main(int argc, char** argv) {
    return PatchTree(argc, argv);
}
