/* Preloaded into 32-bit programs that run through the i386 user-mode
 * emulator (qemu 7.2), which takes MAP_FIXED_NOREPLACE as a mere hint:
 * where the requested range is taken it maps the memory elsewhere instead
 * of failing with EEXIST as the kernel does. Wine's 32-bit loader reserves
 * its address space with that flag, halving a range on every failure, and
 * the misplaced mappings send it through tens of thousands of requests,
 * each of which the emulator answers by scanning its page table: a minute
 * per process start. Failing as the kernel would brings that to a second
 * or two. Natively nothing loads this library. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdint.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

void *mmap64(void *address, size_t length, int protection, int flags, int fd, off64_t offset) {
  if (offset & 0xfff) {
    errno = EINVAL;
    return MAP_FAILED;
  }
  void *mapped = (void *)syscall(SYS_mmap2, address, length, protection, flags, fd, (long)(offset >> 12));
  if ((flags & MAP_FIXED_NOREPLACE) && !(flags & MAP_FIXED) && mapped != MAP_FAILED && mapped != address) {
    syscall(SYS_munmap, mapped, length);
    errno = EEXIST;
    return MAP_FAILED;
  }
  return mapped;
}

void *mmap(void *address, size_t length, int protection, int flags, int fd, off_t offset) {
  return mmap64(address, length, protection, flags, fd, offset);
}
