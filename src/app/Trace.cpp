#include "app/Trace.h"

#include <unistd.h>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quillora {
namespace {

int ReadEnvironment() {
    const char* value = std::getenv("QUILLORA_DEBUG");
    return (value != nullptr && std::strcmp(value, "1") == 0) ? 1 : 0;
}

// -1: not decided yet; 0 off; 1 on.
std::atomic<int> g_enabled{-1};

const char* LevelName(TraceLevel level) {
    switch (level) {
        case TraceLevel::Error:
            return "error";
        case TraceLevel::Warning:
            return "warning";
        case TraceLevel::Info:
            return "info";
        case TraceLevel::Debug:
            return "debug";
    }
    return "trace";
}

}  // namespace

bool TraceEnabled() {
    int state = g_enabled.load(std::memory_order_relaxed);
    if (state < 0) {
        int expected = -1;
        g_enabled.compare_exchange_strong(expected, ReadEnvironment());
        state = g_enabled.load(std::memory_order_relaxed);
    }
    return state == 1;
}

void SetTraceEnabled(bool enabled) {
    g_enabled.store(enabled ? 1 : 0);
}

void Trace(TraceLevel level, const char* format, ...) {
    if (!TraceEnabled() || format == nullptr) {
        return;
    }
    char body[1024];
    va_list args;
    va_start(args, format);
    // clang-analyzer cannot see va_start through the attribute; the list is started.
    (void)std::vsnprintf(body, sizeof body, format,
                         args);  // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    std::string line = "quillora[";
    line += LevelName(level);
    line += "] ";
    line += body;
    line += '\n';
    // One write() per line keeps lines from two threads from interleaving.
    const char* p = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n <= 0) {
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

}  // namespace quillora
