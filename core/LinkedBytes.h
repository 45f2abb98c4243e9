#pragma once

// A file linked in as plain bytes (`.incbin`), read in place; `path` comes from
// `dvl_link_bytes` in cmake/LinkedBytes.cmake, `name()` returns the bytes.

#include <cstdint>
#include <span>

#define DVL_LINKED_BYTES(name, path)                                                               \
    asm(".pushsection .rodata." #name ", \"a\"\n"                                                  \
        ".balign 64\n" #name "_begin:\n"                                                           \
        ".incbin \"" path "\"\n" #name "_end:\n"                                                   \
        ".popsection\n");                                                                          \
    extern "C" const std::uint8_t name##_begin[];                                                  \
    extern "C" const std::uint8_t name##_end[];                                                    \
    inline std::span<const std::uint8_t> name() {                                                  \
        return {name##_begin, name##_end};                                                         \
    }
