// RtlUnwind returns with EBX, ESI, EDI and EBP not as its caller left them on Windows (it
// resumes from a context it captured itself). Code that reads its locals afterwards calls it
// through this helper, which keeps all four on the stack across the call, as that platform's
// own runtimes do.

#include "platform/msvc/UnwindKeepingRegisters.h"

asm(".text\n"
    ".globl _dd7rUnwindKeepingRegisters@16\n"
    "_dd7rUnwindKeepingRegisters@16:\n"
    "    pushl %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    // The four arguments again, last first: each push moves the next one to 32(%esp).
    "    pushl 32(%esp)\n"
    "    pushl 32(%esp)\n"
    "    pushl 32(%esp)\n"
    "    pushl 32(%esp)\n"
    "    call *__imp__RtlUnwind@16\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret $16\n");
