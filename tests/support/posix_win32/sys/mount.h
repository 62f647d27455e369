// Mounting for the Windows test programs: there is nothing to mount on, so
// every mount fails (a test that needs a small file system skips).
#pragma once

extern "C" {
int mount(const char* source, const char* target, const char* type, unsigned long flags,
          const void* data);
int umount(const char* target);
}
