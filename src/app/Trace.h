#pragma once

// Diagnostic trace lines. They go to stderr when the environment variable
// QUILLORA_DEBUG is "1" and nowhere otherwise; no behaviour depends on them.

namespace quillora {

enum class TraceLevel { Error = 1, Warning = 2, Info = 3, Debug = 4 };

// Whether trace lines are written at all (read once from QUILLORA_DEBUG).
bool TraceEnabled();

// Forces tracing on or off for this process, overriding QUILLORA_DEBUG (tests use it).
void SetTraceEnabled(bool enabled);

// Writes one printf-style trace line, ended with a newline, as a single write.
void Trace(TraceLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace quillora
