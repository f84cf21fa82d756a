#ifndef LYRICADE_EUNZIP32_H
#define LYRICADE_EUNZIP32_H
/* The calling convention of the fallback unzip module "libeunzip32.so".

   One call of Wiz_SingleEntryUnzip runs one pass over one archive: a listing
   pass tells the message callback about every member; an extracting pass
   writes the members below the extraction folder. Callers load the module for
   each pass and unload it afterwards, so it keeps no state between calls.

   Extraction is confined to the extraction folder: members whose names are
   absolute or step out with "..", and anything but plain files and folders
   (symbolic links, devices), are skipped, and nothing is written through a
   symbolic link. A member whose data cannot be read whole is not left behind
   half written. Members are written at absolute paths below the extraction
   folder: a pass never changes the process's working folder, which the
   caller's other threads may be using (a relative extraction folder is taken
   relative to it). */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Pass options. */
typedef struct EunzipOptions {
  uint32_t StructSize;       /* sizeof(EunzipOptions) */
  const char* ArchivePath;   /* the archive to read */
  const char* ExtractFolder; /* an existing folder the members are written into */
  int ListOnly;              /* nonzero: listing pass; zero: extracting pass */
  int RecreateFolders;       /* nonzero: keep the members' stored folders */
  int OverwriteAll;          /* nonzero: replace existing files without asking */
  uint64_t MaxTotalBytes;    /* the most an extracting pass writes in all; 0: no limit.
                                A member whose data runs past its declared size,
                                or past this budget, fails and is removed. */
} EunzipOptions;

/* One member as the archive describes it. */
typedef struct EunzipMember {
  const char* Name;     /* the name stored in the archive, unchecked */
  int64_t Size;         /* uncompressed size, -1 when the archive does not say */
  int64_t ModifiedTime; /* seconds since the epoch */
  int IsFolder;
} EunzipMember;

/* Calls back into the caller; any of them may be null. */
typedef struct EunzipCallbacks {
  uint32_t StructSize; /* sizeof(EunzipCallbacks) */
  void* User;          /* handed to every callback */
  /* Progress and listing text, one line at a time. */
  void (*Print)(void* user, const char* text, size_t length);
  /* An existing file is about to be replaced (only without OverwriteAll):
     nonzero replaces it, zero skips the member. */
  int (*Replace)(void* user, const char* path);
  /* An encrypted member needs a password: nonzero when `buffer` (of `size`
     bytes) now holds one, NUL-terminated. */
  int (*Password)(void* user, char* buffer, size_t size, const char* member);
  /* Every member, in archive order, during the listing pass. */
  void (*Message)(void* user, const EunzipMember* member);
} EunzipCallbacks;

/* Result codes. */
enum {
  EUNZIP_OK = 0,
  EUNZIP_WARNING = 1,       /* the pass ran; some members were skipped or failed */
  EUNZIP_BAD_ARCHIVE = 2,   /* the archive could not be read to its end */
  EUNZIP_NO_ARCHIVE = 9,    /* the archive could not be opened */
  EUNZIP_BAD_OPTIONS = 10,  /* missing or malformed options */
  EUNZIP_NO_MEMBERS = 11,   /* the archive holds no member to work on */
  EUNZIP_WRITE_FAILED = 50  /* the extraction folder could not be used */
};

/* Runs one pass. With include names, only members whose stored names equal
   one of them are worked on; members named in the exclude list never are. */
int Wiz_SingleEntryUnzip(int includeCount, const char* const* includeNames, int excludeCount,
                         const char* const* excludeNames, const EunzipOptions* options,
                         const EunzipCallbacks* callbacks);

typedef int (*EunzipEntryPoint)(int, const char* const*, int, const char* const*,
                                const EunzipOptions*, const EunzipCallbacks*);

#ifdef __cplusplus
}
#endif

#endif
