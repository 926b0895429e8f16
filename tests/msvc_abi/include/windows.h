/* Stand-in <windows.h> for the Microsoft-ABI test programs: the Win32 types and the few
   kernel32 functions they use, declared as the system declares them (stdcall, imported).
   The host headers include it for RECT. */
#pragma once

#include <stddef.h>

#define WINAPI __stdcall
#define WINBASEAPI __declspec(dllimport)

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned long ULONG;
typedef int BOOL;
typedef long HRESULT;
typedef void* HANDLE;
typedef void* HMODULE;
typedef void* HWND;
typedef void* LPVOID;
typedef size_t SIZE_T;
typedef int(WINAPI* FARPROC)(void);

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

#define SUCCEEDED(result) ((HRESULT)(result) >= 0)
#define FAILED(result) ((HRESULT)(result) < 0)

#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define PROCESS_HEAP_ENTRY_BUSY 0x0004
#define PAGE_READWRITE 0x04
#define INFINITE 0xFFFFFFFF

typedef struct _PROCESS_HEAP_ENTRY {
    LPVOID lpData;
    DWORD cbData;
    BYTE cbOverhead;
    BYTE iRegionIndex;
    WORD wFlags;
    DWORD unionWords[4];
} PROCESS_HEAP_ENTRY;

typedef struct _PROCESS_MEMORY_COUNTERS_EX {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
    SIZE_T PrivateUsage;
} PROCESS_MEMORY_COUNTERS_EX;

#ifdef __cplusplus
extern "C" {
#endif
WINBASEAPI HMODULE WINAPI LoadLibraryExA(const char* fileName, HANDLE reserved, DWORD flags);
WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE module, const char* name);
WINBASEAPI DWORD WINAPI GetLastError(void);
WINBASEAPI DWORD WINAPI GetFullPathNameA(const char* fileName, DWORD size, char* buffer,
                                         char** filePart);
WINBASEAPI BOOL WINAPI SetEnvironmentVariableA(const char* name, const char* value);
WINBASEAPI DWORD WINAPI GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);
WINBASEAPI DWORD WINAPI GetProcessHeaps(DWORD count, HANDLE* heaps);
WINBASEAPI BOOL WINAPI HeapLock(HANDLE heap);
WINBASEAPI BOOL WINAPI HeapUnlock(HANDLE heap);
WINBASEAPI BOOL WINAPI HeapWalk(HANDLE heap, PROCESS_HEAP_ENTRY* entry);
WINBASEAPI HANDLE WINAPI GetCurrentProcess(void);
WINBASEAPI BOOL WINAPI K32GetProcessMemoryInfo(HANDLE process,
                                               PROCESS_MEMORY_COUNTERS_EX* counters, DWORD size);
WINBASEAPI HMODULE WINAPI GetModuleHandleA(const char* name);
WINBASEAPI BOOL WINAPI VirtualProtect(void* address, SIZE_T size, DWORD protection,
                                      DWORD* oldProtection);
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(void* parameter);
WINBASEAPI HANDLE WINAPI CreateThread(void* security, SIZE_T stackSize,
                                      LPTHREAD_START_ROUTINE start, void* parameter, DWORD flags,
                                      DWORD* threadId);
WINBASEAPI DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
WINBASEAPI BOOL WINAPI CloseHandle(HANDLE handle);
#ifdef __cplusplus
}
#endif
