// Patches engine.dll 1.20 in place, after checking that it is that build.
#ifndef MEMWIDEN_PATCHER_PATCHER_HPP
#define MEMWIDEN_PATCHER_PATCHER_HPP

// Verifies the window of the file at path, rewrites its one byte and reports the outcome on
// standard output. Returns 0 when the file was patched and 1 when it was not.
int patch_engine_dll(const char *path);

#endif
