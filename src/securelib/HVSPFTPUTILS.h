#pragma once

// HVSPFTPUTILS: the secure FTP library. One SFTP session per process, driven by command texts
// ("cd", "put", "get", "dir", ...) and answering with reply texts. Strings are NUL-terminated
// UTF-8; every reply is written NUL-terminated into a buffer the caller provides, never past
// the size that belongs to the call (see the sizes below), or, through FtpCmdEx, into a buffer
// that grows to hold the whole reply.

#include <stddef.h>

#if defined(HVSPFTPUTILS_BUILDING)
#define HVSPFTPUTILS_EXPORT __attribute__((visibility("default")))
#else
#define HVSPFTPUTILS_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Buffer sizes, in bytes, that the library writes at most. A listing that does not fit ends
// at its last whole line.
enum {
    HVSP_REPLY_SIZE = 256,      // connect, close and every command not named below
    HVSP_PWD_SIZE = 1024,       // "pwd", and FtpPwd
    HVSP_SIZE_QUERY_SIZE = 512, // "dir" of a name without wildcards: one file's line
    HVSP_LISTING_SIZE = 8192,   // "dir" of a pattern ("*", "week1/*.htm") or of nothing, and FtpDir
    HVSP_STATUS_SIZE = 8192,    // FtpGetStatus
};

// Called while the library connects; 1 lets it go on, 0 stops the connect.
typedef int (*HvspStatusCallback)(void);
// Called while a put or get moves its file, with the `user` pointer handed to FtpCmdProgress:
// `done` bytes of `total`, the size of the whole transfer (for "-h", of the page and its
// companion files together). The first call comes before the first block and tells where the
// transfer starts: 0, or the bytes a continued file already holds ("-c" below). Then called
// after every block the server confirmed or sent, and, with the same numbers, at least every
// 100 ms while the server is waited for. 1 lets the transfer go on; 0 cancels it.
typedef int (*HvspProgressCallback)(void *user, long long done, long long total);

// Unlocks the library with its 25-character key. Connecting fails until it has been called
// with the right key.
HVSPFTPUTILS_EXPORT void FtpInit(const char *key);
// Connects to "host[:port]" (22 by default; "[v6address]:port" for IPv6), checks the server's
// host key and logs in. Returns exactly 1 when the session is open, 0 otherwise.
HVSPFTPUTILS_EXPORT int FtpConnect(const char *user, const char *password, const char *server,
                                   char *reply, HvspStatusCallback callback);
// Runs one command text; non-zero on success. The reply holds the library's answer.
//
// "put" and "get" of a file of at least 1 MiB that are cut (a lost connection) or cancelled
// keep what arrived: an upload its temporary file on the server, a download of a file whose
// date the server tells its partial beside the local file (".vellix-XXXXXXXX.part", with a note
// of what it is a copy of in ".vellix-XXXXXXXX.info"). The flag "-c" ("put -c", "get -h -c")
// lets the next transfer of the same file continue it: an upload when the temporary file is no
// larger than the local file and not older than its last change, a download when the server
// file has the same path, size and date as when the partial began. Anything else, and a
// transfer without "-c", starts from the first byte. A continued file's size is compared with
// the whole once it is there (the server computes no hash: OpenSSH's sftp-server has no
// "check-file"); a mismatch sends the whole file again, once.
HVSPFTPUTILS_EXPORT int FtpCmd(const char *command, char *reply);
// Runs one command text as FtpCmd does, and hands back its whole reply, however long: every
// line of a listing. *reply is NULL or a buffer from malloc() of *size bytes; when the reply
// and its NUL do not fit, the library enlarges it with realloc() and sets *reply and *size
// anew (should that fail, the reply is cut to *size as FtpCmd cuts it). The caller frees the
// buffer with free().
HVSPFTPUTILS_EXPORT int FtpCmdEx(const char *command, char **reply, size_t *size);
// Runs one command text as FtpCmdEx does, and moves the file of a put or get in blocks, telling
// `progress` (when not NULL) how far it has come and asking it whether to go on. A cancelled
// transfer fails with a reply that says so: it leaves the server's copy (an upload) or the
// local file (a download) as it was, and keeps only the partial of a large file (see FtpCmd).
// Other commands never call `progress`.
HVSPFTPUTILS_EXPORT int FtpCmdProgress(const char *command, char **reply, size_t *size,
                                       HvspProgressCallback progress, void *user);
// The listing of a pattern or folder, as the reply to "dir"; non-zero on success.
HVSPFTPUTILS_EXPORT int FtpDir(const char *path, char *output);
// The current server folder; non-zero on success.
HVSPFTPUTILS_EXPORT int FtpPwd(char *output);
// Closes the session; non-zero on success.
HVSPFTPUTILS_EXPORT int FtpClose(char *reply);
// Closes any open session and releases the library's resources.
HVSPFTPUTILS_EXPORT void FtpExit(void);
// The current status text: what the library is doing or what stopped it; after a failed
// command, its reply, which says why (a full local disk, a lost connection...). After a connect
// that met the server's host key for the first time, a second line (after CR LF) says that
// the key was recorded, with its fingerprint: "New host key of HOST accepted and recorded:
// TYPE SHA256:...".
HVSPFTPUTILS_EXPORT void FtpGetStatus(char *status);

// The longest wait for the server, in milliseconds, for every later network step (30000 by
// default); a server silent for longer fails the operation and ends the session.
HVSPFTPUTILS_EXPORT void FtpSetTimeout(int milliseconds);
// What to do with a server that has no host key in the known-hosts file yet:
// HVSP_ACCEPT_NEW_KEYS (the default) accepts its key and records it, HVSP_REFUSE_NEW_KEYS
// refuses to connect. A server with recorded keys must show one of them; any other key, of
// whatever type, is a changed key and always refused.
enum { HVSP_REFUSE_NEW_KEYS = 0, HVSP_ACCEPT_NEW_KEYS = 1 };
HVSPFTPUTILS_EXPORT void FtpSetHostKeyPolicy(int policy);

#ifdef __cplusplus
}
#endif
