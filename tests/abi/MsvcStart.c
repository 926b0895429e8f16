/* The entry point of a program in the Windows platform compiler's ABI linked against
   msvcrt.dll without that compiler's start-up code: the arguments come from msvcrt.dll, then
   main runs and its result is the exit code. Used by the C host's build in that ABI and by the
   example host's (scripts/check-examples.sh). */
#include <stdlib.h>

int main(int argc, char** argv);
int __cdecl __getmainargs(int* argc, char*** argv, char*** environment, int expandWildcards,
                          int* startInfo);

int mainCRTStartup(void) {
    int argc = 0, startInfo = 0;
    char** argv = NULL;
    char** environment = NULL;
    __getmainargs(&argc, &argv, &environment, 0, &startInfo);
    exit(main(argc, argv));
}
