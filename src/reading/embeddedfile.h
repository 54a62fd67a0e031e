#pragma once

// Assembles the file at `path` (a string literal) into the read-only data of the object that uses
// this macro, between the symbols `name`_begin and `name`_end. Tables built at build time are
// compiled in this way and read in place, so the program never loads or parses them at start.
// The object should also include a header that changes with the file, so a build cache never
// reuses an object holding an older copy.
#define VELANOTE_EMBED_FILE(name, path)                                                                      \
    asm(".pushsection .rodata\n"                                                                             \
        ".balign 16\n"                                                                                       \
        ".globl " #name "_begin\n" #name "_begin:\n"                                                         \
        ".incbin \"" path "\"\n"                                                                             \
        ".globl " #name "_end\n" #name "_end:\n"                                                             \
        ".popsection\n");                                                                                    \
    extern "C" const char name##_begin[];                                                                    \
    extern "C" const char name##_end[]
