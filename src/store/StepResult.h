#pragma once

// How the store judges a statement: a step that answered SQLITE_OK (0), SQLITE_ROW
// (100) or SQLITE_DONE (101) counts as success.

namespace quillora {

constexpr int kStepRow = 100;

inline bool StepSucceeded(int result) {
    return result == 0 || result == 100 || result == 101;
}

}  // namespace quillora
