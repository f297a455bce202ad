/* Holds the lock a writer of the image takes, as statwright-cli takes it on Windows (one byte
 * far past the end of the file, exclusive), for a number of seconds, so that a test can see
 * another writer kept away. Says "held" once it has it. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    OVERLAPPED at = {0};
    at.Offset = 0xFFFFFFF0;
    at.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return 1;
    printf("held\n");
    fflush(stdout);
    Sleep(1000 * (DWORD)atoi(argv[2]));
    CloseHandle(file);
    return 0;
}
