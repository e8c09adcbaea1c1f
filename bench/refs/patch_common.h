/* Shared by the reference patchers: the two equal-length texts and the walk over every *.class below a folder. */
#ifndef GV_BENCH_PATCH_COMMON_H
#define GV_BENCH_PATCH_COMMON_H

#define _GNU_SOURCE
#include <ftw.h>
#include <stdio.h>
#include <string.h>

/* The job's texts, both 31 bytes, so patched classes keep their layout. */
static const char kSearch[] = "javax/microedition/lcdui/Canvas";
static const char kReplace[] = "com/vidorurud/fullscreen/WideCv";
enum { kTextLength = sizeof kSearch - 1 };
enum { kOpenFolders = 32 }; /* descriptors nftw may hold open; the corpus nests a few levels */

/* Patches one file in place; returns 0 when it could be read and written. */
static int PatchFile(const char* path);

static int g_failures;

static int VisitEntry(const char* path, const struct stat* st, int kind, struct FTW* ftw) {
    (void)st;
    (void)ftw;
    size_t n = strlen(path);
    if (kind == FTW_F && n > 6 && strcmp(path + n - 6, ".class") == 0 && PatchFile(path) != 0) {
        fprintf(stderr, "cannot patch %s\n", path);
        ++g_failures;
    }
    return 0;
}

static int PatchTree(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    if (nftw(argv[1], VisitEntry, kOpenFolders, FTW_PHYS) != 0) {
        perror(argv[1]);
        return 1;
    }
    return g_failures == 0 ? 0 : 1;
}

#endif
