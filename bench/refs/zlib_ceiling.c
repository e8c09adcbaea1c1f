/* The in-memory zlib ceilings: inflate + CRC over a ZIP's entries, deflate level 6 + CRC over a folder's files,
   with every input read into memory before the clock starts, so only the codec and the CRC are timed.
   Prints the seconds of that work on its last line ("compute SECONDS"). */
#define _GNU_SOURCE
#include <ftw.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <zlib.h>

enum {
    kEndRecordSize = 22,     /* end of central directory record without its comment */
    kMaxCommentSize = 65535, /* the record's comment length is 16 bits */
    kDirHeaderSize = 46,     /* central directory file header */
    kLocalHeaderSize = 30,   /* local file header */
    kChunk = 64 * 1024,      /* output buffer per codec call */
    kDeflateLevel = 6,       /* what zip -6 uses */
    kMemLevel = 8,           /* zlib's default, also Info-ZIP's */
    kRawWindowBits = -15,    /* raw deflate, as ZIP stores it */
    kOpenFolders = 32
};

typedef struct {
    unsigned char* data;
    size_t size;
} Buffer;

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static unsigned Le16(const unsigned char* p) {
    return (unsigned)p[0] | (unsigned)p[1] << 8;
}
static uint32_t Le32(const unsigned char* p) {
    return Le16(p) | (uint32_t)Le16(p + 2) << 16;
}

static int ReadWhole(const char* path, Buffer* out) {
    FILE* f = fopen(path, "rb");
    if (f == NULL)
        return -1;
    int rc = fseek(f, 0, SEEK_END);
    long size = rc == 0 ? ftell(f) : -1;
    out->size = size < 0 ? 0 : (size_t)size;
    out->data = malloc(out->size + 1);
    rc = size < 0 || out->data == NULL || fseek(f, 0, SEEK_SET) != 0 || fread(out->data, 1, out->size, f) != out->size;
    fclose(f);
    return rc ? -1 : 0;
}

static long FindEndRecord(const Buffer* zip) {
    if (zip->size < kEndRecordSize)
        return -1;
    size_t lowest = zip->size > kEndRecordSize + kMaxCommentSize ? zip->size - kEndRecordSize - kMaxCommentSize : 0;
    for (size_t at = zip->size - kEndRecordSize + 1; at-- > lowest;)
        if (Le32(zip->data + at) == 0x06054b50)
            return (long)at;
    return -1;
}

/* Inflates (or, when stored, only checks) one entry's bytes; 0 when the CRC matches. */
static int CheckEntry(const unsigned char* bytes, size_t size, unsigned method, uint32_t crc, unsigned char* out) {
    uLong sum = crc32(0, Z_NULL, 0);
    if (method == 0)
        return crc32(sum, bytes, (uInt)size) == crc ? 0 : -1;
    if (method != 8)
        return -1;
    z_stream z;
    memset(&z, 0, sizeof z);
    if (inflateInit2(&z, kRawWindowBits) != Z_OK)
        return -1;
    z.next_in = (unsigned char*)bytes;
    z.avail_in = (uInt)size;
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = out;
        z.avail_out = kChunk;
        status = inflate(&z, Z_NO_FLUSH);
        sum = crc32(sum, out, (uInt)(kChunk - z.avail_out));
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && sum == crc ? 0 : -1;
}

static int InflateArchive(const char* path) {
    Buffer zip;
    if (ReadWhole(path, &zip) != 0)
        return perror(path), 1;
    long end = FindEndRecord(&zip);
    if (end < 0)
        return fprintf(stderr, "%s: no end record\n", path), 1;
    double start = Now();
    unsigned count = Le16(zip.data + end + 10);
    size_t at = Le32(zip.data + end + 16);
    unsigned char* out = malloc(kChunk);
    int failures = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (at + kDirHeaderSize > zip.size || Le32(zip.data + at) != 0x02014b50)
            return fprintf(stderr, "bad directory\n"), 1;
        const unsigned char* h = zip.data + at;
        size_t local = Le32(h + 42);
        if (local + kLocalHeaderSize > zip.size)
            return fprintf(stderr, "bad local offset\n"), 1;
        const unsigned char* l = zip.data + local;
        size_t data = local + kLocalHeaderSize + Le16(l + 26) + Le16(l + 28);
        size_t packed = Le32(h + 20);
        if (data + packed > zip.size)
            return fprintf(stderr, "entry past the end\n"), 1;
        failures += CheckEntry(zip.data + data, packed, Le16(h + 10), Le32(h + 16), out) != 0;
        at += kDirHeaderSize + Le16(h + 28) + Le16(h + 30) + Le16(h + 32);
    }
    double seconds = Now() - start;
    free(out);
    free(zip.data);
    printf("%u entries, %d failed\ncompute %.6f\n", count, failures, seconds);
    return failures == 0 ? 0 : 1;
}

static Buffer* g_files;
static size_t g_count, g_capacity;

static int CollectFile(const char* path, const struct stat* st, int kind, struct FTW* ftw) {
    (void)st;
    (void)ftw;
    if (kind != FTW_F)
        return 0;
    if (g_count == g_capacity) {
        g_capacity = g_capacity ? 2 * g_capacity : 1024;
        g_files = realloc(g_files, g_capacity * sizeof *g_files);
    }
    return ReadWhole(path, &g_files[g_count++]);
}

/* Raw deflate at level 6 into a discarded chunk, on one stream reset per file; returns the compressed size. */
static size_t DeflateOne(z_stream* z, const Buffer* file, unsigned char* out, uLong* crc) {
    deflateReset(z);
    z->next_in = file->data;
    z->avail_in = (uInt)file->size;
    size_t produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        z->next_out = out;
        z->avail_out = kChunk;
        status = deflate(z, Z_FINISH);
        produced += kChunk - z->avail_out;
    }
    *crc = crc32(*crc, file->data, (uInt)file->size);
    return produced;
}

static int DeflateFolder(const char* path) {
    if (nftw(path, CollectFile, kOpenFolders, FTW_PHYS) != 0)
        return perror(path), 1;
    unsigned char* out = malloc(kChunk);
    double start = Now();
    z_stream z;
    memset(&z, 0, sizeof z);
    if (deflateInit2(&z, kDeflateLevel, Z_DEFLATED, kRawWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        return 1;
    size_t packed = 0, plain = 0;
    uLong crc = crc32(0, Z_NULL, 0);
    for (size_t i = 0; i < g_count; ++i) {
        packed += DeflateOne(&z, &g_files[i], out, &crc);
        plain += g_files[i].size;
    }
    deflateEnd(&z);
    double seconds = Now() - start;
    printf("%zu files, %zu bytes, deflated to %zu\ncompute %.6f\n", g_count, plain, packed, seconds);
    free(out);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "inflate") == 0)
        return InflateArchive(argv[2]);
    if (argc == 3 && strcmp(argv[1], "deflate") == 0)
        return DeflateFolder(argv[2]);
    fprintf(stderr, "usage: %s inflate ARCHIVE | deflate DIR\n", argv[0]);
    return 2;
}
