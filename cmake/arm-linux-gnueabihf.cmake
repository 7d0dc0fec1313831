# SPDX-License-Identifier: MIT
# Cross build for 32-bit ARM Linux (hard-float EABI) with Debian's
# g++-arm-linux-gnueabihf; programs built here run on the build machine
# through qemu-arm (Debian package qemu-user), which finds the target's
# C and C++ runtime under /usr/arm-linux-gnueabihf.
#   cmake --preset arm        (or -DCMAKE_TOOLCHAIN_FILE=this file)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(EDID_ARM_TRIPLE arm-linux-gnueabihf)
set(EDID_ARM_SYSROOT /usr/${EDID_ARM_TRIPLE})

set(CMAKE_C_COMPILER ${EDID_ARM_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${EDID_ARM_TRIPLE}-g++)

# Libraries, headers and CMake packages come from the target's tree only,
# so the build machine's x86-64 GoogleTest is never picked up; programs
# (cmake, git, the emulator) come from the build machine.
set(CMAKE_FIND_ROOT_PATH ${EDID_ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Used by add_test/ctest, gtest_discover_tests and the golden test runner.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L ${EDID_ARM_SYSROOT})

# 64-bit file offsets and directory cookies (getdents64): a 32-bit readdir()
# fails with EOVERFLOW on a 64-bit host's ext4 under qemu-arm, and firmware
# wants large-file support anyway.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
